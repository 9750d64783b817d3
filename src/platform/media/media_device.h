// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>

#include <optional>

namespace dictora {

// One open alias of the command layer. Methods return the reply text: empty
// for success, "error: ..." for a failure. Called on the user-interface thread.
class MediaDevice {
public:
    virtual ~MediaDevice() = default;

    // Play from fromMs (the current position when absent) to toMs (the end
    // when absent); the device stops by itself at toMs.
    virtual QString play(std::optional<qint64> fromMs, std::optional<qint64> toMs) = 0;
    virtual QString pause() = 0;
    virtual QString resume() = 0;
    virtual QString stop() = 0;
    // "playing", "paused", "stopped" or "recording".
    virtual QString mode() = 0;
    virtual qint64 lengthMs() = 0;
    virtual qint64 positionMs() = 0;

    virtual QString record() { return QStringLiteral("error: the device cannot record"); }
    virtual QString save(const QString& path)
    {
        Q_UNUSED(path);
        return QStringLiteral("error: the device cannot save");
    }
    // Speed of the following plays in thousandths (1000 = normal), pitch kept.
    virtual QString setSpeed(int permille)
    {
        Q_UNUSED(permille);
        return QStringLiteral("error: the device has no speed");
    }
    // Volume in thousandths of the file's own level (1000 = as recorded).
    virtual QString setVolume(int permille)
    {
        Q_UNUSED(permille);
        return QStringLiteral("error: the device has no volume");
    }
    virtual void placeVideo(const QRect& area) { Q_UNUSED(area); }
    virtual bool hasVideo() const { return false; }

    // Reads the messages GStreamer has posted since the last call.
    virtual void serviceBus() = 0;
};

inline QString errorReply(const QString& message)
{
    return QStringLiteral("error: ") + message;
}

} // namespace dictora
