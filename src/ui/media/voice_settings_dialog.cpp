// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/media/voice_settings_dialog.h"

#include "core/shell/window_placement.h"
#include "core/study/study_session.h"

#include <QCheckBox>

#include "platform/speech/speech_worker.h"
#include "ui/widgets/dialog_colours.h"
#include "ui/widgets/study_panel.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/ui_font.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSlider>

namespace dictora {

namespace {

constexpr int kSpeedSteps = 20; // rate -10..10 shown as 0..20
constexpr int kVolumeSteps = 100;

QLabel* makeLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

QSlider* makeSlider(int maximum, QWidget* parent)
{
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(0, maximum);
    slider->setPageStep(maximum / 10);
    return slider;
}

} // namespace

VoiceSettingsDialog::VoiceSettingsDialog(StudyPanel& panel, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      speech_(dynamic_cast<SpeechWorker*>(panel.services().speech)),
      englishList_(new QComboBox(this)), chineseList_(new QComboBox(this)),
      speedSlider_(makeSlider(kSpeedSteps, this)), volumeSlider_(makeSlider(kVolumeSteps, this))
{
    setObjectName(QStringLiteral("voiceSettings"));
    setWindowTitle(QStringLiteral("语音设置"));
    setFont(uiFont());

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kSettingsBackground);
    palette.setColor(QPalette::WindowText, kSettingsText);
    setPalette(palette);
    setAutoFillBackground(true);
    for (QComboBox* list : {englishList_, chineseList_}) {
        QPalette listPalette = list->palette();
        listPalette.setColor(QPalette::Text, kSettingsInputText);
        listPalette.setColor(QPalette::ButtonText, kSettingsInputText);
        list->setPalette(listPalette);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        // Room for espeak-ng's longest voice names, "Chinese (Mandarin,
        // latin as English) (cmn-latn-pinyin)" among them.
        list->setMinimumContentsLength(40);
        list->setMaxVisibleItems(20);
    }
    englishList_->setObjectName(QStringLiteral("englishVoices"));
    chineseList_->setObjectName(QStringLiteral("chineseVoices"));
    speedSlider_->setObjectName(QStringLiteral("speed"));
    volumeSlider_->setObjectName(QStringLiteral("volume"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 14, 16, 14);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(makeLabel(QStringLiteral("英文:"), this), 0, 0);
    grid->addWidget(englishList_, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("中文:"), this), 1, 0);
    grid->addWidget(chineseList_, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("语速:"), this), 2, 0);
    grid->addWidget(speedSlider_, 2, 1);
    grid->addWidget(makeLabel(QStringLiteral("音量:"), this), 3, 0);
    grid->addWidget(volumeSlider_, 3, 1);
    // Learners who want only the first mismatch marker can hide the marks.
    answerMarks_ = new QCheckBox(QStringLiteral("回车后在答案下方显示整句批改"), this);
    answerMarks_->setObjectName(QStringLiteral("answerMarks"));
    answerMarks_->setChecked(panel.state().showAnswerMarks);
    grid->addWidget(answerMarks_, 4, 0, 1, 2);
    StudySession& session = panel.services().session;
    connect(answerMarks_, &QCheckBox::toggled, this,
            [&session](bool on) { session.setShowAnswerMarks(on); });
    grid->setColumnStretch(1, 1);
    // A settings box of fixed size: nothing in it grows.
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(englishList_, &QComboBox::activated, this,
            [this](int index) { chooseVoice(englishList_, index); });
    connect(chineseList_, &QComboBox::activated, this,
            [this](int index) { chooseVoice(chineseList_, index); });
    // Dragging changes nothing until the slider is let go; a key or a click
    // on the groove is a change of its own.
    const auto applySpeed = [this] {
        if (speech_ && !speedSlider_->isSliderDown())
            speech_->setRate(speedSlider_->value() - kSpeedSteps / 2);
    };
    const auto applyVolume = [this] {
        if (speech_ && !volumeSlider_->isSliderDown())
            speech_->setVolume(volumeSlider_->value());
    };
    connect(speedSlider_, &QSlider::valueChanged, this, applySpeed);
    connect(speedSlider_, &QSlider::sliderReleased, this, applySpeed);
    connect(volumeSlider_, &QSlider::valueChanged, this, applyVolume);
    connect(volumeSlider_, &QSlider::sliderReleased, this, applyVolume);
}

void VoiceSettingsDialog::fillVoiceLists()
{
    if (listsFilled_ || !speech_)
        return;
    const QList<SpeechVoice> voices = speech_->voices();
    if (voices.isEmpty())
        return; // no voices: empty lists, the engine's default voice speaks
    listsFilled_ = true;
    for (QComboBox* list : {englishList_, chineseList_}) {
        for (const SpeechVoice& voice : voices)
            list->addItem(QStringLiteral("%1 (%2)").arg(voice.name, voice.language),
                          voice.identifier);
    }
}

void VoiceSettingsDialog::chooseVoice(QComboBox* list, int index)
{
    if (!speech_ || index < 0)
        return;
    const QString identifier = list->itemData(index).toString();
    if (list == englishList_)
        speech_->setEnglishVoice(identifier);
    else
        speech_->setChineseVoice(identifier);
}

void VoiceSettingsDialog::showEvent(QShowEvent* event)
{
    fillVoiceLists();
    if (speech_) {
        englishList_->setCurrentIndex(englishList_->findData(speech_->englishVoice()));
        chineseList_->setCurrentIndex(chineseList_->findData(speech_->chineseVoice()));
        const QSignalBlocker speedQuiet(speedSlider_);
        const QSignalBlocker volumeQuiet(volumeSlider_);
        speedSlider_->setValue(speech_->rate() + kSpeedSteps / 2);
        volumeSlider_->setValue(speech_->volume());
    }
    ensurePolished();
    layout()->activate();
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(centredOn(frameGeometry().size(), area, area).topLeft());
    }
    QDialog::showEvent(event);
}

} // namespace dictora
