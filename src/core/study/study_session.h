// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/study/study_state.h"

#include <QString>

namespace dictora {

class SentenceTable;

// The study modes. At most one of Edit, Dictation and Line-by-line play is
// on; Browse is the mode with none of them.
enum class StudyMode { Browse, Edit, Dictation, LineByLine };

// What the media is doing when a command comes, as the windows read it from
// the player and the recorder.
struct PlaybackNow {
    bool mediaPlaying = false;      // the device's mode is "playing"
    bool mediaPaused = false;       // paused by the learner
    bool recordingPlayback = false; // the recorder plays the learner's recording back
};

// What a mode command leaves for the windows to do, in this order: stop the
// media, clear the media window's span flags, reset the typing bar, play the
// row, select a row, repaint the list, load the row (and play it), show the
// tip.
struct ModeDecision {
    bool stopMedia = false;           // "Stop MYSHOW ": Line-by-line play ended
    bool clearSpanFlags = false;      // the media window forgets spanPlaying and speaking
    bool resetTypingProgress = false; // Dictation ended: the typing bar goes back to 0
    bool playRow = false;
    int selectRow = kNone;            // a row to select; its selection change loads and plays it
    bool repaintList = true;
    bool loadRow = true;
    // The row to dictate was selected already, so no selection change plays
    // it: it is played once the form holds it.
    bool playLoadedRow = false;
    QString tip;                      // shown at the cursor, empty for none
    // The frame may stay in the topmost layer (where the screensaver puts it)
    // only while Dictation mode is on; false takes it out.
    bool frameOnTop = false;
};

// What the sound command ("静音", the toolbar's sound button) leaves to do.
struct SoundDecision {
    bool pauseMedia = false;
    bool stopRecordingPlayback = false; // the record button shows the recorder's new state
    bool clearSpeechPending = false;
    bool playRow = false;
};

// What a newly selected row leaves to do.
struct RowDecision {
    bool pickTimePoint = false; // Edit mode: the time point under the cursor
    bool holdForm = false;      // a playback is being started: the dictation form stays put
    bool loadRow = false;
    bool playRow = false;
    QString tip;                // shown near the cursor, empty for none
};

// What one step of Line-by-line play leaves to do.
struct NextLineDecision {
    int selectRow = kNone; // the next sentence row; the selection keeps the playback going
    bool advancing = false;
    bool clearSpeechPending = false;
    bool stopMedia = false; // the end of the Unit: "Stop MYSHOW "
    bool frameOnTop = false;
};

// What the dictation form does after a right answer.
struct DictationStep {
    int selectRow = kNone; // the next row to dictate; none: Dictation mode ended
    bool endsDictation = false;
    bool fadeIn = false;
    bool frameOnTop = true;
};

// What bringing the study screen forward (the screensaver coming on, its
// guard putting the screen back over another program) leaves to do: the
// windows are raised and the keyboard goes to the answer box either way.
struct FrontDecision {
    // The frame goes into the topmost layer only while Dictation mode is on,
    // as after every mode command; otherwise it leaves it.
    bool frameOnTop = false;
};

// What deleting a Section leaves to do.
struct SectionDeleted {
    bool closeMedia = true; // "Close MYSHOW " and the media window hides
};

// The one writer of the study state's modes, sound flag and current row on
// behalf of the windows. Every command returns what the windows must do to
// carry it out; the windows do that and decide nothing themselves. The
// record itself stays the shared study state, which the rules of core read.
class StudySession {
public:
    StudySession(StudyState& state, SentenceTable& table) : state_(state), table_(table) {}

    const StudyState& state() const { return state_; }
    StudyMode mode() const;

    // --- the mode commands of the menus ---
    // "编 辑" and " --- 编 辑 --- ".
    ModeDecision switchEdit();
    // "【听 写】": on starts Dictation at the first row still to study (or
    // shows a tip when there is none) and plays it, selected before or not;
    // off ends it.
    ModeDecision switchDictation(bool on);
    // "逐行播放".
    ModeDecision switchLineByLine();
    // "静音" and the toolbar's sound button: one rule for both.
    SoundDecision toggleSound(const PlaybackNow& now);
    // A wrong answer or "answer again": the sentence sounds again.
    void soundBackOn() { state_.soundOn = true; }

    // The voice settings' check box: whole-answer marks under the answer.
    void setShowAnswerMarks(bool on) { state_.showAnswerMarks = on; }

    // The study screen is brought forward over the other windows.
    FrontDecision bringForward() const { return {.frameOnTop = state_.dictationMode}; }

    // --- rows ---
    // The selection of the sentence list moved to row.
    RowDecision selectRow(int row, bool playbackStarting);
    // The first sentence row still to study (done "0"), or kNone.
    int firstDueRow() const;
    // Line-by-line play: the next sentence row after the current one, or the
    // end of the mode at the end of the Unit.
    NextLineDecision next();
    // A right answer in Dictation mode; nextRow and nextSoundOn come from
    // the dictation rules (below 0: nothing is left to dictate).
    DictationStep dictationAnswered(int nextRow, bool nextSoundOn);

    // --- row edits ---
    // Enter in Edit mode: the current row's text becomes text, trimmed, and
    // the Unit is to be saved. False when no row is current.
    bool editText(const QString& text);
    // The rows changed; the unit library saves them.
    void rowsChanged() { state_.unitModified = true; }
    // The rows were saved outside the autosave (before an export reads the
    // Unit file): nothing is left for the autosave to write.
    void rowsSaved() { state_.unitModified = false; }
    // Rows were removed: no row is current.
    void currentRowRemoved() { state_.currentRow = kNone; }
    // A Section went with its media.
    SectionDeleted sectionDeleted();

    // --- what the desktop tells ---
    void cursorMoved(const QPoint& screenPos) { state_.cursorPos = screenPos; }
    void desktopObserved(const QDateTime& now, const QPoint& cursor,
                         const QObject* windowUnderCursor, const QObject* foregroundWindow);

private:
    void enter(StudyMode mode);

    StudyState& state_;
    SentenceTable& table_;
};

} // namespace dictora
