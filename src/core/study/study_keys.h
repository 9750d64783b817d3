// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/listening_keys.h"
#include "core/study/study_session.h"

namespace dictora {

// --- the time shifts of Edit mode ---

// One time edit: the key that does it in the sentence list and the edit
// menu item that does it (ids 6 to 9).
struct TimeShiftCommand {
    int key;
    int menuItem;
    int deltaMs;
    bool wholeSpan; // start and end together, else the chosen time point
};

// The one table of time edits, for the keys and the menu alike.
inline constexpr TimeShiftCommand kTimeShifts[] = {
    {0x41 /* Qt::Key_A */, 6, -50, false},
    {0x46 /* Qt::Key_F */, 7, +50, false},
    {0x45 /* Qt::Key_E */, 8, -500, true},
    {0x44 /* Qt::Key_D */, 9, +500, true},
};

// The time edit of a menu item, or nullptr.
const TimeShiftCommand* timeShiftOfMenuItem(int menuItem);

// --- the sentence list ---

// What the list knows when a key goes down.
struct ListKeyContext {
    StudyMode mode = StudyMode::Browse;
    bool sentenceRow = false;  // a row is current and it is a sentence row
    int selectedPoint = -1000; // 1 start, 2 end, -1 neither, -1000 never chosen
    bool hasMediaName = false; // the current row's mediaName is not empty
    bool looping = false;      // the player loops the current sentence
};

struct ListKeyDown {
    enum Action {
        Swallow,     // eaten without effect: no type-ahead selection
        Navigate,    // Page Up/Down, Up, Down: the list moves the selection
        ChoosePoint, // Left (1) or Right (2) chooses the time point
        ShiftTime,   // a time edit of kTimeShifts
        Listen,      // a listening key: listening.play says what to play
    };
    Action action = Swallow;
    int point = 0;
    const TimeShiftCommand* shift = nullptr;
    ListeningStep listening; // also: any other key ends a loop
};
ListKeyDown sentenceListKeyDown(const KeyPress& press, const ListKeyContext& context);

// What Space does in the list (on its release) and in the dictation form:
// in Line-by-line play it pauses or resumes; in Browse mode on a sentence
// row it plays the sentence again; otherwise nothing.
enum class SpaceAction { None, Pause, Resume, Replay };
SpaceAction spaceAction(StudyMode mode, bool sentenceRow, const PlaybackNow& now);

// --- the dictation form ---

// The form's filter of key presses on itself and its boxes.
struct FormKeyContext {
    StudyMode mode = StudyMode::Browse;
    bool inAnswerBox = false;
    bool hasCurrentRow = false;
    bool sentenceRow = false;
    PlaybackNow playback;
    bool looping = false; // the player loops the current sentence
};

struct FormKeyDecision {
    enum Action {
        Pass,           // the box handles the key
        Swallow,        // eaten without effect
        DeleteMismatch, // Esc in the answer box deletes the selected wrong character
        SubmitEdit,     // Enter in Edit mode writes the box into the row
        SubmitAnswer,   // Enter in Dictation mode judges the answer
        Listen,         // a listening key, eaten ahead of the recording gate: no try, no recording
    };
    Action action = Pass;
    SpaceAction space = SpaceAction::None; // Space acts, then passes on as typing
    ListeningStep listening;               // also: any other key ends a loop
    // The key reaches the recording gate: not a listening key nor a
    // modifier on its own, so Ctrl+R starts no recording.
    bool typing = true;
};
FormKeyDecision dictationFormKey(const KeyPress& press, const FormKeyContext& context);

// A sentence answered from memory (sound off) is recorded first: the first
// key press starts the recording and is eaten; once there is a recording a
// key stops it, and Enter is eaten with that.
struct RecordingGateContext {
    bool dictationMode = false;
    bool soundOn = true;
    bool typingUnlocked = false;
    bool hasRecorder = false;
    bool hasRecording = false;
    bool recording = false;
    bool isEnter = false;
};
struct RecordingGateStep {
    bool startRecording = false;
    bool stopRecording = false;
    bool swallow = false;
};
RecordingGateStep recordingGate(const RecordingGateContext& context);

} // namespace dictora
