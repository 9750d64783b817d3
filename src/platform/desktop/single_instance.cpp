// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/single_instance.h"

#include "core/import/handed_files.h"
#include "platform/desktop/private_folder.h"
#include "platform/desktop/same_user_listener.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

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
    // The temporary folder is shared by every user: there the lock and the
    // socket get a folder of this user's own.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && privateFolderProblem(runtime).isEmpty())
        return runtime;
    return QDir(QDir::tempPath()).filePath(QStringLiteral("dictora-%1").arg(::geteuid()));
}

// A message longer than this is not a list of files: it is dropped unread.
constexpr qint64 kMessageLimit = 1 << 20;
// How long a later start waits for the running copy to take its files: it
// may hold the lock but not listen yet (it is starting), or be busy.
constexpr int kHandOverWaitMs = 10000;
// A connection that has not brought a whole message by then is closed, so
// that stray or stuck connections do not hold descriptors.
constexpr int kConnectionLimitMs = 15000;

// Reads until the running copy's answer, the end of the connection or the
// deadline; true when the answer came.
bool answered(QLocalSocket& socket, const QDeadlineTimer& deadline)
{
    QByteArray answer;
    while (!answer.contains(kHandedFilesTaken) && !deadline.hasExpired()) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        answer += socket.readAll();
    }
    return answer.contains(kHandedFilesTaken);
}

// Hands the files to the running copy; why it could not, or empty.
QString handOver(const QString& serverName, const QStringList& files)
{
    const QByteArray message = encodeHandedFiles(files);
    const QDeadlineTimer deadline(kHandOverWaitMs);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(serverName);
        if (socket.waitForConnected(500)) {
            // Paths are private: they go only to a process of this user.
            if (!peerIsThisUser(socket.socketDescriptor()))
                return QStringLiteral("%1 belongs to another user; the files were not handed to it")
                    .arg(serverName);
            socket.write(message);
            while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(2000)) {
            }
            if (answered(socket, deadline))
                return {};
        }
        if (deadline.hasExpired())
            return QStringLiteral("Dictora runs, but did not take the files within %1 s: %2")
                .arg(kHandOverWaitMs / 1000)
                .arg(files.join(QStringLiteral(", ")));
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
    problem_ = makePrivateFolder(folder_);
    if (!problem_.isEmpty())
        return Outcome::Unavailable;
    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // A lock held by a live process is never stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) {
            problem_ = QStringLiteral("cannot make %1").arg(lockFilePath());
            return Outcome::Unavailable;
        }
        if (!handedFiles.isEmpty()) {
            problem_ = handOver(serverName(), handedFiles);
            return problem_.isEmpty() ? Outcome::AnotherCopyRuns : Outcome::NotHandedOver;
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
    if (!lock_ || listener_)
        return;
    onHandedFiles_ = std::move(onHandedFiles);
    // Only the holder of the lock may replace a socket left by a crashed copy.
    listener_ = std::make_unique<SameUserListener>();
    QString error;
    if (!listener_->listen(
            serverName(), [this](QLocalSocket* socket) { takeConnection(socket); }, &error))
        std::fprintf(stderr, "dictora: files handed over by later starts cannot reach it: %s\n",
                     qPrintable(error));
}

void SingleInstance::takeConnection(QLocalSocket* socket)
{
    // A knock (a second start without files) closes at once and has no
    // visible effect; a message of files is read to its end and answered.
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto drop = [socket] {
        socket->abort();
        socket->deleteLater();
    };
    QTimer::singleShot(kConnectionLimitMs, socket, drop);
    auto message = std::make_shared<QByteArray>();
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, message, drop] {
        *message += socket->readAll();
        if (message->size() > kMessageLimit)
            return drop();
        if (!isWholeHandedFilesMessage(*message))
            return;
        const QStringList files = decodeHandedFiles(*message);
        message->clear();
        // Sent at once: the files may open a dialog before the event loop
        // would write it.
        socket->write(kHandedFilesTaken);
        socket->flush();
        socket->disconnectFromServer();
        if (!files.isEmpty() && onHandedFiles_)
            onHandedFiles_(files);
    });
}

} // namespace dictora
