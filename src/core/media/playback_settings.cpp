// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/playback_settings.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace dictora {

namespace {

const QString kLeadIn = QStringLiteral("Playback/LeadInMs");
const QString kTail = QStringLiteral("Playback/TailMs");
const QString kRepeat = QStringLiteral("Playback/RepeatCount");
const QString kGap = QStringLiteral("Playback/RepeatGapMs");
const QString kSlow = QStringLiteral("Playback/SlowSpeedPermille");
const QString kLevel = QStringLiteral("Playback/LevelLoudness");

int readInt(const QSettings& settings, const QString& key, int fallback)
{
    bool ok = false;
    const int value = settings.value(key).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

PlaybackSettings PlaybackSettings::clamped() const
{
    PlaybackSettings c = *this;
    c.leadInMs = std::clamp(leadInMs, 0, kMaxPaddingMs);
    c.tailMs = std::clamp(tailMs, 0, kMaxPaddingMs);
    c.repeatCount = std::clamp(repeatCount, kMinRepeat, kMaxRepeat);
    c.repeatGapMs = std::clamp(repeatGapMs, kMinGapMs, kMaxGapMs);
    c.slowPermille = std::clamp(slowPermille, kMinSlowPermille, kMaxSlowPermille);
    return c;
}

QString playbackSettingsPath(const ProgramFolder& folder)
{
    return folder.cfgFolder() + QStringLiteral("Playback.ini");
}

PlaybackSettings loadPlaybackSettings(const ProgramFolder& folder)
{
    PlaybackSettings s;
    const QSettings settings(playbackSettingsPath(folder), QSettings::IniFormat);
    s.leadInMs = readInt(settings, kLeadIn, s.leadInMs);
    s.tailMs = readInt(settings, kTail, s.tailMs);
    s.repeatCount = readInt(settings, kRepeat, s.repeatCount);
    s.repeatGapMs = readInt(settings, kGap, s.repeatGapMs);
    s.slowPermille = readInt(settings, kSlow, s.slowPermille);
    s.levelLoudness = readInt(settings, kLevel, s.levelLoudness ? 1 : 0) != 0;
    return s.clamped();
}

bool savePlaybackSettings(const ProgramFolder& folder, const PlaybackSettings& settings)
{
    // QSettings would create the folder itself; a missing Cfg is a fault
    // the caller must hear of, not something to paper over.
    if (!QFileInfo(folder.cfgFolder()).isDir())
        return false;
    const PlaybackSettings s = settings.clamped();
    QSettings file(playbackSettingsPath(folder), QSettings::IniFormat);
    file.setValue(kLeadIn, s.leadInMs);
    file.setValue(kTail, s.tailMs);
    file.setValue(kRepeat, s.repeatCount);
    file.setValue(kGap, s.repeatGapMs);
    file.setValue(kSlow, s.slowPermille);
    file.setValue(kLevel, s.levelLoudness ? 1 : 0);
    file.sync();
    return file.status() == QSettings::NoError;
}

} // namespace dictora
