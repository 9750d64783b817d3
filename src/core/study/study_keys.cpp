// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/study_keys.h"

#include <qnamespace.h>

namespace dictora {

static_assert(kTimeShifts[0].key == Qt::Key_A && kTimeShifts[1].key == Qt::Key_F &&
              kTimeShifts[2].key == Qt::Key_E && kTimeShifts[3].key == Qt::Key_D);

const TimeShiftCommand* timeShiftOfMenuItem(int menuItem)
{
    for (const TimeShiftCommand& shift : kTimeShifts) {
        if (shift.menuItem == menuItem)
            return &shift;
    }
    return nullptr;
}

ListKeyDown sentenceListKeyDown(const KeyPress& press, const ListKeyContext& context)
{
    ListKeyDown down;
    down.listening = listeningKeyStep(press, {context.looping, context.sentenceRow});
    if (down.listening.swallow) {
        down.action = ListKeyDown::Listen;
        return down;
    }
    const int key = press.key;
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
        down.action = ListKeyDown::Navigate;
        return down;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (context.mode == StudyMode::Edit && context.sentenceRow) {
            down.action = ListKeyDown::ChoosePoint;
            down.point = key == Qt::Key_Left ? 1 : 2;
        }
        return down;
    default:
        break;
    }
    // Qt reports the letter keys by their capital, with or without Shift.
    for (const TimeShiftCommand& shift : kTimeShifts) {
        if (shift.key != key)
            continue;
        if (context.mode == StudyMode::Edit && context.sentenceRow &&
            context.selectedPoint >= 0 && context.hasMediaName) {
            down.action = ListKeyDown::ShiftTime;
            down.shift = &shift;
        }
        return down;
    }
    return down;
}

SpaceAction spaceAction(StudyMode mode, bool sentenceRow, const PlaybackNow& now)
{
    if (mode == StudyMode::LineByLine) {
        if (now.mediaPlaying)
            return SpaceAction::Pause;
        return now.mediaPaused ? SpaceAction::Resume : SpaceAction::None;
    }
    if (mode == StudyMode::Browse && sentenceRow)
        return SpaceAction::Replay;
    return SpaceAction::None;
}

FormKeyDecision dictationFormKey(const KeyPress& press, const FormKeyContext& context)
{
    FormKeyDecision d;
    d.listening = listeningKeyStep(press, {context.looping, context.sentenceRow});
    d.typing = !d.listening.swallow && !isModifierKey(press.key);
    if (d.listening.swallow) {
        d.action = FormKeyDecision::Listen;
        return d;
    }
    const int key = press.key;
    if (key == Qt::Key_Escape) {
        d.action = context.inAnswerBox ? FormKeyDecision::DeleteMismatch : FormKeyDecision::Swallow;
        return d;
    }
    if (key == Qt::Key_Space) {
        d.space = spaceAction(context.mode, context.hasCurrentRow && context.sentenceRow,
                              context.playback);
        return d;
    }
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!enter || !context.inAnswerBox)
        return d;
    // The answer box never takes a line break of its own.
    if (!context.hasCurrentRow)
        d.action = FormKeyDecision::Swallow;
    else if (context.mode == StudyMode::Edit)
        d.action = FormKeyDecision::SubmitEdit;
    else if (context.mode == StudyMode::Dictation && context.sentenceRow)
        d.action = FormKeyDecision::SubmitAnswer;
    return d;
}

RecordingGateStep recordingGate(const RecordingGateContext& context)
{
    RecordingGateStep step;
    if (!context.dictationMode || context.soundOn || context.typingUnlocked ||
        !context.hasRecorder)
        return step;
    if (!context.hasRecording) {
        step.startRecording = true;
        step.swallow = true;
        return step;
    }
    step.stopRecording = context.recording;
    step.swallow = context.isEnter;
    return step;
}

} // namespace dictora
