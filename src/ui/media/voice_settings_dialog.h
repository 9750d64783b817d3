// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSlider;

namespace dictora {

class StudyPanel;
class SpeechWorker;

// "语音设置": the voices, speed and volume that speak sentences without
// media. It has no OK or Cancel; every change takes effect at once, on the
// next sentence spoken. The choices live in the speech worker for the run
// and are not saved. Opened by showing it (the progress panel's fourth
// status item does).
class VoiceSettingsDialog : public QDialog {
    Q_OBJECT
public:
    VoiceSettingsDialog(StudyPanel& panel, QWidget* owner);

    QComboBox* englishList() const { return englishList_; }
    QComboBox* chineseList() const { return chineseList_; }
    QSlider* speedSlider() const { return speedSlider_; }
    QSlider* volumeSlider() const { return volumeSlider_; }
    QCheckBox* answerMarksBox() const { return answerMarks_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fillVoiceLists();
    void chooseVoice(QComboBox* list, int index);

    SpeechWorker* speech_;
    QComboBox* englishList_;
    QComboBox* chineseList_;
    QSlider* speedSlider_;
    QSlider* volumeSlider_;
    QCheckBox* answerMarks_ = nullptr;
    bool listsFilled_ = false;
};

} // namespace dictora
