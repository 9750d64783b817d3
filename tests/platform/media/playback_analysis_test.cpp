// SPDX-License-Identifier: GPL-3.0-or-later
// Slow spans, volume, loudness and waveform peaks on real files.
#include "media_fixture.h"
#include "platform/media/audio_delivery_meter.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/loudness_meter.h"
#include "platform/media/media_analysis.h"
#include "platform/media/waveform_peaks.h"
#include "support/media_making.h"
#include "support/media_runtime.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gst/gst.h>
#include <gtest/gtest.h>

namespace dictora {
namespace {

using test::generatedMedia;
using test::waitUntil;

class PlaybackAnalysis : public ::testing::Test {
protected:
    void SetUp() override { test::ensureMediaRuntime(); }

    // A mono 997 Hz sine of the given amplitude, 48 kHz, tenths x 100 ms.
    QString tone(const QString& name, double amplitude, int tenths = 50)
    {
        const QString path = dir.filePath(name);
        const QString source =
            QStringLiteral("audiotestsrc wave=sine freq=997 volume=%1 samplesperbuffer=4800 "
                           "num-buffers=%2 ! audio/x-raw,format=S16LE,rate=48000,channels=1 ")
                .arg(amplitude)
                .arg(tenths);
        EXPECT_TRUE(test::writeWave(source, path));
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(PlaybackAnalysis, ASlowSpanHoldsExactlyItsSamplesStretched)
{
    AudioDeliveryMeter meter;
    GstMediaCommands::Options options;
    options.makeAudioSink = [&meter] { return meter.makeFakeSink(false); };
    GstMediaCommands commands(options);
    ASSERT_EQ(commands.send(QStringLiteral("Open ") + quotedPath(generatedMedia().wav) +
                            QStringLiteral(" Type MPEGVideo Alias MYSHOW")),
              QString());
    ASSERT_EQ(commands.send(QStringLiteral("Set MYSHOW Speed 750")), QString());
    ASSERT_EQ(commands.send(QStringLiteral("SetAudio MYSHOW Volume To 500")), QString());
    meter.reset();
    ASSERT_EQ(commands.send(QStringLiteral("Play MYSHOW From 400 To 1000")), QString());
    ASSERT_TRUE(waitUntil([&] {
        return commands.send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    EXPECT_EQ(meter.delivery().firstSampleNs, 400 * GST_MSECOND);
    EXPECT_NEAR(double(meter.delivery().samples), 48000 * 0.6 / 0.75, 1.0);

    // Back at the normal speed, the span is its own length again.
    ASSERT_EQ(commands.send(QStringLiteral("Set MYSHOW Speed 1000")), QString());
    meter.reset();
    ASSERT_EQ(commands.send(QStringLiteral("Play MYSHOW From 400 To 1000")), QString());
    ASSERT_TRUE(waitUntil([&] {
        return commands.send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("stopped");
    }));
    EXPECT_EQ(meter.delivery().samples, 48000 * 600 / 1000);

    for (const char* bad : {"Set MYSHOW Speed 100", "Set MYSHOW Speed fast",
                            "SetAudio MYSHOW Volume To 20000", "SetAudio MYSHOW Volume 5"})
        EXPECT_TRUE(GstMediaCommands::isErrorReply(commands.send(QString::fromLatin1(bad)))) << bad;
}

TEST_F(PlaybackAnalysis, LoudnessOfAKnownToneAndOfSilence)
{
    // A 997 Hz sine at -20 dBFS reads -23 LUFS (EBU Tech 3341), true peak -20 dBTP.
    QString error;
    const std::optional<Loudness> sine = measureLoudness(tone("sine.wav", 0.1), &error);
    ASSERT_TRUE(sine) << error.toStdString();
    EXPECT_NEAR(sine->integratedLufs, -23.0, 0.1);
    EXPECT_NEAR(sine->truePeakDbtp, -20.0, 0.1);
    EXPECT_NEAR(levellingGainDb(sine), 3.0, 0.1);

    const std::optional<Loudness> silence = measureLoudness(tone("silence.wav", 0.0), &error);
    ASSERT_TRUE(silence);
    EXPECT_DOUBLE_EQ(levellingGainDb(silence), 0.0);

    EXPECT_FALSE(measureLoudness(dir.filePath("missing.wav"), &error));
    EXPECT_FALSE(error.isEmpty());
    QFile junk(dir.filePath("junk.mp3"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    EXPECT_FALSE(measureLoudness(junk.fileName(), &error));
}

TEST_F(PlaybackAnalysis, ForLevellingTheTruePeakIsLookedForOnlyWhereItLimitsTheGain)
{
    // A quiet sine is raised by 6 dB and its peak stays far under the
    // ceiling; ticks at -6 dBFS over a quiet sine are raised until their
    // true peak meets the ceiling.
    const QString ticks = dir.filePath("ticks.wav");
    ASSERT_TRUE(test::writeWave(
        "audiotestsrc wave=sine freq=997 volume=0.01 num-buffers=30 samplesperbuffer=4800 ! m. "
        "audiotestsrc wave=ticks freq=997 volume=0.5 num-buffers=30 samplesperbuffer=4800 ! m. "
        "audiomixer name=m ! audio/x-raw,format=S16LE,rate=48000,channels=1 ",
        ticks));
    struct Case {
        QString path;
        bool limits;
    };
    for (const Case& c : {Case{tone("quiet.wav", 0.05), false}, Case{ticks, true}}) {
        SCOPED_TRACE(c.path.toStdString());
        QString error;
        const std::optional<Loudness> everywhere = measureLoudness(c.path, &error);
        const std::optional<Loudness> levelling =
            measureLoudness(c.path, &error, nullptr, TruePeakScope::WhereItLimits);
        ASSERT_TRUE(everywhere && levelling) << error.toStdString();
        EXPECT_TRUE(everywhere->truePeakComplete);
        EXPECT_EQ(levelling->truePeakComplete, c.limits);
        EXPECT_DOUBLE_EQ(levelling->integratedLufs, everywhere->integratedLufs);
        EXPECT_NEAR(levellingGainDb(levelling), levellingGainDb(everywhere), 1e-9);
        const double ceilingGain = kTruePeakCeilingDbtp - everywhere->truePeakDbtp;
        EXPECT_EQ(ceilingGain <= kTargetLufs - everywhere->integratedLufs + 0.5, c.limits);
        if (c.limits)
            EXPECT_DOUBLE_EQ(levelling->truePeakDbtp, everywhere->truePeakDbtp);
        else
            EXPECT_LE(levelling->truePeakDbtp, everywhere->truePeakDbtp);
    }
}

TEST_F(PlaybackAnalysis, PeaksFollowTheSoundAndAreCachedByPathSizeAndTime)
{
    const QString path = tone("peaks.wav", 0.5, 20);
    QString error;
    const std::optional<WaveformPeaks> peaks = decodePeaks(path, &error);
    ASSERT_TRUE(peaks) << error.toStdString();
    EXPECT_EQ(peaks->lengthMs(), 2000);
    EXPECT_NEAR(peaks->levelAt(1000), 128, 1);
    EXPECT_EQ(peaks->levelAt(5000), 0);
    EXPECT_NEAR(peaks->highest(0, 2000), 128, 1);

    // As mono MP3 the tone is decoded into one plane of floats and read as
    // it is; it gives what the same sound gives as interleaved frames.
    const QString mp3 = dir.filePath("peaks.mp3");
    const QString decoded = dir.filePath("peaks-mp3.wav");
    ASSERT_TRUE(test::runLame({"-b", "128", path, mp3}));
    ASSERT_TRUE(test::runPipeline(QStringLiteral("filesrc location=\"%1\" ! decodebin ! audioconvert ! "
                                                 "audio/x-raw,format=F32LE ! wavenc ! "
                                                 "filesink location=\"%2\"")
                                      .arg(mp3, decoded)));
    const std::optional<WaveformPeaks> mp3Peaks = decodePeaks(mp3, &error);
    const std::optional<WaveformPeaks> decodedPeaks = decodePeaks(decoded, &error);
    ASSERT_TRUE(mp3Peaks && decodedPeaks) << error.toStdString();
    EXPECT_NEAR(mp3Peaks->levelAt(1000), 128, 10);
    EXPECT_EQ(mp3Peaks->levels, decodedPeaks->levels);
    const std::optional<Loudness> mp3Loudness = measureLoudness(mp3, &error);
    const std::optional<Loudness> decodedLoudness = measureLoudness(decoded, &error);
    ASSERT_TRUE(mp3Loudness && decodedLoudness) << error.toStdString();
    EXPECT_NEAR(mp3Loudness->integratedLufs, decodedLoudness->integratedLufs, 0.01);

    const QString cache = dir.filePath("Peaks");
    EXPECT_FALSE(readCachedPeaks(cache, path));
    ASSERT_TRUE(writeCachedPeaks(cache, path, *peaks));
    const std::optional<WaveformPeaks> cached = readCachedPeaks(cache, path);
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->levels, peaks->levels);

    // Another file in its place: the cache no longer answers.
    tone("peaks.wav", 0.25, 30);
    EXPECT_FALSE(readCachedPeaks(cache, path));
    // A damaged cache file answers nothing rather than garbage.
    ASSERT_TRUE(writeCachedPeaks(cache, path, *peaks));
    for (const QString& name : QDir(cache).entryList(QDir::Files)) {
        QFile file(QDir(cache).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.resize(file.size() - 10);
    }
    EXPECT_FALSE(readCachedPeaks(cache, path));
}

TEST_F(PlaybackAnalysis, BackgroundAnalysisMeasuresOnceAndRemembersAcrossRuns)
{
    const QString cfg = dir.filePath("Cfg") + u'/';
    ASSERT_TRUE(QDir().mkpath(cfg));
    const QString path = tone("lesson.wav", 0.1, 30);
    {
        MediaAnalysis analysis(cfg);
        EXPECT_FALSE(analysis.loudness(path)); // queued, never waited for
        analysis.waitIdle();
        ASSERT_TRUE(analysis.loudness(path));
        EXPECT_NEAR(analysis.loudness(path)->integratedLufs, -23.0, 0.1);
        ASSERT_TRUE(analysis.peaks(path));
        EXPECT_EQ(analysis.peaks(path)->lengthMs(), 3000);
        EXPECT_FALSE(analysis.loudness(dir.filePath("missing.mp3")));
    }
    // A new run reads both from Cfg without decoding.
    MediaAnalysis again(cfg);
    ASSERT_TRUE(again.loudness(path));
    EXPECT_NEAR(again.loudness(path)->truePeakDbtp, -20.0, 0.1);
    EXPECT_TRUE(again.peaks(path));
    // A cached true peak no measurement gives is measured again.
    {
        QSettings ini(cfg + "Loudness.ini", QSettings::IniFormat);
        ini.setValue(ini.childGroups().value(0) + "/TruePeakDbtp", "1e300");
    }
    MediaAnalysis damaged(cfg);
    EXPECT_FALSE(damaged.loudness(path));
    damaged.waitIdle();
    ASSERT_TRUE(damaged.loudness(path));
    EXPECT_NEAR(damaged.loudness(path)->truePeakDbtp, -20.0, 0.1);
}

} // namespace
} // namespace dictora
