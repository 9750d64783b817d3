#include "platform/desktop/single_instance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

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

SingleInstance::Outcome SingleInstance::acquire()
{
    if (lock_ && lock_->isLocked())
        return Outcome::Acquired;
    auto lock = std::make_unique<QLockFile>(lockFilePath());
    // A lock held by a live process is never stale, however old it is.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError)
            return Outcome::Unavailable;
        QLocalSocket knock;
        knock.connectToServer(serverName());
        knock.waitForConnected(200);
        knock.abort();
        return Outcome::AnotherCopyRuns;
    }
    lock_ = std::move(lock);
    return Outcome::Acquired;
}

void SingleInstance::listen()
{
    if (!lock_ || server_)
        return;
    // Only the holder of the lock may clear a socket left by a crashed copy.
    QLocalServer::removeServer(serverName());
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(serverName());
    // Knocks are accepted and dropped: a second start has no visible effect.
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection())
            socket->deleteLater();
    });
}

} // namespace dictora
