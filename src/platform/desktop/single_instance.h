// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalSocket;

namespace dictora {

class SameUserListener;

// Keeps a second copy of the program from running. The first copy holds a
// lock file (flock) and listens on a local socket, both named after
// "Global\Dictora.exe"; a later copy finds the lock taken, knocks once on the
// socket as its announcement and ends. The running copy does not react to the
// knock. A later copy started with files ("Open with") hands them over on the
// same socket instead, and the running copy adds them and says it has. Both
// live in a folder only this user can reach, so no other user can plant a
// lock that stops the program or listen for the files it is handed; the
// socket also turns away any other user's connection. Neither copy writes
// anything but the first copy's lock file and that folder, never in the
// program folder.
class SingleInstance {
public:
    static constexpr const char* kName = "Global\\Dictora.exe";

    // runtimeFolder: where the lock and the socket live; empty means the
    // user's runtime folder ($XDG_RUNTIME_DIR when it is private to this
    // user, else "dictora-UID" in the temporary folder, made when missing).
    explicit SingleInstance(QString runtimeFolder = {});
    ~SingleInstance();

    enum class Outcome {
        Acquired,        // this process is now the one running copy
        AnotherCopyRuns, // it has been told; this process should end
        NotHandedOver,   // another copy runs but did not take the files
                         // within the wait; problem() says why
        Unavailable,     // no lock can be made here (missing, read-only or
                         // not private folder; problem() says why): nothing
                         // to compare with, so run
    };
    // Needs no application object, so it can run before anything else of
    // the program (Qt's own start-up creates folders). handedFiles (absolute
    // paths) go to the copy that runs; it is waited for a few seconds while
    // it is still starting.
    Outcome acquire(const QStringList& handedFiles = {});
    // Starts taking the knocks of later starts; call once an application
    // object exists. Does nothing unless acquire() succeeded. Files handed
    // over by a later start reach onHandedFiles on this thread.
    using HandedFilesCall = std::function<void(const QStringList& paths)>;
    void listen(HandedFilesCall onHandedFiles = {});

    QString lockFilePath() const;
    QString serverName() const;
    const QString& problem() const { return problem_; }

private:
    void takeConnection(QLocalSocket* socket);

    QString folder_;
    QString problem_;
    HandedFilesCall onHandedFiles_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<SameUserListener> listener_;
};

} // namespace dictora
