// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_fixture.h"
#include "platform/media/audio_devices.h"
#include "platform/media/media_command_line.h"
#include "platform/media/mp3_frame_scan.h"
#include "platform/media/wave_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gst/gst.h>
#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(MediaCommandLine, QuotedWordsKeepTheirBlanksAndUnquotedPathsRunToTheNextKeyword)
{
    const auto quoted = MediaCommandLine::split(
        QStringLiteral("Open \"/home/a b/Tip.wav\" Type MPEGVideo Alias TIP_WAV"));
    ASSERT_EQ(quoted.size(), 6);
    EXPECT_EQ(quoted.span(1, 2), QStringLiteral("/home/a b/Tip.wav"));
    EXPECT_TRUE(quoted.is(2, QLatin1String("type")));

    const auto bare = MediaCommandLine::split(QStringLiteral(
        "Open /home/a b/x.mp3 Type MPEGVideo Alias MYSHOW Parent 7 Style 1073741824 Notify"));
    const qsizetype keyword = bare.find(2, {QLatin1String("type"), QLatin1String("alias")});
    EXPECT_EQ(bare.span(1, keyword), QStringLiteral("/home/a b/x.mp3"));

    const auto save = MediaCommandLine::split(QStringLiteral("Save RECORD /tmp/my rec/a.wav "));
    EXPECT_EQ(save.span(2, -1), QStringLiteral("/tmp/my rec/a.wav"));
    // A quoted word is never a keyword.
    EXPECT_FALSE(MediaCommandLine::split(QStringLiteral("\"Type\"")).is(0, QLatin1String("type")));
}

// An MPEG-1 layer III frame at 128 kbit/s and 44.1 kHz: 417 bytes, 1152 samples.
QByteArray frame(const char* tag = nullptr)
{
    QByteArray bytes(417, '\0');
    bytes[0] = char(0xFF);
    bytes[1] = char(0xFB);
    bytes[2] = char(0x90);
    bytes[3] = char(0x04); // joint stereo: side information of 32 bytes
    if (tag) {
        bytes.replace(36, 4, tag);
        bytes[43] = 0x01; // frame count present
    }
    return bytes;
}

TEST(Mp3FrameScan, CountsWholeFramesAndNoticesAHeaderThatStatesTheLength)
{
    QByteArray plain;
    for (int i = 0; i < 10; ++i)
        plain += frame();
    auto scan = scanMp3Frames(plain);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->frames, 10);
    EXPECT_FALSE(scan->statesLength);
    EXPECT_EQ(scan->lengthNs(), 10LL * 1152 * 1000000000LL / 44100);

    // A frame cut off at the end is not counted; an ID3v2 tag is skipped.
    QByteArray tagged("ID3\x04\x00\x00\x00\x00\x00\x05xxxxx", 15);
    tagged += plain + frame().left(100);
    scan = scanMp3Frames(tagged);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->frames, 10);

    scan = scanMp3Frames(frame("Info") + plain);
    ASSERT_TRUE(scan);
    EXPECT_TRUE(scan->statesLength);
    EXPECT_EQ(scan->frames, 10);

    EXPECT_FALSE(scanMp3Frames(QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16)));
    EXPECT_FALSE(scanMp3Frames(frame().left(200)));
}

TEST(WaveFile, WritesACompleteHeaderAndRefusesAFolderThatIsNotThere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("take.wav"));
    const QByteArray pcm(48000 * 4 + 3, '\x11'); // one second and a torn frame
    QString error;
    ASSERT_TRUE(writeWaveFile(path, pcm, PcmFormat{}, &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.size(), 44 + 48000 * 4);
    EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(36 + 48000 * 4));
    EXPECT_EQ(bytes.mid(8, 8), QByteArray("WAVEfmt "));
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 22), 2);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 24), 48000u);
    EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 34), 16);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 40), quint32(48000 * 4));

    EXPECT_FALSE(
        writeWaveFile(dir.filePath(QStringLiteral("missing/take.wav")), pcm, PcmFormat{}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/take.wav"))));
}

TEST(AudioDevices, EnvironmentNamesTheDevicesAndATestSourceCountsAsNoMicrophone)
{
    test::ensureMediaRuntime();
    const QByteArray savedSink = qgetenv("DICTORA_AUDIO_SINK");
    qputenv("DICTORA_AUDIO_SINK", "audioconvert ! fakesink sync=true");
    QString error;
    GstElement* sink = createAudioSink(&error);
    ASSERT_NE(sink, nullptr) << error.toStdString();
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    EXPECT_NE(pad, nullptr); // a ghost pad to link to
    if (pad)
        gst_object_unref(pad);
    gst_object_unref(gst_object_ref_sink(sink));

    qputenv("DICTORA_AUDIO_SINK", "nosuchelement ! fakesink");
    EXPECT_EQ(createAudioSink(&error), nullptr);
    EXPECT_TRUE(error.contains(QLatin1String("DICTORA_AUDIO_SINK")));
    qputenv("DICTORA_AUDIO_SINK", savedSink);

    GstElement* testSource =
        gst_parse_bin_from_description("audiotestsrc ! audioconvert", TRUE, nullptr);
    EXPECT_TRUE(isSilentStandInSource(testSource));
    gst_object_unref(gst_object_ref_sink(testSource));
    GstElement* fileSource = gst_parse_bin_from_description("filesrc ! wavparse", TRUE, nullptr);
    EXPECT_FALSE(isSilentStandInSource(fileSource));
    gst_object_unref(gst_object_ref_sink(fileSource));
}

} // namespace
} // namespace dictora
