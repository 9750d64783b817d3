// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/same_user_listener.h"

#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace dictora {

namespace {

// How long accepting rests after a connection could not be taken: long
// enough for the connections that hold the descriptors to end.
constexpr int kPauseMs = 200;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool peerIsThisUser(qintptr socketDescriptor)
{
    struct ucred peer {};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::geteuid();
}

SameUserListener::SameUserListener() = default;

SameUserListener::~SameUserListener()
{
    notifier_.reset();
    if (socket_ >= 0) {
        ::close(socket_);
        ::unlink(path_.constData());
    }
}

bool SameUserListener::listen(const QString& path, ConnectionCall onConnection, QString* error)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path)) {
        *error = QStringLiteral("%1: the name is too long for a socket").arg(path);
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *error = QStringLiteral("no socket: %1").arg(systemError(errno));
        return false;
    }
    // A socket file left by a copy that ended without removing it.
    if (::unlink(name.constData()) != 0 && errno != ENOENT) {
        *error = QStringLiteral("cannot remove %1: %2").arg(path, systemError(errno));
        ::close(fd);
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, SOMAXCONN) != 0) {
        *error = QStringLiteral("cannot listen on %1: %2").arg(path, systemError(errno));
        ::close(fd);
        return false;
    }
    socket_ = fd;
    path_ = name;
    onConnection_ = std::move(onConnection);
    notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { acceptWaiting(); });
    pause_ = std::make_unique<QTimer>();
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    QObject::connect(pause_.get(), &QTimer::timeout, notifier_.get(), [this] {
        notifier_->setEnabled(true);
        acceptWaiting();
    });
    return true;
}

void SameUserListener::acceptWaiting()
{
    while (true) {
        const int connection = ::accept4(socket_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0) {
            const int failure = errno;
            if (failure == EAGAIN || failure == EWOULDBLOCK)
                return;
            if (failure == EINTR || failure == ECONNABORTED)
                continue;
            // Out of descriptors or memory: the waiting connections stay
            // queued on the socket until there is room again.
            // Said once for each stretch of failures, not at every try.
            if (!failing_)
                std::fprintf(stderr, "dictora: cannot take a connection now (%s): trying again\n",
                             qPrintable(systemError(failure)));
            failing_ = true;
            notifier_->setEnabled(false);
            pause_->start();
            return;
        }
        failing_ = false;
        if (!peerIsThisUser(connection)) {
            ::close(connection);
            continue;
        }
        auto* socket = new QLocalSocket;
        if (!socket->setSocketDescriptor(connection)) {
            ::close(connection);
            delete socket;
            continue;
        }
        onConnection_(socket);
    }
}

} // namespace dictora
