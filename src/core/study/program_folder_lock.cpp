// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/program_folder_lock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dictora {

namespace {

constexpr int kRetryMs = 50;

// The holder's name is the file's first line; whatever follows it is left
// from an earlier, longer name (the file is never truncated).
QByteArray readHolder(int fd)
{
    char text[256];
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0)
        return {};
    QByteArray line(text, got);
    const qsizetype end = line.indexOf('\n');
    return (end < 0 ? line : line.left(end)).trimmed();
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString notPlainFile(const QString& path)
{
    return QStringLiteral("%1 is not a plain file; remove it, or Dictora cannot tell other "
                          "writers to wait")
        .arg(path);
}

// Why the opened file is not one the lock may use, or empty. Only the
// user's own plain file with no other name qualifies: writing the holder's
// name into anything else (a Unit that a link or a second name leads to,
// another user's file, a device) would change a file that is not the lock.
QString unfitLockFile(int fd, const QString& path)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return QStringLiteral("cannot examine %1: %2").arg(path, systemError(errno));
    if (!S_ISREG(info.st_mode))
        return notPlainFile(path);
    if (info.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user; remove it, or Dictora cannot tell "
                              "other writers to wait")
            .arg(path);
    if (info.st_nlink != 1)
        return QStringLiteral("%1 is another name of a file (a hard link); remove it, or Dictora "
                              "cannot tell other writers to wait")
            .arg(path);
    return {};
}

} // namespace

ProgramFolderLock::ProgramFolderLock(const ProgramFolder& folder)
    : path_(folder.file(QStringLiteral("Dictora.lock")))
{
}

ProgramFolderLock::~ProgramFolderLock()
{
    release();
}

ProgramFolderLock::Holder ProgramFolderLock::currentHolder(int fd)
{
    const QByteArray text = readHolder(fd);
    holderText_ = QString::fromUtf8(text);
    // "dictora PID" is the program; anything else (or a holder that has not
    // written its name yet) is taken for a command, which is waited for.
    return text.startsWith("dictora ") ? Holder::Program : Holder::Command;
}

ProgramFolderLock::Outcome ProgramFolderLock::take(Holder who, const QString& description,
                                                   std::chrono::milliseconds wait)
{
    if (fd_ >= 0)
        return Outcome::Taken;
    holderText_.clear();
    error_.clear();
    const QByteArray path = QFile::encodeName(path_);
    const QString shownPath = QDir::toNativeSeparators(path_);
    // Never through a symbolic link (O_NOFOLLOW), which could lead to any
    // file, and never truncated on opening. O_NONBLOCK keeps a FIFO put in
    // its place from stopping the open; the checks below refuse it.
    const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | flags, 0666);
    // A lock file the learner made read-only still holds a lock taken
    // through a read-only descriptor.
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.constData(), O_RDONLY | flags);
    if (fd < 0) {
        if (errno == ELOOP)
            error_ = QStringLiteral("%1 is a symbolic link; remove it, or Dictora cannot tell "
                                    "other writers to wait")
                         .arg(shownPath);
        else if (errno == EISDIR)
            error_ = notPlainFile(shownPath);
        else
            error_ = QStringLiteral("cannot open %1: %2").arg(shownPath, systemError(errno));
        return Outcome::Failed;
    }
    error_ = unfitLockFile(fd, shownPath);
    if (!error_.isEmpty()) {
        ::close(fd);
        return Outcome::Failed;
    }
    const QDeadlineTimer deadline(wait);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = QStringLiteral("cannot lock %1: %2").arg(shownPath, systemError(errno));
            ::close(fd);
            return Outcome::Failed;
        }
        const Holder holder = currentHolder(fd);
        if (holder == Holder::Program && who == Holder::Command) {
            ::close(fd);
            return Outcome::HeldByProgram;
        }
        if (deadline.hasExpired()) {
            ::close(fd);
            return holder == Holder::Program ? Outcome::HeldByProgram : Outcome::HeldByCommand;
        }
        QThread::msleep(kRetryMs);
    }
    fd_ = fd;
    const QByteArray text =
        (who == Holder::Program ? QByteArray("dictora ")
                                : QByteArray("dictora-cli ") + description.toUtf8() + ' ') +
        QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    // Written only now that the lock is held, over the first line; who holds
    // the lock is only news for those who wait, so failing to write it
    // leaves the lock itself whole.
    if (::pwrite(fd_, text.constData(), size_t(text.size()), 0) < 0)
        error_ = systemError(errno);
    return Outcome::Taken;
}

QString ProgramFolderLock::failureMessage(const QString& folderPath) const
{
    return QStringLiteral("cannot take the program folder %1 for writing: %2")
        .arg(QDir::toNativeSeparators(folderPath), error_);
}

void ProgramFolderLock::release()
{
    if (fd_ < 0)
        return;
    // An empty first line, so that no one reads a stale name (a holder that
    // has not written its name yet is waited for); a failure changes
    // nothing else, as the next holder writes its own.
    const ssize_t emptied = ::pwrite(fd_, "\n", 1, 0);
    Q_UNUSED(emptied);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace dictora
