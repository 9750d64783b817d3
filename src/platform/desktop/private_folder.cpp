// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/private_folder.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace dictora {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString privateFolderProblem(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat facts {};
    // lstat: a link is judged as the link, never as what it points to.
    if (::lstat(name.constData(), &facts) != 0)
        return QStringLiteral("%1: %2").arg(path, systemError(errno));
    if (S_ISLNK(facts.st_mode))
        return QStringLiteral("%1 is a symbolic link, not a folder of its own").arg(path);
    if (!S_ISDIR(facts.st_mode))
        return QStringLiteral("%1 is not a folder").arg(path);
    if (facts.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user (uid %2)").arg(path).arg(facts.st_uid);
    if ((facts.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        return QStringLiteral("%1 can be used by other users (mode %2)")
            .arg(path)
            .arg(facts.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

QString makePrivateFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // EEXIST: whatever is there already, a folder or not, is checked below.
    if (::mkdir(name.constData(), S_IRWXU) != 0 && errno != EEXIST)
        return QStringLiteral("cannot make %1: %2").arg(path, systemError(errno));
    return privateFolderProblem(path);
}

} // namespace dictora
