// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/listening_keys.h"
#include "core/media/loudness_levelling.h"
#include "core/media/padded_span.h"
#include "core/media/playback_settings.h"
#include "core/media/span_repeat.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace dictora;

namespace {

TEST(PaddedSpan, ClipsAtMediaEndsAndNeighbours)
{
    struct Case {
        const char* name;
        int from, to, lead, tail;
        SpanNeighbours neighbours;
        int mediaEnd;
        HeardSpan heard;
    };
    const std::vector<Case> cases = {
        {"no padding plays the span itself", 1000, 2000, 0, 0, {900, 2100}, 9999, {1000, 2000}},
        {"padding on both sides", 1000, 2000, 200, 300, {500, 2500}, 9999, {800, 2300}},
        {"lead-in stops at the media's start", 150, 2000, 400, 0, {kNone, kNone}, 9999, {0, 2000}},
        {"tail stops at the media's last millisecond", 1000, 9800, 0, 500, {kNone, kNone}, 9999,
         {1000, 9999}},
        {"contiguous neighbours: padding reaches into them by the padding",
         1000, 2000, 300, 300, {1000, 2000}, 9999, {700, 2300}},
        {"overlapping previous: lead-in reaches only the padding past its end",
         1000, 2000, 300, 0, {1500, kNone}, 9999, {1000, 2000}},
        {"previous ends after the lead-in point: clipped to that end minus the padding",
         1000, 2000, 500, 0, {1200, kNone}, 9999, {700, 2000}},
        {"overlapping next: tail reaches only the padding past its start",
         1000, 2000, 0, 500, {kNone, 1800}, 9999, {1000, 2300}},
        {"next starts long before the end: the span itself is still heard whole",
         1000, 2000, 0, 500, {kNone, 1000}, 9999, {1000, 2000}},
        {"a gap wider than the padding leaves the padding whole",
         3000, 4000, 1000, 1000, {1000, 7000}, 9999, {2000, 5000}},
        {"a span already at the media's end is not shortened", 1000, 5000, 0, 500, {kNone, kNone},
         4000, {1000, 5000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(padSpan(c.from, c.to, c.lead, c.tail, c.neighbours, c.mediaEnd), c.heard);
    }
}

TEST(SpanRepeat, PlaysAgainAfterTheGapAsOftenAsSet)
{
    struct Step {
        qint64 now;
        bool ended;
        bool replay;
    };
    struct Case {
        const char* name;
        int plays;
        int gap;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"once: never again", 1, 300, {{0, true, false}, {5000, true, false}}},
        {"twice with a 1 s gap",
         2,
         1000,
         {{0, false, false}, {100, true, false}, {1000, true, false}, {1100, true, true},
          {1200, false, false}, {2500, true, false}, {3500, true, false}}},
        {"the gap restarts when the span plays on (paused, resumed)",
         3,
         300,
         {{0, true, false}, {200, false, false}, {400, true, false}, {700, true, true},
          {800, true, false}, {1100, true, true}, {1400, true, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpanRepeat repeat;
        repeat.start(c.plays, c.gap);
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.now);
            EXPECT_EQ(repeat.tick(step.now, step.ended), step.replay);
        }
    }
}

TEST(SpanRepeat, LoopsUntilStoppedAndANewStartEndsTheLoop)
{
    SpanRepeat repeat;
    repeat.loop(300);
    EXPECT_TRUE(repeat.looping());
    int plays = 0;
    for (qint64 t = 0; t < 10000; t += 100)
        plays += repeat.tick(t, true) ? 1 : 0;
    EXPECT_EQ(plays, 25); // one every 400 ms: the end is seen, 300 ms pass, then it plays
    repeat.stop();
    EXPECT_FALSE(repeat.tick(20000, true));
    repeat.loop(300);
    repeat.start(1, 300);
    EXPECT_FALSE(repeat.looping());
    EXPECT_FALSE(repeat.tick(0, true));
    EXPECT_FALSE(repeat.tick(1000, true));
}

TEST(SpanRepeat, ApplyToSpokenSentencesAsToMediaSpans)
{
    struct Case {
        const char* name;
        SentenceSound sound;
        bool ended;
    };
    const std::vector<Case> ended = {
        {"media playing", {true, false, false}, false},
        {"media stopped", {true, true, false}, true},
        // An open media file decides alone; the voice is not asked.
        {"media stopped, voice pending", {true, true, true}, true},
        {"voice still to speak", {false, false, true}, false},
        {"voice done", {false, false, false}, true},
    };
    for (const Case& c : ended) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sentenceSoundEnded(c.sound), c.ended);
    }

    struct GoOn {
        const char* name;
        bool soundOn, lineByLine;
        int from, to;
        bool goesOn;
    };
    const std::vector<GoOn> goOn = {
        {"media span", true, false, 1000, 2000, true},
        {"spoken text (0..length)", true, false, 0, 12, true},
        {"empty text to speak", true, false, 0, 0, false},
        {"no span", true, false, -1000, -1000, false},
        {"muted", false, false, 0, 12, false},
        {"Line-by-line play", true, true, 1000, 2000, false},
    };
    for (const GoOn& c : goOn) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(repeatsGoOn(c.soundOn, c.lineByLine, c.from, c.to), c.goesOn);
    }
}

