// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/media/playback_settings.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

namespace dictora {

class MediaPlayer;

// "播放设置": lead-in and tail padding, how often and how far apart each
// sentence plays, the slow replay's speed and loudness levelling. OK stores
// them in Cfg/Playback.ini and hands them to the player for the next play;
// a file that cannot be written is reported and the dialog stays open.
class PlaybackSettingsDialog : public QDialog {
    Q_OBJECT
public:
    PlaybackSettingsDialog(ProgramFolder folder, MediaPlayer* player, QWidget* owner);

    // The settings the fields show.
    PlaybackSettings chosen() const;

    QSpinBox* leadIn() const { return leadIn_; }
    QSpinBox* tail() const { return tail_; }
    QSpinBox* repeat() const { return repeat_; }
    QDoubleSpinBox* gap() const { return gap_; }
    QDoubleSpinBox* slowSpeed() const { return slow_; }
    QCheckBox* levelling() const { return levelling_; }

    void accept() override;

private:
    void showSettings(const PlaybackSettings& settings);

    ProgramFolder folder_;
    MediaPlayer* player_;
    QSpinBox* leadIn_;
    QSpinBox* tail_;
    QSpinBox* repeat_;
    QDoubleSpinBox* gap_;
    QDoubleSpinBox* slow_;
    QCheckBox* levelling_;
};

} // namespace dictora
