// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_fixture.h"
#include "platform/media/audio_devices.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/voice_recorder_device.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gst/gst.h>
#include <gtest/gtest.h>

namespace dictora {
namespace {

using test::waitUntil;

// The recorder captures from DICTORA_AUDIO_SOURCE (a live test tone here). One
// short real recording is enough: the length and limit rules are checked with a
// fake clock in the voice recorder's own tests.
TEST(RecorderCommands, ARealRecordingIsSavedAsAValidWaveFile)
{
    test::ensureMediaRuntime();
    const int seconds = 1;
    GstMediaCommands commands;
    EXPECT_EQ(commands.send(QStringLiteral("Set Wave Bitpersample 16 ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Set Wave Samplespersec 48000 ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Set Wave Channels 2 ")), QString());
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Status RECORD Mode"))));
    commands.send(QStringLiteral("Close RECORD"));
    ASSERT_EQ(commands.send(QStringLiteral("Open New Type WAVEaudio Alias RECORD")), QString());
    ASSERT_EQ(commands.send(QStringLiteral("Record RECORD")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Mode")), QStringLiteral("recording"));
    ASSERT_TRUE(waitUntil(
        [&] {
            return commands.send(QStringLiteral("Status RECORD Length")).toInt() >= seconds * 1000;
        },
        seconds * 1000 + 5000));
    EXPECT_EQ(commands.send(QStringLiteral("Stop RECORD ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Mode")), QStringLiteral("stopped"));
    const int lengthMs = commands.send(QStringLiteral("Status RECORD Length")).toInt();
    EXPECT_GE(lengthMs, seconds * 1000);
    EXPECT_LT(lengthMs, seconds * 1000 + 500);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("20140101_010101.wav"));
    ASSERT_EQ(commands.send(QStringLiteral("Save RECORD ") + path), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 44);
    EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size() - 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 24), 48000u);
    const quint32 dataBytes = qFromLittleEndian<quint32>(bytes.constData() + 40);
    EXPECT_EQ(dataBytes, quint32(bytes.size() - 44));
    EXPECT_NEAR(double(dataBytes) / (48000 * 4) * 1000, lengthMs, 1.0);
    // The tone is not silence.
    int loudest = 0;
    for (qsizetype i = 44; i + 1 < bytes.size(); i += 2)
        loudest =
            std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(bytes.constData() + i))));
    EXPECT_GT(loudest, 1000);
}

TEST(RecorderPlayback, ARecordingPlaysBackPausesAndEndsByItself)
{
    test::ensureMediaRuntime();
    GstMediaCommands commands;
    ASSERT_EQ(commands.send(QStringLiteral("Open New Type WAVEaudio Alias RECORD")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Mode")), QStringLiteral("stopped"));
    EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Length")), QStringLiteral("0"));
    ASSERT_EQ(commands.send(QStringLiteral("Record RECORD")), QString());
    ASSERT_TRUE(waitUntil(
        [&] { return commands.send(QStringLiteral("Status RECORD Length")).toInt() >= 600; }));
    // Playing stops the recording first.
    ASSERT_EQ(commands.send(QStringLiteral("Play RECORD From 0 ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Mode")), QStringLiteral("playing"));
    EXPECT_EQ(commands.send(QStringLiteral("Pause RECORD ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Mode")), QStringLiteral("paused"));
    EXPECT_EQ(commands.send(QStringLiteral("Resume RECORD ")), QString());
    EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Mode")), QStringLiteral("playing"));
    ASSERT_TRUE(waitUntil([&] {
        return commands.send(QStringLiteral("Status RECORD Mode")) == QLatin1String("stopped");
    }));
    EXPECT_EQ(commands.send(QStringLiteral("Close RECORD ")), QString());
    EXPECT_TRUE(
        GstMediaCommands::isErrorReply(commands.send(QStringLiteral("Status RECORD Mode"))));

    // Saving into a folder that does not exist fails and says so.
    ASSERT_EQ(commands.send(QStringLiteral("Open New Type WAVEaudio Alias RECORD")), QString());
    EXPECT_TRUE(GstMediaCommands::isErrorReply(
        commands.send(QStringLiteral("Save RECORD /nonexistent folder/x.wav"))));
}

TEST(RecorderSource, ASilentStandInOrABrokenSourceIsReportedInsteadOfRecorded)
{
    test::ensureMediaRuntime();
    const QByteArray saved = qgetenv("DICTORA_AUDIO_SOURCE");
    qunsetenv("DICTORA_AUDIO_SOURCE"); // the system default, which may stand in a test source
    for (const char* description : {"audiotestsrc is-live=true wave=silence",
                                    "filesrc location=/nonexistent/mic ! wavparse"}) {
        GstMediaCommands::Options options;
        options.makeAudioSource = [description] {
            return gst_parse_bin_from_description(description, TRUE, nullptr);
        };
        GstMediaCommands commands(options);
        ASSERT_EQ(commands.send(QStringLiteral("Open New Type WAVEaudio Alias RECORD")), QString());
        const QString reply = commands.send(QStringLiteral("Record RECORD"));
        EXPECT_TRUE(reply.startsWith(QLatin1String("error: no microphone found")))
            << reply.toStdString();
        EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Mode")), QStringLiteral("stopped"));
        EXPECT_EQ(commands.send(QStringLiteral("Status RECORD Length")), QStringLiteral("0"));
    }
    qputenv("DICTORA_AUDIO_SOURCE", saved);
}

TEST(RecorderLimit, ARecordingLeftRunningStopsAtTheLimit)
{
    test::ensureMediaRuntime();
    VoiceRecorderDevice::Setup setup;
    setup.makeSource = [] { return createAudioSource(); };
    setup.longestMs = 400;
    VoiceRecorderDevice recorder(setup);
    ASSERT_EQ(recorder.record(), QString());
    ASSERT_TRUE(waitUntil([&] { return recorder.mode() == QLatin1String("stopped"); }));
    EXPECT_LE(recorder.lengthMs(), 400);
    EXPECT_GE(recorder.lengthMs(), 300);
}

} // namespace
} // namespace dictora
