// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/program_folder.h"

#include <QDateTime>
#include <QString>

#include <functional>

namespace dictora {

class MediaCommands;

// Record button states of the dictation toolbar; also what RecordStatus gives.
enum RecordState : int {
    RecordIdle = 0,
    RecordRecording = 1,
    RecordPlaying = 2,
    RecordPaused = 3,
    RecordStopped = 4, // a recording exists
};

// What one tick of the recorder watch did.
struct RecordTick {
    int status = RecordIdle;
    int buttonState = -1; // new record button state, -1 = unchanged
    QString savedPath;    // the file a recording was just saved as
    bool discarded = false;
    QString saveError; // the device's reply when saving failed
};

// The learner's voice recorder on the device alias RECORD. A recording is
// saved exactly once, at its first stop, and only when it lasts more than
// 4000 ms; shorter ones are closed and forgotten. Runs on the user-interface
// thread.
class VoiceRecorder {
public:
    static constexpr int kShortestKeptMs = 4000;

    // startCue plays the short start-of-recording sound without waiting.
    VoiceRecorder(MediaCommands& commands, ProgramFolder folder,
                  std::function<void()> startCue = {});

    // Sent once when the media window is made; results ignored.
    void setWaveFormat();

    // Each returns the record button state the toolbar is to show.
    int startRecording();
    int stopRecording();
    int playRecording();
    int pauseRecording();
    int resumeRecording();
    int discardRecording();

    int recordStatus();
    // The 100 ms watch: saves or discards a recording that has just stopped.
    // now names the file.
    RecordTick tick(const QDateTime& now);

    // Record/YYYYmmdd_HHMMSS.wav for the given time.
    QString recordFilePath(const QDateTime& now) const;

    // Why the last startRecording did not record (the device's reply, e.g.
    // no microphone found); empty when it did.
    QString recordError() const { return recordError_; }
    bool hasRecording() const { return hasRecording_; }
    bool recordSaved() const { return recordSaved_; }

private:
    QString unusedRecordFilePath(const QDateTime& now) const;

    MediaCommands& commands_;
    ProgramFolder folder_;
    std::function<void()> startCue_;
    bool hasRecording_ = false;
    bool recordSaved_ = true;
    int lastRecordStatus_ = RecordIdle;
    QString recordError_;
};

} // namespace dictora
