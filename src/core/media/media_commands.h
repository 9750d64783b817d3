// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

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

    // Sends an Open without waiting for the device to become ready: done is
    // called later, on this thread, with the reply. Until then the alias is
    // not open, and commands to it fail as to an alias never opened. A layer
    // whose devices never keep it waiting sends the command at once.
    virtual void openInBackground(const QString& command,
                                  std::function<void(const QString& reply)> done)
    {
        const QString reply = send(command);
        if (done)
            done(reply);
    }

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

// The layer's replies to failed commands begin so.
inline bool isErrorReply(const QString& reply)
{
    return reply.startsWith(QLatin1String("error:"));
}

// Paths inside command strings are double-quoted, since Linux paths may hold
// blanks.
inline QString quotedPath(const QString& path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

}  // namespace dictora
