// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QLocalSocket;
class QSocketNotifier;
class QTimer;

namespace dictora {

// Whether the process at the other end of a connected local socket runs as
// this user (the kernel's word, SO_PEERCRED).
bool peerIsThisUser(qintptr socketDescriptor);

// Listens on a local (Unix) socket and passes on the connections made by
// this user's processes; any other user's connection is closed unread.
// Unlike QLocalServer it keeps its socket when a connection cannot be taken
// (every descriptor in use, say): it stops accepting for a moment and then
// listens on, so a flood of connections never takes the socket away.
class SameUserListener {
public:
    using ConnectionCall = std::function<void(QLocalSocket* socket)>;

    SameUserListener();
    ~SameUserListener(); // closes the socket and removes its file
    SameUserListener(const SameUserListener&) = delete;
    SameUserListener& operator=(const SameUserListener&) = delete;

    // Replaces whatever is at `path` by a listening socket. onConnection
    // receives each accepted socket, which it then owns. False, with
    // `error` saying why, when the socket cannot be made.
    bool listen(const QString& path, ConnectionCall onConnection, QString* error);

private:
    void acceptWaiting();

    int socket_ = -1;
    bool failing_ = false;
    QByteArray path_;
    ConnectionCall onConnection_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QTimer> pause_;
};

} // namespace dictora
