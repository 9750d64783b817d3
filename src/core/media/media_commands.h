// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace dictora {

// Where a media layer that shows video delivers the decoded frames
// (platform/media/video_frame_sink.h); the core only passes it on.
class VideoFrameSink;

// The media command layer: the program speaks to media devices only through
// MCI-style command strings ("Open \"path\" Type MPEGVideo Alias MYSHOW ...",
// "Play MYSHOW From 0 To 1500", "Status MYSHOW Mode", ...) and reads the reply
// text ("playing", "paused", "stopped", "recording", a decimal length).
// Unknown aliases and failed commands reply with an error text that callers
// ignore, as they would with MCI. Called on the user-interface thread.
class MediaCommands {
public:
    virtual ~MediaCommands() = default;
    virtual QString send(const QString& command) = 0;

    // The window that shows video registers where its frames go, under the
    // number the open command names as "Parent %u", and unregisters before
    // it goes. A layer that shows no video (a test's, a sound-only one)
    // ignores both.
    virtual void registerVideoSink(quint32 surfaceId, VideoFrameSink* sink)
    {
        Q_UNUSED(surfaceId);
        Q_UNUSED(sink);
    }
    virtual void unregisterVideoSink(quint32 surfaceId) { Q_UNUSED(surfaceId); }
};

// Paths inside command strings are double-quoted, since Linux paths may hold
// blanks.
inline QString quotedPath(const QString& path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

}  // namespace dictora
