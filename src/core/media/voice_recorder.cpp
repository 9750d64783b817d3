// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/voice_recorder.h"

#include "core/media/media_commands.h"
#include "core/study/number_text.h"

#include <QFileInfo>

namespace dictora {

VoiceRecorder::VoiceRecorder(MediaCommands& commands, ProgramFolder folder,
                             std::function<void()> startCue)
    : commands_(commands), folder_(std::move(folder)), startCue_(std::move(startCue))
{
}

void VoiceRecorder::setWaveFormat()
{
    commands_.send(QStringLiteral("Set Wave Bitpersample 16 "));
    commands_.send(QStringLiteral("Set Wave Samplespersec 48000 "));
    commands_.send(QStringLiteral("Set Wave Channels 2 "));
}

int VoiceRecorder::startRecording()
{
    hasRecording_ = false;
    if (startCue_)
        startCue_();
    commands_.send(QStringLiteral("Close RECORD"));
    recordError_.clear();
    const QString opened = commands_.send(QStringLiteral("Open New Type WAVEaudio Alias RECORD"));
    const QString reply =
        isErrorReply(opened) ? opened : commands_.send(QStringLiteral("Record RECORD"));
    if (isErrorReply(reply)) {
        // No microphone: the button must not claim a recording that is not
        // happening; the window tells the learner why.
        recordError_ = reply;
        return discardRecording();
    }
    hasRecording_ = true;
    recordSaved_ = false;
    return RecordRecording;
}

int VoiceRecorder::stopRecording()
{
    commands_.send(QStringLiteral("Stop RECORD "));
    return RecordStopped;
}

int VoiceRecorder::playRecording()
{
    commands_.send(QStringLiteral("Play RECORD From 0 "));
    return RecordPlaying;
}

int VoiceRecorder::pauseRecording()
{
    commands_.send(QStringLiteral("Pause RECORD "));
    return RecordPaused;
}

int VoiceRecorder::resumeRecording()
{
    commands_.send(QStringLiteral("Resume RECORD "));
    return RecordPlaying;
}

int VoiceRecorder::discardRecording()
{
    hasRecording_ = false;
    lastRecordStatus_ = RecordIdle;
    commands_.send(QStringLiteral("Close RECORD "));
    return RecordIdle;
}

int VoiceRecorder::recordStatus()
{
    const QString mode = commands_.send(QStringLiteral("Status RECORD Mode"));
    if (mode == u"recording")
        return RecordRecording;
    if (mode == u"playing")
        return RecordPlaying;
    if (mode == u"paused")
        return RecordPaused;
    if (mode == u"stopped")
        return RecordStopped;
    return RecordIdle;
}

QString VoiceRecorder::recordFilePath(const QDateTime& now) const
{
    return folder_.recordFolder() + now.toString(QStringLiteral("yyyyMMdd_HHmmss")) +
           QStringLiteral(".wav");
}

QString VoiceRecorder::unusedRecordFilePath(const QDateTime& now) const
{
    // A clock set back (or a summer-time change) can name an older recording
    // again; the learner's earlier recording is kept, the new one gets a number.
    const QString path = recordFilePath(now);
    if (!QFileInfo::exists(path))
        return path;
    const QString stem = path.chopped(4);
    for (int n = 2;; ++n) {
        const QString numbered = QStringLiteral("%1_%2.wav").arg(stem).arg(n);
        if (!QFileInfo::exists(numbered))
            return numbered;
    }
}

RecordTick VoiceRecorder::tick(const QDateTime& now)
{
    RecordTick result;
    result.status = recordStatus();
    if (result.status == lastRecordStatus_)
        return result;
    if (lastRecordStatus_ > RecordIdle && result.status == RecordStopped) {
        result.buttonState = RecordStopped;
        if (hasRecording_ && !recordSaved_) {
            const int lengthMs = textToInt(commands_.send(QStringLiteral("Status RECORD Length")));
            if (lengthMs <= kShortestKeptMs) {
                result.buttonState = discardRecording();
                result.discarded = true;
            } else {
                recordSaved_ = true;
                const QString path = unusedRecordFilePath(now);
                const QString reply =
                    commands_.send(QStringLiteral("Save RECORD ") + quotedPath(path));
                if (QFileInfo::exists(path))
                    result.savedPath = path;
                else
                    result.saveError = reply;
            }
        }
    }
    lastRecordStatus_ = result.status;
    return result;
}

} // namespace dictora
