// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/media/playback_settings_dialog.h"

#include "core/media/media_player.h"
#include "ui/widgets/screen_places.h"

#include <QCheckBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace dictora {

PlaybackSettingsDialog::PlaybackSettingsDialog(ProgramFolder folder, MediaPlayer* player,
                                               QWidget* owner)
    : QDialog(owner), folder_(std::move(folder)), player_(player), leadIn_(new QSpinBox(this)),
      tail_(new QSpinBox(this)), repeat_(new QSpinBox(this)), gap_(new QDoubleSpinBox(this)),
      slow_(new QDoubleSpinBox(this)), levelling_(new QCheckBox(QStringLiteral("响度均衡"), this))
{
    setObjectName(QStringLiteral("playbackSettings"));
    setWindowTitle(QStringLiteral("播放设置"));
    setModal(true);
    keepFramedOnScreen(this);

    for (QSpinBox* padding : {leadIn_, tail_}) {
        padding->setRange(0, PlaybackSettings::kMaxPaddingMs);
        padding->setSingleStep(50);
        padding->setSuffix(QStringLiteral(" ms"));
    }
    repeat_->setRange(PlaybackSettings::kMinRepeat, PlaybackSettings::kMaxRepeat);
    repeat_->setSuffix(QStringLiteral(" 遍"));
    gap_->setRange(PlaybackSettings::kMinGapMs / 1000.0, PlaybackSettings::kMaxGapMs / 1000.0);
    gap_->setDecimals(1);
    gap_->setSingleStep(0.1);
    gap_->setSuffix(QStringLiteral(" 秒"));
    slow_->setRange(PlaybackSettings::kMinSlowPermille / 1000.0,
                    PlaybackSettings::kMaxSlowPermille / 1000.0);
    slow_->setDecimals(2);
    slow_->setSingleStep(0.05);
    slow_->setSuffix(QStringLiteral(" 倍"));
    levelling_->setToolTip(QStringLiteral("各课音量统一到 -20 LUFS，峰值不超过 -1 dBTP"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("句首提前"), leadIn_);
    form->addRow(QStringLiteral("句尾延后"), tail_);
    form->addRow(QStringLiteral("每句播放"), repeat_);
    form->addRow(QStringLiteral("重复间隔"), gap_);
    form->addRow(QStringLiteral("慢速重播"), slow_);
    form->addRow(QString(), levelling_);
    auto* note = new QLabel(QStringLiteral("只改变听到的声音，句子的时间不变。"), this);
    note->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PlaybackSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PlaybackSettingsDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);

    showSettings(player_ ? player_->playbackSettings() : loadPlaybackSettings(folder_));
}

void PlaybackSettingsDialog::showSettings(const PlaybackSettings& settings)
{
    leadIn_->setValue(settings.leadInMs);
    tail_->setValue(settings.tailMs);
    repeat_->setValue(settings.repeatCount);
    gap_->setValue(settings.repeatGapMs / 1000.0);
    slow_->setValue(settings.slowPermille / 1000.0);
    levelling_->setChecked(settings.levelLoudness);
}

PlaybackSettings PlaybackSettingsDialog::chosen() const
{
    PlaybackSettings s;
    s.leadInMs = leadIn_->value();
    s.tailMs = tail_->value();
    s.repeatCount = repeat_->value();
    s.repeatGapMs = int(std::lround(gap_->value() * 1000));
    s.slowPermille = int(std::lround(slow_->value() * 1000));
    s.levelLoudness = levelling_->isChecked();
    return s.clamped();
}

void PlaybackSettingsDialog::accept()
{
    const PlaybackSettings settings = chosen();
    if (!savePlaybackSettings(folder_, settings)) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("无法保存播放设置到 %1")
                                 .arg(QDir::toNativeSeparators(playbackSettingsPath(folder_))));
        return;
    }
    if (player_)
        player_->setPlaybackSettings(settings);
    QDialog::accept();
}

} // namespace dictora
