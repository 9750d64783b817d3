// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_fixture.h"
#include "platform/media/audio_delivery_meter.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/media_file_device.h"
#include "platform/media/media_length.h"
#include "platform/media/video_frame_sink.h"

#include <QCoreApplication>
#include <QFile>

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace dictora {
namespace {

using test::generatedMedia;
using test::waitUntil;

QString openCommand(const QString& path, const QString& alias)
{
    return QStringLiteral("Open ") + quotedPath(path) + QStringLiteral(" Type MPEGVideo Alias ") +
           alias;
}

class MediaFileCommands : public ::testing::Test {
protected:
    void SetUp() override { test::ensureMediaRuntime(); }

    // Commands whose audio goes to a clocked fakesink that counts what it renders.
    std::unique_ptr<GstMediaCommands> meteredCommands()
    {
        GstMediaCommands::Options options;
        options.makeAudioSink = [this] { return meter.makeFakeSink(true); };
        return std::make_unique<GstMediaCommands>(options);
    }

    AudioDeliveryMeter meter;
};

TEST_F(MediaFileCommands, LengthsAreExactForEveryFormat)
{
    const auto& media = generatedMedia();
    GstMediaCommands commands;
    struct Case {
        QString path;
        int expectedMs;
        int toleranceMs;
    };
    // Vorbis and WAVE state the length; lame's Info header lets GStreamer drop
    // the encoder delay and padding, so the MP3 is as long as its source.
    for (const Case& c : {Case{media.wav, 2000, 0}, Case{media.ogg, 2000, 1},
                          Case{media.mp3Cbr, 2000, 5}, Case{media.mkvVideo, 1000, 1}}) {
        ASSERT_FALSE(c.path.isEmpty());
        ASSERT_EQ(commands.send(openCommand(c.path, QStringLiteral("MYSHOW"))), QString())
            << c.path.toStdString();
        const int length = commands.send(QStringLiteral("Status MYSHOW Length")).toInt();
        EXPECT_NEAR(length, c.expectedMs, c.toleranceMs) << c.path.toStdString();
        EXPECT_EQ(commands.send(QStringLiteral("Close MYSHOW ")), QString());
    }
}

TEST_F(MediaFileCommands, AnMp3WithoutAXingHeaderIsScannedToTheLengthThatPlays)
{
    const QString bare = generatedMedia().mp3VbrBare;
    ASSERT_FALSE(bare.isEmpty());
    GstMediaCommands commands;
    ASSERT_EQ(commands.send(openCommand(bare, QStringLiteral("MYSHOW"))), QString());
    const qint64 length = commands.send(QStringLiteral("Status MYSHOW Length")).toLongLong();
    const qint64 decodedMs = (scanDecodedLengthNs(bare) + 500000) / 1000000;
    EXPECT_NEAR(length, decodedMs, 5);
    // Without the header the encoder's delay and padding stay in: at most two
    // frames more than the source's 2000 ms.
    EXPECT_GE(length, 2000);
    EXPECT_LE(length, 2060);
}

TEST_F(MediaFileCommands, ModeWordsFollowPlayPauseResumeAndStop)
{
    GstMediaCommands commands;
    ASSERT_EQ(commands.send(openCommand(generatedMedia().wav, QStringLiteral("MYSHOW")) +
                            QStringLiteral(" Parent 0 Style 1073741824 Notify")),
              QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status MYSHOW Mode")), QStringLiteral("stopped"));
    EXPECT_EQ(commands.send(QStringLiteral("Play MYSHOW From 0 To 1900")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status MYSHOW Mode")), QStringLiteral("playing"));
    ASSERT_TRUE(waitUntil(
        [&] { return commands.send(QStringLiteral("Status MYSHOW Position")).toInt() >= 100; }));
    EXPECT_EQ(commands.send(QStringLiteral("Pause MYSHOW ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status MYSHOW Mode")), QStringLiteral("paused"));
    const int pausedAt = commands.send(QStringLiteral("Status MYSHOW Position")).toInt();
    EXPECT_GE(pausedAt, 100);
    EXPECT_LT(pausedAt, 1900);
    EXPECT_EQ(commands.send(QStringLiteral("Resume MYSHOW ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status MYSHOW Mode")), QStringLiteral("playing"));
    EXPECT_EQ(commands.send(QStringLiteral("Stop MYSHOW ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status MYSHOW Mode")), QStringLiteral("stopped"));
    // A resume after a stop does not start playing again.
    commands.send(QStringLiteral("Resume MYSHOW "));
    EXPECT_EQ(commands.send(QStringLiteral("Status MYSHOW Mode")), QStringLiteral("stopped"));
}

TEST_F(MediaFileCommands, ASpanOfAnMp3StartsAndEndsOnTheExactSample)
{
    // The MP3 decoder hands over planar audio whose clipped buffers keep
    // their full memory size; only the audio meta tells the samples that count.
    auto commands = meteredCommands();
    ASSERT_EQ(commands->send(openCommand(generatedMedia().mp3Cbr, QStringLiteral("MYSHOW"))),
              QString());
    for (const auto& [from, to] : {std::pair{1500, 1900}, std::pair{333, 1250}}) {
        meter.reset();
        ASSERT_EQ(commands->send(QStringLiteral("Play MYSHOW From %1 To %2").arg(from).arg(to)),
                  QString());
        // Before the first data of the span arrives the position is its start.
        const int position = commands->send(QStringLiteral("Status MYSHOW Position")).toInt();
        EXPECT_GE(position, from);
        EXPECT_LT(position, to);
        ASSERT_TRUE(waitUntil([&] {
            return commands->send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
        }));
        const auto delivered = meter.delivery();
        EXPECT_EQ(delivered.sampleRate, 44100);
        EXPECT_NEAR(double(delivered.firstSampleNs), from * double(GST_MSECOND), 23000.0);
        EXPECT_NEAR(double(delivered.samples), (to - from) * 44.1, 1.0);
        EXPECT_EQ(commands->send(QStringLiteral("Status MYSHOW Position")).toInt(), to);
    }
}

TEST_F(MediaFileCommands, AnAacSpanHonoursTheStatedEncoderDelayAtBothEnds)
{
    // qtdemux alone ends such a span one AAC frame early.
    const QString aac = generatedMedia().aacStated;
    ASSERT_FALSE(aac.isEmpty());
    auto commands = meteredCommands();
    ASSERT_EQ(commands->send(openCommand(aac, QStringLiteral("MYSHOW"))), QString());
    EXPECT_EQ(commands->send(QStringLiteral("Status MYSHOW Length")), QStringLiteral("2000"));
    meter.reset();
    ASSERT_EQ(commands->send(QStringLiteral("Play MYSHOW From 500 To 900")), QString());
    ASSERT_TRUE(waitUntil([&] {
        return commands->send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    EXPECT_NEAR(double(meter.delivery().firstSampleNs), 500 * double(GST_MSECOND), 23000.0);
    EXPECT_NEAR(double(meter.delivery().samples), 400 * 44.1, 1.0);
}

TEST_F(MediaFileCommands, ASpanStopsByItselfOnItsToPointAndDeliversExactlyItsSamples)
{
    auto commands = meteredCommands();
    ASSERT_EQ(commands->send(openCommand(generatedMedia().wav, QStringLiteral("MYSHOW"))),
              QString());
    meter.reset();
    ASSERT_EQ(commands->send(QStringLiteral("Play MYSHOW From 700 To 1000")), QString());
    ASSERT_TRUE(waitUntil([&] {
        return commands->send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    const auto delivered = meter.delivery();
    EXPECT_EQ(delivered.firstSampleNs, 700 * GST_MSECOND);
    EXPECT_EQ(delivered.samples, 48000 * 300 / 1000);
    EXPECT_EQ(commands->send(QStringLiteral("Status MYSHOW Position")), QStringLiteral("1000"));

    // A new span of the same device after the end plays again from its From.
    meter.reset();
    ASSERT_EQ(commands->send(QStringLiteral("Play MYSHOW From 100 To 400")), QString());
    ASSERT_TRUE(waitUntil([&] {
        return commands->send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    EXPECT_EQ(meter.delivery().firstSampleNs, 100 * GST_MSECOND);
    EXPECT_EQ(meter.delivery().samples, 48000 * 300 / 1000);
}

TEST_F(MediaFileCommands, OnlyTheLastOfManyQuickPlaysIsHeardToItsEnd)
{
    // The learner holds an arrow key: spans replace each other before any ends.
    auto commands = meteredCommands();
    ASSERT_EQ(commands->send(openCommand(generatedMedia().mp3Cbr, QStringLiteral("MYSHOW"))),
              QString());
    for (int i = 0; i < 12; ++i) {
        const int from = (i * 137) % 1500;
        EXPECT_EQ(
            commands->send(QStringLiteral("Play MYSHOW From %1 To %2").arg(from).arg(from + 400)),
            QString());
        if (i % 3 == 0) {
            EXPECT_EQ(commands->send(QStringLiteral("Pause MYSHOW ")), QString());
        }
    }
    meter.reset();
    ASSERT_EQ(commands->send(QStringLiteral("Play MYSHOW From 1200 To 1450")), QString());
    EXPECT_EQ(commands->send(QStringLiteral("Status MYSHOW Mode")), QStringLiteral("playing"));
    ASSERT_TRUE(waitUntil([&] {
        return commands->send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    EXPECT_NEAR(double(meter.delivery().firstSampleNs), 1200 * double(GST_MSECOND), 23000.0);
    EXPECT_NEAR(double(meter.delivery().samples), 250 * 44.1, 1.0);
}

TEST_F(MediaFileCommands, ACueSoundsAgainFromItsStartEachTimeItIsPlayed)
{
    auto commands = meteredCommands();
    ASSERT_EQ(commands->send(QStringLiteral("Open ") + quotedPath(generatedMedia().mkvVideo) +
                             QStringLiteral(" Type MPEGVideo Alias MATCH_WAV")),
              QString());
    for (int round = 0; round < 2; ++round) {
        meter.reset();
        ASSERT_EQ(commands->send(QStringLiteral("Play MATCH_WAV From 0")), QString());
        ASSERT_TRUE(waitUntil([&] {
            return commands->send(QStringLiteral("Status MATCH_WAV Mode")) ==
                   QLatin1String("stopped");
        }));
        EXPECT_EQ(meter.delivery().firstSampleNs, 0) << "round " << round;
        EXPECT_EQ(meter.delivery().samples, 48000) << "round " << round;
    }
}

TEST_F(MediaFileCommands, FailuresReplyWithAnErrorAndLeaveNoDevice)
{
    GstMediaCommands commands;
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Status MYSHOW Mode"))));
    EXPECT_EQ(commands.send(QStringLiteral("Status MYSHOW Length")).toInt(), 0);
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Play TIP_WAV From 0 "))));
    EXPECT_TRUE(GstMediaCommands::isErrorReply(commands.send(openCommand(
        generatedMedia().folder + QStringLiteral("/missing.wav"), QStringLiteral("MYSHOW")))));
    EXPECT_TRUE(GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Close MYSHOW "))));

    // A file that is not media at all.
    const QString junk = generatedMedia().folder + QStringLiteral("/junk.mp3");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(5000, 'x'));
    file.close();
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(openCommand(junk, QStringLiteral("MYSHOW")))));
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Status MYSHOW Mode"))));

    ASSERT_EQ(commands.send(openCommand(generatedMedia().wav, QStringLiteral("TIP_WAV"))),
              QString());
    EXPECT_TRUE(GstMediaCommands::isErrorReply(
        commands.send(openCommand(generatedMedia().wav, QStringLiteral("TIP_WAV")))));
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Play TIP_WAV From x"))));
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Play TIP_WAV From 900000"))));
    EXPECT_TRUE(GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Jump TIP_WAV"))));
    // An unquoted path with blanks runs up to the Type keyword.
    ASSERT_TRUE(generatedMedia().wav.contains(QLatin1Char(' ')));
    EXPECT_EQ(commands.send(QStringLiteral("Open ") + generatedMedia().wav +
                            QStringLiteral(" Type MPEGVideo Alias ERROR_WAV")),
              QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status ERROR_WAV Length")), QStringLiteral("2000"));
    EXPECT_EQ(commands.commandLog().size(), 14);
    EXPECT_EQ(commands.commandLog().first(), QStringLiteral("Status MYSHOW Mode"));
}

class CountingSurface : public VideoFrameSink {
public:
    void presentFrame(const QImage& frame) override
    {
        ++frames;
        size = frame.size();
    }
    void placeVideo(const QRect& placed) override { area = placed; }
    void clearVideo() override { cleared = true; }

    int frames = 0;
    QSize size;
    QRect area;
    bool cleared = false;
};

TEST_F(MediaFileCommands, VideoFramesReachTheSurfaceThatParentNames)
{
    GstMediaCommands commands;
    CountingSurface surface;
    CountingSurface other;
    commands.registerVideoSink(41, &surface);
    commands.registerVideoSink(42, &other);
    ASSERT_EQ(commands.send(openCommand(generatedMedia().mkvVideo, QStringLiteral("MYSHOW")) +
                            QStringLiteral(" Parent 41 Style 1073741824 Notify")),
              QString());
    EXPECT_EQ(commands.hasVideo(QStringLiteral("MYSHOW")), std::optional<bool>(true));
    EXPECT_EQ(commands.send(QStringLiteral("Put MYSHOW Window At 0 0 495 295")), QString());
    EXPECT_EQ(surface.area, QRect(0, 0, 495, 295));
    ASSERT_EQ(commands.send(QStringLiteral("Play MYSHOW From 0 To 990")), QString());
    ASSERT_TRUE(waitUntil([&] {
        return commands.send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    ASSERT_TRUE(waitUntil([&] { return surface.frames >= 5; }));
    EXPECT_EQ(surface.size, QSize(160, 120));
    EXPECT_EQ(other.frames, 0);
    EXPECT_EQ(commands.send(QStringLiteral("Close MYSHOW")), QString());
    EXPECT_TRUE(surface.cleared);

    ASSERT_EQ(commands.send(openCommand(generatedMedia().wav, QStringLiteral("MYSHOW"))),
              QString());
    EXPECT_EQ(commands.hasVideo(QStringLiteral("MYSHOW")), std::optional<bool>(false));
}

TEST_F(MediaFileCommands, NoFrameDecodedBeforeACloseReachesTheSurfaceAfterIt)
{
    GstMediaCommands commands;
    CountingSurface surface;
    commands.registerVideoSink(41, &surface);
    // The first picture is decoded while the file opens and waits for the
    // event loop; the close comes before the loop runs.
    ASSERT_EQ(commands.send(openCommand(generatedMedia().mkvVideo, QStringLiteral("MYSHOW")) +
                            QStringLiteral(" Parent 41")),
              QString());
    EXPECT_EQ(commands.send(QStringLiteral("Close MYSHOW ")), QString());
    EXPECT_TRUE(surface.cleared);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(surface.frames, 0);

    // Opened again on the same surface, its own first picture is shown.
    ASSERT_EQ(commands.send(openCommand(generatedMedia().mkvVideo, QStringLiteral("MYSHOW")) +
                            QStringLiteral(" Parent 41")),
              QString());
    EXPECT_TRUE(waitUntil([&] { return surface.frames == 1; }));
}

TEST_F(MediaFileCommands, AVideoOpenedWithoutASurfaceConvertsNoFrames)
{
    GstMediaCommands commands;
    const qint64 before = MediaFileDevice::convertedFrameCount();
    ASSERT_EQ(commands.send(openCommand(generatedMedia().mkvVideo, QStringLiteral("MYSHOW"))),
              QString());
    EXPECT_EQ(commands.hasVideo(QStringLiteral("MYSHOW")), std::optional<bool>(true));
    ASSERT_EQ(commands.send(QStringLiteral("Play MYSHOW From 0 To 990")), QString());
    ASSERT_TRUE(waitUntil([&] {
        return commands.send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    EXPECT_EQ(MediaFileDevice::convertedFrameCount(), before);
}

} // namespace
} // namespace dictora
