// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/study_session.h"

#include "core/study/sentence_table.h"

namespace dictora {

StudyMode StudySession::mode() const
{
    if (state_.editMode)
        return StudyMode::Edit;
    if (state_.dictationMode)
        return StudyMode::Dictation;
    if (state_.lineByLineMode)
        return StudyMode::LineByLine;
    return StudyMode::Browse;
}

void StudySession::enter(StudyMode mode)
{
    state_.editMode = mode == StudyMode::Edit;
    state_.dictationMode = mode == StudyMode::Dictation;
    state_.lineByLineMode = mode == StudyMode::LineByLine;
}

ModeDecision StudySession::switchEdit()
{
    ModeDecision d;
    d.stopMedia = state_.lineByLineMode;
    const bool wasEdit = state_.editMode;
    enter(wasEdit ? StudyMode::Browse : StudyMode::Edit);
    state_.soundOn = true;
    // A Unit with hardly any rows is one to fill: the hint says how.
    if (!wasEdit && !state_.isNotebook && table_.rowCount() <= 3)
        d.tip = QStringLiteral("可以拖动文件添加内容");
    d.frameOnTop = false;
    return d;
}

ModeDecision StudySession::switchDictation(bool on)
{
    ModeDecision d;
    d.stopMedia = state_.lineByLineMode;
    const bool wasDictation = state_.dictationMode;
    enter(StudyMode::Browse);
    if (wasDictation) {
        state_.soundOn = true;
        d.resetTypingProgress = true;
    }
    if (on) {
        const int row = firstDueRow();
        if (row >= 0) {
            enter(StudyMode::Dictation);
            d.selectRow = row;
            d.playLoadedRow = row == state_.currentRow;
        } else {
            d.tip = QStringLiteral("请增加内容或选择其他单元");
        }
    }
    d.frameOnTop = state_.dictationMode;
    return d;
}

ModeDecision StudySession::switchLineByLine()
{
    ModeDecision d;
    state_.playToMs = kNone;
    state_.playFromMs = kNone;
    // Every way out of Dictation mode gives the sound back: a sentence
    // answered from memory must not leave the Unit playing silently.
    if (state_.dictationMode) {
        state_.soundOn = true;
        d.resetTypingProgress = true;
    }
    enter(state_.lineByLineMode ? StudyMode::Browse : StudyMode::LineByLine);
    d.clearSpanFlags = true;
    d.playRow = true;
    d.frameOnTop = false;
    return d;
}

SoundDecision StudySession::toggleSound(const PlaybackNow& now)
{
    SoundDecision d;
    if (state_.soundOn) {
        // The span stays as it was, so a resumed playback still ends where
        // the sentence ends.
        state_.soundOn = false;
        d.pauseMedia = now.mediaPlaying;
        d.stopRecordingPlayback = now.recordingPlayback;
        d.clearSpeechPending = true;
        return d;
    }
    state_.soundOn = true;
    state_.playToMs = kNone;
    state_.playFromMs = kNone;
    d.playRow = true;
    return d;
}

RowDecision StudySession::selectRow(int row, bool playbackStarting)
{
    RowDecision d;
    state_.currentRow = table_.isValidRow(row) ? row : kNone;
    if (state_.currentRow < 0)
        return d;
    if (table_.isSentence(row)) {
        d.pickTimePoint = state_.editMode;
        if (playbackStarting) {
            d.holdForm = true;
            return d;
        }
        d.loadRow = true;
        d.playRow = true;
        return d;
    }
    if (state_.editMode)
        d.tip = QStringLiteral("双击配置");
    return d;
}

int StudySession::firstDueRow() const
{
    for (int row = 0; row < table_.rowCount(); ++row) {
        if (table_.isSentence(row) && table_.field(row, Done) == u"0")
            return row;
    }
    return kNone;
}

NextLineDecision StudySession::next()
{
    NextLineDecision d;
    int row = state_.currentRow < 0 ? 0 : state_.currentRow + 1;
    while (row < table_.rowCount() && table_.isTitle(row))
        ++row;
    if (row < table_.rowCount()) {
        d.selectRow = row;
        d.advancing = true;
        d.frameOnTop = state_.dictationMode;
        return d;
    }
    if (state_.lineByLineMode)
        enter(StudyMode::Browse);
    d.clearSpeechPending = true;
    d.stopMedia = true;
    d.frameOnTop = state_.dictationMode;
    return d;
}

DictationStep StudySession::dictationAnswered(int nextRow, bool nextSoundOn)
{
    DictationStep d;
    if (nextRow < 0 || !table_.isValidRow(nextRow)) {
        if (state_.dictationMode)
            enter(StudyMode::Browse);
        state_.soundOn = true;
        d.endsDictation = true;
        d.frameOnTop = false;
        return d;
    }
    state_.soundOn = nextSoundOn;
    d.selectRow = nextRow;
    d.fadeIn = true;
    d.frameOnTop = state_.dictationMode;
    return d;
}

bool StudySession::editText(const QString& text)
{
    if (!table_.isValidRow(state_.currentRow))
        return false;
    table_.setField(state_.currentRow, Text, text.trimmed());
    rowsChanged();
    return true;
}

SectionDeleted StudySession::sectionDeleted()
{
    state_.currentRow = kNone;
    state_.mediaFilePath.clear();
    state_.openMediaLengthMs = kNone;
    state_.unitModified = true;
    return {};
}

void StudySession::desktopObserved(const QDateTime& now, const QPoint& cursor,
                                   const QObject* windowUnderCursor,
                                   const QObject* foregroundWindow)
{
    state_.now = now;
    state_.cursorPos = cursor;
    state_.windowUnderCursor = windowUnderCursor;
    state_.foregroundWindow = foregroundWindow;
}

} // namespace dictora
