// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli play and loudness on a generated tone, through the sink the
// tests play into: what the sink received of padded, slowed and repeated
// spans, the loudness as JSON, and the refusal of bad values.
#include "core/study/cli_run.h"
#include "support/media_making.h"
#include "support/media_runtime.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora::test;

namespace {

class MediaCommand : public ::testing::Test {
protected:
    QTemporaryDir home;
    QString tone;

    void SetUp() override
    {
        ensureMediaRuntime();
        ASSERT_TRUE(home.isValid());
        tone = home.filePath("tone.wav");
        // 3000 ms of a 997 Hz sine at -26 dBFS in both channels: -26 LUFS,
        // true peak -26 dBTP, so levelling raises it by 6 dB.
        ASSERT_TRUE(writeWave(testSignal(30, 48000, "wave=sine freq=997 volume=0.05"), tone));
    }

    // Runs dictora-cli play on the tone with the given options (--home comes
    // after them, as runCli adds it).
    CliRun play(const QStringList& options) { return runCli(QStringList{"play", tone} + options, home.path()); }
};

TEST_F(MediaCommand, PlayPadsSlowsAndRepeatsOnlyWhatIsHeard)
{
    struct Case {
        QStringList options;
        int heardFromMs;
        int heardToMs;
    };
    // Padding widens the span, and stops at the media's start and last millisecond.
    const Case cases[] = {
        {{"--from", "1000", "--to", "1300", "--pad-start", "200", "--pad-end", "100"}, 800, 1400},
        {{"--from", "100", "--to", "300", "--pad-start", "500"}, 0, 300},
        {{"--from", "2700", "--to", "2900", "--pad-end", "500"}, 2700, 2999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const CliRun run = play(c.options);
        ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
        EXPECT_EQ(run.json["heardFromMs"].toInt(), c.heardFromMs);
        EXPECT_EQ(run.json["heardToMs"].toInt(), c.heardToMs);
        // The stored span is printed as given.
        EXPECT_EQ(run.json["fromMs"].toInt(), c.options.at(1).toInt());
        EXPECT_NEAR(run.json["firstSampleMs"].toDouble(), c.heardFromMs, 0.1);
        EXPECT_NEAR(run.json["deliveredMs"].toDouble(), c.heardToMs - c.heardFromMs, 0.1);
        EXPECT_EQ(run.json["plays"].toInt(), 1);
        EXPECT_NEAR(run.json["peakDbfs"].toDouble(), -26.0, 0.2); // as recorded
    }

    // Three plays at 0.75x with 400 ms between them: each holds the span
    // stretched, and each begins after the one before and the gap.
    const CliRun run = play({"--from", "1000", "--to", "1300", "--speed", "0.75", "--repeat", "3",
                             "--gap", "400"});
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    EXPECT_EQ(run.json["plays"].toInt(), 3);
    const QJsonArray each = run.json["eachPlay"].toArray();
    ASSERT_EQ(each.size(), 3);
    for (qsizetype n = 0; n < each.size(); ++n) {
        SCOPED_TRACE(n);
        const QJsonObject playN = each.at(n).toObject();
        EXPECT_NEAR(playN["firstSampleMs"].toDouble(), 1000, 0.1);
        EXPECT_NEAR(playN["deliveredMs"].toDouble(), 300 / 0.75, 2);
        if (n > 0) {
            // The sink plays by the clock: the silence from the end of the
            // play before to this one's first sound is the gap.
            const QJsonObject before = each.at(n - 1).toObject();
            const double silence = playN["startMs"].toDouble() - before["startMs"].toDouble() -
                                   before["deliveredMs"].toDouble();
            EXPECT_GE(silence, 400 - 5);
            EXPECT_LE(silence, 400 + 2000);
        }
    }
    EXPECT_NEAR(run.json["deliveredMs"].toDouble(), 3 * 400, 6);

    // Levelling measures the file first and brings it to -20 LUFS, as heard
    // by a sink that has no volume of its own.
    const CliRun levelled = play({"--from", "0", "--to", "200", "--level"});
    ASSERT_EQ(levelled.exitCode, 0) << levelled.error.toStdString();
    EXPECT_NEAR(levelled.json["integratedLufs"].toDouble(), -26.0, 0.2);
    EXPECT_NEAR(levelled.json["truePeakDbtp"].toDouble(), -26.0, 0.2);
    EXPECT_NEAR(levelled.json["gainDb"].toDouble(), 6.0, 0.2);
    EXPECT_NEAR(levelled.json["deliveredMs"].toDouble(), 200, 0.1);
    EXPECT_NEAR(levelled.json["peakDbfs"].toDouble(), -20.0, 0.2);
}

TEST_F(MediaCommand, LoudnessPrintsLufsAndTruePeakWithCommonOptionsAnywhere)
{
    for (const QStringList& args : {QStringList{"loudness", tone, "--home", home.path()},
                                    QStringList{"--home", home.path(), "loudness", tone},
                                    QStringList{"loudness", "--verbose", tone, "--home", home.path()}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun run = runCli(args, home.path());
        ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
        EXPECT_EQ(run.json["file"].toString(), tone);
        EXPECT_NEAR(run.json["integratedLufs"].toDouble(), -26.0, 0.2);
        EXPECT_NEAR(run.json["truePeakDbtp"].toDouble(), -26.0, 0.2);
        EXPECT_NEAR(run.json["levellingGainDb"].toDouble(), 6.0, 0.2);
    }
}

TEST_F(MediaCommand, BadValuesAreRefusedWithAMessage)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* message;
    };
    const QString missing = home.filePath("missing.wav");
    const Case cases[] = {
        {{"play", tone, "--from", "-5"}, 2, "--from wants a number of milliseconds"},
        {{"play", tone, "--to", "ten"}, 2, "--to wants a number of milliseconds"},
        {{"play", tone, "--from", "500", "--to", "400"}, 2, "--to must lie after --from"},
        {{"play", tone, "--from", "5000"}, 1, "beyond the end"},
        {{"play", tone, "--pad-start", "-1"}, 2, "--pad-start wants a whole number from 0 to 1000"},
        {{"play", tone, "--pad-end", "1001"}, 2, "--pad-end wants a whole number from 0 to 1000"},
        {{"play", tone, "--speed", "0.4"}, 2, "--speed wants a number from 0.5 to 1"},
        {{"play", tone, "--speed", "fast"}, 2, "--speed wants a number from 0.5 to 1"},
        {{"play", tone, "--repeat", "6"}, 2, "--repeat wants a whole number from 1 to 5"},
        {{"play", tone, "--gap", "200"}, 2, "--gap wants a whole number from 300 to 3000"},
        {{"play", tone, "--gap"}, 2, "--gap needs a value"},
        {{"play", missing}, 1, "cannot read the file"},
        {{"play"}, 2, "wants one file"},
        {{"loudness", missing}, 1, "cannot read the file"},
        {{"loudness", tone, tone}, 2, "wants one file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun run = runCli(c.args, home.path());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_TRUE(run.error.contains(QString::fromUtf8(c.message))) << run.error.toStdString();
        EXPECT_TRUE(run.json.isEmpty());
    }
}

} // namespace
