// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/single_instance.h"

#include "core/import/handed_files.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace dictora {

namespace {

// "Global\Dictora.exe" as a file name: the backslash becomes an underscore.
QString fileStem()
{
    return QString::fromLatin1(SingleInstance::kName).replace(u'\\', u'_');
}

QString defaultRuntimeFolder()
{
    // Read the variable directly: QStandardPaths would create the folder
    // when it is missing, and a refused start must not create anything.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath();
}

// A message longer than this is not a list of files: it is dropped unread.
constexpr qint64 kMessageLimit = 1 << 20;

// Hands the files to the running copy. It may hold the lock but not listen
// yet (it is starting), so a refused connection is tried again for a while.
void handOver(const QString& serverName, const QStringList& files)
{
    const QByteArray message = encodeHandedFiles(files);
    QDeadlineTimer deadline(5000);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        if (socket.waitForConnected(500)) {
            socket.write(message);
            while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(2000)) {
            }
            socket.disconnectFromServer();
            return;
        }
        if (deadline.hasExpired())
            return;
        QThread::msleep(100);
    }
}

} // namespace

SingleInstance::SingleInstance(QString runtimeFolder)
    : folder_(runtimeFolder.isEmpty() ? defaultRuntimeFolder() : std::move(runtimeFolder))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockFilePath() const
{
    return QDir(folder_).filePath(fileStem() + QStringLiteral(".lock"));
}

QString SingleInstance::serverName() const
{
    return QDir(folder_).filePath(fileStem());
}

SingleInstance::Outcome SingleInstance::acquire(const QStringList& handedFiles)
{
    if (lock_ && lock_->isLocked())
        return Outcome::Acquired;
    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // A lock held by a live process is never stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return Outcome::Unavailable;
        if (!handedFiles.isEmpty()) {
            handOver(serverName(), handedFiles);
            return Outcome::AnotherCopyRuns;
        }
        QLocalSocket knock;
        knock.connectToServer(serverName());
        knock.waitForConnected(200);
        knock.abort();
        return Outcome::AnotherCopyRuns;
    }
    lock_ = std::move(lock);
    return Outcome::Acquired;
}

void SingleInstance::listen(HandedFilesCall onHandedFiles)
{
    if (!lock_ || server_)
        return;
    onHandedFiles_ = std::move(onHandedFiles);
    // Only the holder of the lock may clear a socket left by a crashed copy.
    QLocalServer::removeServer(serverName());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(serverName());
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            takeConnection(socket);
    });
}

void SingleInstance::takeConnection(QLocalSocket* socket)
{
    // A knock (a second start without files) closes at once and has no
    // visible effect; a message of files is read to its end.
    struct Reading {
        QByteArray message;
        bool tooLong = false;
        bool done = false;
    };
    auto reading = std::make_shared<Reading>();
    auto read = [socket, reading] {
        const QByteArray bytes = socket->readAll();
        if (reading->message.size() + bytes.size() > kMessageLimit)
            reading->tooLong = true;
        if (!reading->tooLong)
            reading->message += bytes;
    };
    auto finish = [this, socket, reading, read] {
        if (reading->done)
            return;
        reading->done = true;
        read();
        socket->deleteLater();
        const QStringList files =
            reading->tooLong ? QStringList() : decodeHandedFiles(reading->message);
        if (!files.isEmpty() && onHandedFiles_)
            onHandedFiles_(files);
    };
    QObject::connect(socket, &QLocalSocket::readyRead, socket, read);
    QObject::connect(socket, &QLocalSocket::disconnected, socket, finish);
    // Gone before it was taken: what it sent is still there to read.
    if (socket->state() != QLocalSocket::ConnectedState)
        finish();
}

} // namespace dictora
