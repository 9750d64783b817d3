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
#include <unistd.h>

namespace dictora {

namespace {

constexpr int kRetryMs = 50;

QByteArray readHolder(int fd)
{
    char text[256];
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    return got > 0 ? QByteArray(text, got).trimmed() : QByteArray();
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
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // A lock file made by another user may be read-only to this one; a lock
    // taken through a read-only descriptor holds just as well.
    if (fd < 0 && errno == EACCES)
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ =
            QStringLiteral("cannot open %1: %2")
                .arg(QDir::toNativeSeparators(path_), QString::fromLocal8Bit(std::strerror(errno)));
        return Outcome::Failed;
    }
    const QDeadlineTimer deadline(wait);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = QStringLiteral("cannot lock %1: %2")
                         .arg(QDir::toNativeSeparators(path_),
                              QString::fromLocal8Bit(std::strerror(errno)));
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
    // Who holds the lock is only news for those who wait; failing to write
    // it leaves the lock itself whole.
    if (::ftruncate(fd_, 0) == 0 && ::pwrite(fd_, text.constData(), size_t(text.size()), 0) < 0)
        error_ = QString::fromLocal8Bit(std::strerror(errno));
    return Outcome::Taken;
}

void ProgramFolderLock::release()
{
    if (fd_ < 0)
        return;
    // Emptied so that no one reads a stale name; a failure changes nothing
    // else, as the next holder writes its own.
    const int emptied = ::ftruncate(fd_, 0);
    Q_UNUSED(emptied);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace dictora
