// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/file_replacement.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dictora {

std::FILE* FileSteps::create(const QByteArray& path, mode_t mode)
{
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.constData());
        errno = error;
    }
    return file;
}

bool FileSteps::write(std::FILE* file, const char* data, size_t size)
{
    return std::fwrite(data, 1, size, file) == size;
}

bool FileSteps::flush(std::FILE* file)
{
    return std::fflush(file) == 0;
}

bool FileSteps::sync(std::FILE* file)
{
    return ::fsync(::fileno(file)) == 0;
}

bool FileSteps::close(std::FILE* file)
{
    return std::fclose(file) == 0;
}

bool FileSteps::rename(const QByteArray& from, const QByteArray& to)
{
    return ::rename(from.constData(), to.constData()) == 0;
}

bool FileSteps::remove(const QByteArray& path)
{
    return ::unlink(path.constData()) == 0;
}

FileSteps& systemFileSteps()
{
    static FileSteps steps;
    return steps;
}

namespace {

const char* stepText(WriteStep step)
{
    switch (step) {
    case WriteStep::Create:
        return "creating the new copy";
    case WriteStep::Write:
        return "writing the new copy";
    case WriteStep::Flush:
        return "flushing the new copy";
    case WriteStep::Sync:
        return "syncing the new copy to disk";
    case WriteStep::Close:
        return "closing the new copy";
    case WriteStep::Rename:
        return "putting the new copy in place";
    }
    return "";
}

QString failure(const QString& path, WriteStep step, int error, bool existed)
{
    // A file that was not there before is not made at all.
    return QStringLiteral("cannot save %1: %2 (while %3); %4")
        .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error)),
             QLatin1String(stepText(step)),
             existed ? QStringLiteral("the file is left as it was")
                     : QStringLiteral("no file was made"));
}

constexpr char kTemporaryMark[] = ".dictora-tmp-";

// "." + the target's name + ".dictora-tmp-" + six letters or digits, in the
// target's folder: hidden, and of a form no learner gives a file, so that the
// scan can remove leftovers without touching anything of theirs.
QByteArray temporaryName(const QByteArray& target)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray name = target.left(slash + 1) + '.' + target.mid(slash + 1) + kTemporaryMark;
    for (int i = 0; i < 6; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return name;
}

// Makes the rename itself durable; the new file is in place whatever this
// reports, so a failure here is not one of the save.
void syncFolderOf(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? path.left(slash) : QByteArray(".");
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a save of path replaces: path itself, or for a symbolic link the
// file it leads to, so that the link stays a link and its target changes.
// False (with the learner's message) when the link leads nowhere.
bool replacedFile(const QString& path, QByteArray& target, QString& error)
{
    target = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(target.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return true;
    char* resolved = ::realpath(target.constData(), nullptr);
    if (!resolved) {
        const QString missing = missingLinkTarget(path);
        error = QStringLiteral("cannot save %1: %2; the link is left as it is")
                    .arg(QDir::toNativeSeparators(path),
                         missing.isEmpty() ? QString::fromLocal8Bit(std::strerror(errno))
                                           : brokenLinkReason(missing));
        return false;
    }
    target = resolved;
    std::free(resolved);
    return true;
}

} // namespace

QString missingLinkTarget(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isSymLink() || info.exists())
        return {};
    return info.symLinkTarget();
}

QString brokenLinkReason(const QString& linkTarget)
{
    return QStringLiteral("it is a link to %1, which is not there")
        .arg(QDir::toNativeSeparators(linkTarget));
}

namespace {

// Writes bytes to a new temporary file beside target and renames it over
// target; mode is the new file's permissions, kept exactly (past the umask)
// when keepMode.
WriteOutcome replaceWith(const QString& path, const QByteArray& target, const QByteArray& bytes,
                         mode_t mode, bool keepMode, bool exists, FileSteps& steps)
{
    QByteArray temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = temporaryName(target);
        file = steps.create(temporary, mode);
        if (!file && errno != EEXIST)
            break;
    }
    if (!file)
        return {false, false, failure(path, WriteStep::Create, errno, exists)};
    if (keepMode)
        ::fchmod(::fileno(file), mode); // the umask may have narrowed it

    const auto abandon = [&](WriteStep step, bool open) {
        const int error = errno;
        if (open)
            std::fclose(file);
        steps.remove(temporary);
        return WriteOutcome{false, false, failure(path, step, error, exists)};
    };
    if (!steps.write(file, bytes.constData(), size_t(bytes.size())))
        return abandon(WriteStep::Write, true);
    if (!steps.flush(file))
        return abandon(WriteStep::Flush, true);
    if (!steps.sync(file))
        return abandon(WriteStep::Sync, true);
    if (!steps.close(file))
        return abandon(WriteStep::Close, false); // fclose releases the file even when it fails
    if (!steps.rename(temporary, target))
        return abandon(WriteStep::Rename, false);
    syncFolderOf(target);
    return {true, true, {}};
}

} // namespace

WriteOutcome writeFileAtomically(const QString& path, const QByteArray& bytes, bool onlyIfChanged,
                                 FileSteps& steps)
{
    QByteArray target;
    QString linkError;
    if (!replacedFile(path, target, linkError))
        return {false, false, linkError};
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && S_ISREG(existing.st_mode) && (existing.st_mode & 0222) == 0)
        return {false, false,
                QStringLiteral("cannot save %1: the file is read-only; it is left as it was")
                    .arg(QDir::toNativeSeparators(path))};
    if (onlyIfChanged && exists && existing.st_size == bytes.size()) {
        QFile file(QFile::decodeName(target));
        if (file.open(QIODevice::ReadOnly) && file.readAll() == bytes)
            return {true, false, {}};
    }
    // The new copy keeps the permissions of the file it replaces; a new file
    // gets the usual ones less the umask.
    const mode_t mode = exists ? (existing.st_mode & 07777) : 0666;
    return replaceWith(path, target, bytes, mode, exists, exists, steps);
}

WriteOutcome replaceFileName(const QString& path, const QByteArray& bytes, FileSteps& steps)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat existing {};
    const bool exists = ::lstat(target.constData(), &existing) == 0;
    // A plain file's permissions stay; anything else at the name (a link,
    // say) gives nothing to keep.
    const bool plainFile = exists && S_ISREG(existing.st_mode);
    const mode_t mode = plainFile ? (existing.st_mode & 0777) : 0666;
    return replaceWith(path, target, bytes, mode, plainFile, exists, steps);
}

int createTemporaryBeside(const QString& path, QByteArray* temporaryPath)
{
    const QByteArray target = QFile::encodeName(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporaryPath = temporaryName(target);
        const int fd = ::open(temporaryPath->constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool isTemporaryFileName(const QString& fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\..+\\.dictora-tmp-[A-Za-z0-9]{6}$"));
    return pattern.match(fileName).hasMatch();
}

int removeTemporaryFiles(const QString& folder)
{
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (isTemporaryFileName(name) && QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}

} // namespace dictora
