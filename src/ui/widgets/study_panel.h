// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class QTableView;

namespace dictora {

enum class SpaceAction;
struct PlaybackNow;
struct StudyServices;
struct StudyState;
class AddContentDialog;
class ClearRecordDialog;
class ContentChangeDialog;
class DictationForm;
class MediaWindow;
class ProgressPanel;
class ScreensaverWindow;
class SentenceList;
class ShadowFrame;
class TipWindow;
class UnitListDialog;
class UnitSettingsDialog;
class VoiceSettingsDialog;

// The windows that float over the main panel and how to ask them about their
// state. The windows of the screensaver, the media player and the dictation
// form fill these in as they are created; until then they stay empty and the
// layout leaves them out.
struct FloatingWindows {
    QPointer<QWidget> screensaver;
    QPointer<QWidget> mediaWindow;
    QPointer<QWidget> dictationForm;
    std::function<bool()> screensaverRunning;
    std::function<bool()> mediaEnlarged;
    // The enlarged media window is pinned in front of the form.
    std::function<bool()> mediaPinned;
    // Plays the current sentence again through the media window.
    std::function<void()> replayInMedia;
    // The floating dictation form runs its own layout.
    std::function<void()> placeDictationForm;
    // Tells the dictation form it is now docked (true) or floating (false).
    std::function<void(bool docked)> setDictationFormDocked;
    // What the floating form keeps off, in screen coordinates: the current
    // row with its waveform strip (the rows in view when none is current),
    // and the status bar along the bottom.
    std::function<QRect()> workOnScreen;
    std::function<QRect()> statusBar;
    // Scrolls the current row and its strip out from under a window.
    std::function<void(const QRect& cover)> keepWorkClearOf;
};

// The study screen as every window of it sees the main panel: the study
// state and services, the sibling windows, the panel's layout figures and
// the few things a window asks of the frame. The main panel, which creates
// the windows, fills it in; the windows depend on this and never on the
// panel itself, so they can be built and tested below it.
class StudyPanel : public QWidget {
    Q_OBJECT
public:
    StudyPanel(QWidget* parent, StudyServices& services);
    ~StudyPanel() override;

    // Places the floating windows, then the sentence list.
    virtual void layoutPanel() = 0;
    // Switches the dictation form between floating and docked.
    virtual void toggleDock() = 0;
    // A mode changed: the frame leaves the topmost layer unless it may stay
    // there (Dictation mode), and the progress panel's mode item shows the
    // mode now, so the screensaver follows before anything else happens.
    virtual void modeChanged(bool frameOnTop) = 0;
    // Raises the frame over every other window and gives the keyboard to the
    // answer box (the screensaver's guard); nothing without a frame.
    virtual void bringFrameToFront() = 0;
    // The answer box the frame gives the keyboard to when it comes forward.
    virtual void setAnswerBox(QWidget* answerBox) = 0;
    // Calls then, with context alive, once the frame has painted for the
    // first time. False, and then is never called, when there is no frame.
    virtual bool whenFramePainted(QObject* context, std::function<void()> then) = 0;
    // Shows one window of the study screen as the splash brings them up in
    // turn: 0 the progress panel, 1 the unit list, else the sentence list.
    virtual void showStudyWindow(int which) = 0;

    // The sentence list as a table, and the calls the dictation form and its
    // toolbar make on it.
    virtual QTableView* sentenceView() const = 0;
    virtual void toggleMute() = 0;
    virtual PlaybackNow sentencePlaybackNow() = 0;
    virtual void carryOutSpace(SpaceAction action) = 0;
    // The sentence list holds the content-change question while it is shown
    // (nullptr once answered), so closing the Unit can close it, and keeps
    // the answer afterwards.
    virtual void holdChangeQuestion(QWidget* question) = 0;
    virtual void keepChangeChoice(int choice) = 0;

    // Windows read the study state; they change it through the session.
    const StudyState& state() const { return state_; }
    StudyServices& services() { return services_; }
    ScreensaverWindow* screensaver() const { return screensaver_; }
    ProgressPanel* progressPanel() const { return progressPanel_; }
    UnitSettingsDialog* unitSettings() const { return unitSettings_; }
    SentenceList* sentenceList() const { return sentenceList_; }
    UnitListDialog* unitList() const { return unitList_; }
    TipWindow* tipWindow() const { return tipWindow_; }
    ShadowFrame* shadowFrame() const { return shadowFrame_; }
    AddContentDialog* addContent() const { return addContent_; }
    ContentChangeDialog* contentChange() const { return contentChange_; }
    ClearRecordDialog* clearRecord() const { return clearRecord_; }
    MediaWindow* mediaWindow() const { return mediaWindow_; }
    DictationForm* dictationForm() const { return dictationForm_; }
    VoiceSettingsDialog* voiceSettings() const { return voiceSettings_; }
    FloatingWindows& floating() { return floating_; }

    // 1: the dictation form floats; 0: it is docked as a strip.
    int compactLayout = 1;
    // When docked: 1 = strip at the top, 0 = at the bottom.
    int dockedAtTop = 1;
    QRect windowRect; // screen coordinates, refreshed by every layout pass
    QPoint clientOrigin;
    int screenWidth = 0;
    int screenHeight = 0;

signals:
    // A right-button release over the panel or the sentence list: the place
    // for the main menu or, in Edit mode, the edit menu.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    StudyServices& services_;
    const StudyState& state_;
    FloatingWindows floating_;
    SentenceList* sentenceList_ = nullptr;
    ScreensaverWindow* screensaver_ = nullptr;
    ProgressPanel* progressPanel_ = nullptr;
    UnitSettingsDialog* unitSettings_ = nullptr;
    TipWindow* tipWindow_ = nullptr;
    ShadowFrame* shadowFrame_ = nullptr;
    UnitListDialog* unitList_ = nullptr;
    AddContentDialog* addContent_ = nullptr;
    ContentChangeDialog* contentChange_ = nullptr;
    ClearRecordDialog* clearRecord_ = nullptr;
    MediaWindow* mediaWindow_ = nullptr;
    DictationForm* dictationForm_ = nullptr;
    VoiceSettingsDialog* voiceSettings_ = nullptr;
};

} // namespace dictora
