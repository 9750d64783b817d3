// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"

#include <QString>

#include <chrono>

namespace dictora {

// One writer at a time in a program folder: a flock on the file
// "Dictora.lock" in it. Dictora holds it for its whole run, dictora-cli for
// each command that writes. The holder writes who it is into the file
// ("dictora PID" or "dictora-cli COMMAND PID"), so that one who waits can say
// who is in the way. The lock goes with the process, so a crashed holder
// never leaves it taken.
//
// The lock file is only ever the user's own plain file: a symbolic link, a
// second name of another file, a folder or device, or a file of another user
// in its place is refused (Failed, with a message naming the path) and left
// untouched. The file is never truncated; its first line names the holder.
class ProgramFolderLock {
public:
    enum class Holder { Program, Command };
    enum class Outcome {
        Taken,
        HeldByProgram, // Dictora runs with this folder
        HeldByCommand, // a dictora-cli command still writes after the wait
        Failed         // the lock file cannot be made or used (errorString says why)
    };

    explicit ProgramFolderLock(const ProgramFolder& folder);
    ~ProgramFolderLock();
    ProgramFolderLock(const ProgramFolderLock&) = delete;
    ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

    // Takes the lock as `who` (a program or a command named by description).
    // While a command holds it, tries again for up to `wait`; a running
    // program is not waited for by a command, since it keeps the folder
    // until the learner closes it.
    Outcome take(Holder who, const QString& description, std::chrono::milliseconds wait);
    bool isTaken() const { return fd_ >= 0; }
    void release();

    // Who held the lock when take failed, as the holder wrote it.
    const QString& holderText() const { return holderText_; }
    const QString& errorString() const { return error_; }
    // One line for the learner after Failed: "cannot take the program folder
    // FOLDER for writing: " and why. The program and dictora-cli say the same.
    QString failureMessage(const QString& folderPath) const;
    const QString& lockFilePath() const { return path_; }

private:
    Holder currentHolder(int fd);

    QString path_;
    int fd_ = -1;
    QString holderText_;
    QString error_;
};

} // namespace dictora
