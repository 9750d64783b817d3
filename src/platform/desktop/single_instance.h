// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace dictora {

// Keeps a second copy of the program from running. The first copy holds a
// lock file (flock) and listens on a local socket, both named after
// "Global\Dictora.exe"; a later copy finds the lock taken, knocks once on the
// socket as its announcement and ends. The running copy does not react to the
// knock. A later copy started with files ("Open with") hands them over on the
// same socket instead, and the running copy adds them. Neither copy writes
// anything but the first copy's lock file, which lives in the user's runtime
// folder, never in the program folder.
class SingleInstance {
public:
    static constexpr const char* kName = "Global\\Dictora.exe";

    // runtimeFolder: where the lock and the socket live; empty means the
    // user's runtime folder ($XDG_RUNTIME_DIR, else the temporary folder).
    explicit SingleInstance(QString runtimeFolder = {});
    ~SingleInstance();

    enum class Outcome {
        Acquired,        // this process is now the one running copy
        AnotherCopyRuns, // it has been told; this process should end
        Unavailable,     // no lock can be made here (missing or read-only
                         // folder): nothing to compare with, so run
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

private:
    void takeConnection(class QLocalSocket* socket);

    QString folder_;
    HandedFilesCall onHandedFiles_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace dictora
