// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/shell/panel_layout.h"
// Complete here: windows hold the list as the QTableView it is.
#include "ui/shell/sentence_list.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

namespace dictora {

struct StudyServices;
struct StudyState;
class AddContentDialog;
class ClearRecordDialog;
class ContentChangeDialog;
class DictationForm;
class MediaWindow;
class ProgressPanel;
class ScreensaverWindow;
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
    // The floating dictation form runs its own layout.
    std::function<void()> placeDictationForm;
    // Tells the dictation form it is now docked (true) or floating (false).
    std::function<void(bool docked)> setDictationFormDocked;
};

// The study screen: covers the frame's client area, holds the sentence list
// and owns every other window of the program, created once in a fixed order
// and never destroyed during the run.
class MainPanelDialog : public QWidget {
    Q_OBJECT
public:
    MainPanelDialog(QWidget* frame, StudyServices& services);
    ~MainPanelDialog() override;

    // Creates the owned windows, in the order of their chain of ownership.
    void createOwnedWindows();

    // Places the floating windows, then the sentence list.
    void layoutPanel();
    // Places the floating windows alone (on every move of the panel).
    void layoutFloating();
    // Switches the dictation form between floating and docked.
    void toggleDock();
    // The panel's screen place changed (the frame moved).
    void panelMoved();
    // Takes the frame out of the topmost layer, where the screensaver puts
    // it for Dictation mode; every way out of Dictation calls it, so the
    // unit library pop-up and other programs come up over it again.
    void leaveTopLayer();
    // A mode changed: the frame leaves the topmost layer unless it may stay
    // there (Dictation mode), and the progress panel's mode item shows the
    // mode now, so the screensaver follows before anything else happens.
    void modeChanged(bool frameOnTop);

    PanelLayoutInput layoutInput() const;

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
    QString unitName;

signals:
    // A right-button release over the panel or the sentence list: the place
    // for the main menu or, in Edit mode, the edit menu.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void filterInput(QWidget* widget);

    StudyServices& services_;
    const StudyState& state_;
    SentenceList* sentenceList_ = nullptr;
    FloatingWindows floating_;
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
