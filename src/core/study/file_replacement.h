// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

#include <sys/types.h>

namespace dictora {

// The steps of replacing a file, in order. A failure names the first step
// that failed.
enum class WriteStep { Create, Write, Flush, Sync, Close, Rename };

// The system calls a file replacement (and removing a file) is made of. The program uses the
// system's own (stdio over POSIX); tests hand in one that fails at a chosen
// step, as a full disk or a failing device would. Each call reports failure
// through its return value with errno set.
class FileSteps {
public:
    virtual ~FileSteps() = default;
    // Creates a file that did not exist (O_EXCL) with the given permissions.
    virtual std::FILE* create(const QByteArray& path, mode_t mode);
    virtual bool write(std::FILE* file, const char* data, size_t size);
    virtual bool flush(std::FILE* file);
    virtual bool sync(std::FILE* file);
    virtual bool close(std::FILE* file);
    virtual bool rename(const QByteArray& from, const QByteArray& to);
    virtual bool remove(const QByteArray& path);
};

FileSteps& systemFileSteps();

struct WriteOutcome {
    bool ok = false;
    bool written = false; // false when the bytes were already there
    QString error;        // one line for the learner when !ok
};

// Replaces the file at path by bytes: they go to a temporary file in the same
// folder ("." + file name + ".dictora-tmp-" + six letters or digits), which is
// written, flushed, synced to disk, closed and renamed over the target. A
// symbolic link is followed: the file it leads to is replaced in that file's
// own folder and the link stays; a link that leads nowhere is not replaced
// (nor is a file made where it points) and the failure says so. Every step is checked;
// on the first failure the temporary file is removed and the target keeps its
// exact bytes. A target without any write permission (made read-only by the
// learner) is not replaced. With onlyIfChanged, a file that already holds
// exactly these bytes is left untouched.
WriteOutcome writeFileAtomically(const QString& path, const QByteArray& bytes,
                                 bool onlyIfChanged = false, FileSteps& steps = systemFileSteps());

// Replaces the name path by a new file of bytes, through a temporary file
// and a rename as above, but whatever holds the name now is replaced as a
// name: a symbolic link there is never followed, so nothing outside path's
// folder is opened for writing. For files handed out of the program, into
// folders others may write to.
WriteOutcome replaceFileName(const QString& path, const QByteArray& bytes,
                             FileSteps& steps = systemFileSteps());

// A new empty file beside path under the writer's temporary name, created
// with O_EXCL and O_NOFOLLOW so that nothing planted under that name is
// opened; its descriptor (the caller closes it) or -1 with errno set.
int createTemporaryBeside(const QString& path, QByteArray* temporaryPath);

// For a symbolic link whose target is not there: the target it names. Empty
// for anything else (a plain file, a missing file, a link that works).
QString missingLinkTarget(const QString& path);
// "it is a link to TARGET, which is not there": why such a link is neither
// read nor written.
QString brokenLinkReason(const QString& linkTarget);

// True for a file name of the form the writer gives its temporary files:
// ".", a name, ".dictora-tmp-" and six letters or digits. Names of the form
// earlier versions used (".NAME.dat." and six characters) are not theirs to
// remove: a learner may name a file so.
bool isTemporaryFileName(const QString& fileName);
// Removes such leftovers (from a process killed before its rename) in a
// folder; nothing else. Returns how many were removed. Only safe while no
// other writer works in the folder, i.e. under the program folder lock.
int removeTemporaryFiles(const QString& folder);

} // namespace dictora