TEST(LoudnessLevelling, BringsFilesToTheTargetWithoutPassingThePeakCeiling)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::optional<Loudness> measured;
        double gainDb;
    };
    const std::vector<Case> cases = {
        {"unknown loudness plays as it is", std::nullopt, 0.0},
        {"loud file turned down", Loudness{-12.0, -0.5}, -8.0},
        {"quiet file turned up", Loudness{-30.0, -15.0}, 10.0},
        {"peak limit holds the boost back", Loudness{-26.0, -4.0}, 3.0},
        {"peak already above the ceiling: lowered even when quiet", Loudness{-22.0, 0.5}, -1.5},
        {"at the target: nothing", Loudness{-20.0, -6.0}, 0.0},
        {"boost limited", Loudness{-50.0, -40.0}, 20.0},
        {"silence is not raised", Loudness{-inf, -inf}, 0.0},
        {"near-silence below the gate is not raised", Loudness{-75.0, -60.0}, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double gain = levellingGainDb(c.measured);
        EXPECT_NEAR(gain, c.gainDb, 1e-9);
        if (c.measured && std::isfinite(c.measured->truePeakDbtp)) {
            EXPECT_LE(c.measured->truePeakDbtp + gain, kTruePeakCeilingDbtp + 1e-9);
        }
    }
    EXPECT_NEAR(gainFactor(-6.0), 0.501187, 1e-6);
    EXPECT_DOUBLE_EQ(gainFactor(0.0), 1.0);
}

TEST(LoudnessLevelling, FiguresNoMeasurementGivesAreNotTrusted)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        Loudness figures;
        bool trusted;
    };
    const Case cases[] = {
        {"speech", {-23.0, -3.2}, true},
        {"silence, digital", {-inf, -inf}, true},
        {"silence with a click", {-inf, -2.0}, true},
        {"square wave at full scale", {5.0, 0.0}, true},
        {"a true peak that would play it silent", {-23.0, 1e300}, false},
        {"a true peak that would raise it 20 dB into clipping", {-60.0, -1e300}, false},
        {"a loudness that would play it silent", {1e300, -1.0}, false},
        {"loudness below the gate", {-75.0, -60.0}, false},
        {"louder than its peak allows", {-20.0, -40.0}, false},
        {"not a number", {nan, -1.0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(couldBeMeasured(c.figures), c.trusted) << c.name;
}

TEST(PlaybackSettings, DefaultsRangesAndTheFile)
{
    QTemporaryDir dir;
    const ProgramFolder folder{dir.path() + u'/'};
    const PlaybackSettings defaults;
    EXPECT_EQ(defaults.leadInMs, 0);
    EXPECT_EQ(defaults.tailMs, 0);
    EXPECT_EQ(defaults.repeatCount, 1);
    EXPECT_EQ(defaults.slowPermille, 750);
    EXPECT_TRUE(defaults.levelLoudness);
    // No Cfg folder: defaults read, nothing written.
    EXPECT_EQ(loadPlaybackSettings(folder), defaults);
    EXPECT_FALSE(savePlaybackSettings(folder, defaults));
    ASSERT_TRUE(QDir().mkpath(folder.cfgFolder()));

    struct Case {
        const char* name;
        const char* ini;
        PlaybackSettings expected;
    };
    const std::vector<Case> cases = {
        {"empty file gives the defaults", "", PlaybackSettings{}},
        {"values in range are kept",
         "[Playback]\nLeadInMs=120\nTailMs=450\nRepeatCount=3\nRepeatGapMs=500\n"
         "SlowSpeedPermille=600\nLevelLoudness=0\n",
         {120, 450, 3, 500, 600, false}},
        {"values out of range go to the nearest limit",
         "[Playback]\nLeadInMs=-5\nTailMs=5000\nRepeatCount=9\nRepeatGapMs=10\n"
         "SlowSpeedPermille=1000\n",
         {0, 1000, 5, 300, 900, true}},
        {"text that is no number is ignored",
         "[Playback]\nLeadInMs=lots\nRepeatCount=\nSlowSpeedPermille=0.8\n", PlaybackSettings{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(playbackSettingsPath(folder));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.ini);
        file.close();
        EXPECT_EQ(loadPlaybackSettings(folder), c.expected);
    }
    const PlaybackSettings chosen{250, 800, 2, 1500, 500, false};
    ASSERT_TRUE(savePlaybackSettings(folder, chosen));
    EXPECT_EQ(loadPlaybackSettings(folder), chosen);
    // Saved clamped.
    ASSERT_TRUE(savePlaybackSettings(folder, PlaybackSettings{2000, 0, 0, 0, 0, true}));
    EXPECT_EQ(loadPlaybackSettings(folder), (PlaybackSettings{1000, 0, 1, 300, 500, true}));
}

} // namespace

namespace {

TEST(ListeningKeys, MapCtrlRCtrlShiftRAndCtrlLAndWhatEndsALoop)
{
    struct Case {
        int key;
        bool ctrl, shift, other;
        ListeningKey listening;
        bool endsLoop;
    };
    const std::vector<Case> cases = {
        {Qt::Key_R, true, false, false, ListeningKey::Replay, false},
        {Qt::Key_R, true, true, false, ListeningKey::SlowReplay, false},
        {Qt::Key_L, true, false, false, ListeningKey::Loop, false},
        {Qt::Key_L, true, true, false, ListeningKey::None, true},
        {Qt::Key_R, false, false, false, ListeningKey::None, true}, // typing an r
        {Qt::Key_R, true, false, true, ListeningKey::None, true},   // Ctrl+Alt+R
        {Qt::Key_Space, false, false, false, ListeningKey::None, true},
        {Qt::Key_Return, false, false, false, ListeningKey::None, true},
        {Qt::Key_Control, true, false, false, ListeningKey::None, false},
        {Qt::Key_Shift, false, true, false, ListeningKey::None, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const ListeningKey listening = listeningKeyFor(c.key, c.ctrl, c.shift, c.other);
        EXPECT_EQ(listening, c.listening);
        EXPECT_EQ(keyEndsLoop(c.key, listening), c.endsLoop);
    }
}

} // namespace
