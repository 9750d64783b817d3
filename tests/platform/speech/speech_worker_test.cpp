// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/speech/speech_worker.h"
#include "platform/speech/welcome_speech.h"

#include "core/study/study_state.h"
#include "support/media_making.h"

#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>

using namespace dictora;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

const QString kLongText = QStringLiteral(
    "The quick brown fox jumps over the lazy dog while the patient teacher reads every "
    "sentence of the lesson slowly and clearly to the class.");

// Speech into a WAVE file instead of the sink of the environment.
SpeechWorker::Options wavOptions(const QString& path)
{
    SpeechWorker::Options options;
    options.makeSink = [path](QString* error) { return test::makeWaveFileSink(path, error); };
    return options;
}

// Milliseconds of audio in a 16-bit WAVE file, from its data size.
int waveDurationMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 44 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return -1;
    const auto le32 = [&](int at) {
        return quint32(uchar(bytes[at])) | quint32(uchar(bytes[at + 1])) << 8 |
               quint32(uchar(bytes[at + 2])) << 16 | quint32(uchar(bytes[at + 3])) << 24;
    };
    const quint32 byteRate = le32(28);
    return byteRate ? int(quint64(bytes.size() - 44) * 1000 / byteRate) : -1;
}

TEST(SpeechWorker, ANewUtteranceAbandonsTheOldOneAtOnce)
{
    SpeechWorker worker;
    worker.setSpeechText(kLongText);
    worker.requestSpeech();
    ASSERT_TRUE(worker.waitUntil([&] { return worker.speechPos() > 0; }, 3s));
    ASSERT_EQ(worker.speechState(), 2);

    const auto start = Clock::now();
    worker.setSpeechText("Next one.");
    worker.requestSpeech();
    const long long handOverMs = msSince(start);
    EXPECT_EQ(worker.utterancesAbandoned(), 1);
    // The old sentence had seconds left to say, and a worker that did not
    // let go would hold the request until the 2 s bound.
    EXPECT_LT(handOverMs, 1500);
    EXPECT_TRUE(worker.speechPending());

    ASSERT_TRUE(worker.waitUntil([&] { return !worker.speechPending(); }, 5s));
    EXPECT_EQ(worker.spokenText(), "Next one.");
    EXPECT_EQ(worker.speechPos(), 8); // the end of "one"
    EXPECT_EQ(worker.speechState(), 1);
    EXPECT_EQ(worker.utterancesStarted(), 2);
}

TEST(SpeechWorker, StopSpeakingSilencesTheVoiceWithoutANewRequest)
{
    SpeechWorker worker;
    worker.setSpeechText(kLongText);
    worker.requestSpeech();
    ASSERT_TRUE(worker.waitUntil([&] { return worker.speechPos() > 0; }, 3s));
    worker.stopSpeaking();
    ASSERT_TRUE(worker.waitUntil([&] { return !worker.speechPending(); }, 1500ms));
    EXPECT_EQ(worker.utterancesAbandoned(), 1);
    EXPECT_EQ(worker.speechState(), 1);
    EXPECT_LT(worker.speechPos(), int(kLongText.size()));
}

TEST(SpeechWorker, ATextOfBlanksSaysNothingAndClearsTheRequest)
{
    SpeechWorker worker;
    worker.setSpeechText(QStringLiteral("  \t\u3000 "));
    worker.requestSpeech();
    EXPECT_TRUE(worker.speechPending());
    EXPECT_TRUE(worker.waitUntil([&] { return !worker.speechPending(); }, 1800ms + 400ms));
    EXPECT_EQ(worker.utterancesStarted(), 0);
    EXPECT_EQ(worker.speechState(), 0);
}

TEST(SpeechWorker, PositionCountsCharactersOfTheSpeechText)
{
    SpeechWorker worker;
    const QString text = QStringLiteral("  Hello there, café world.");
    worker.setSpeechText(text);
    worker.requestSpeech();
    EXPECT_EQ(worker.speechPos(), kNone);
    std::vector<int> seen;
    ASSERT_TRUE(worker.waitUntil(
        [&] {
            if (seen.empty() || seen.back() != worker.speechPos())
                seen.push_back(worker.speechPos());
            return !worker.speechPending();
        },
        5s));
    // Each word end in turn: "Hello", "there", "café", "world", counted
    // with the leading blanks.
    EXPECT_EQ(seen.back(), 25);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GE(seen.size(), 3u);
}

TEST(SpeechWorker, ChineseTextIsSpokenByTheChineseChoice)
{
    SpeechWorker worker;
    const QList<SpeechVoice> voices = worker.voices();
    EXPECT_GE(findVoice(voices, worker.chineseVoice()), 0);
    EXPECT_GE(findVoice(voices, worker.englishVoice()), 0);
    EXPECT_EQ(worker.voiceFor("你好世界"), "sit/cmn");
    EXPECT_EQ(worker.voiceFor("Hello 你好"), "gmw/en-US");
    worker.setChineseVoice("sit/yue");
    EXPECT_EQ(worker.voiceFor("你好世界"), "sit/yue");

    worker.setSpeechText("你好世界");
    worker.requestSpeech();
    ASSERT_TRUE(worker.waitUntil([&] { return !worker.speechPending(); }, 5s));
    EXPECT_EQ(worker.speechPos(), 4);
}

TEST(SpeechWorker, RateChangesHowLongASentenceTakes)
{
    QTemporaryDir dir;
    const auto durationAt = [&](int rate) {
        const QString path = dir.filePath(QStringLiteral("rate%1.wav").arg(rate));
        SpeechWorker worker(wavOptions(path));
        worker.setRate(rate);
        worker.setSpeechText("Every sentence of the lesson, slowly and clearly.");
        worker.requestSpeech();
        EXPECT_TRUE(worker.waitUntil([&] { return !worker.speechPending(); }, 10s));
        return waveDurationMs(path);
    };
    const int slow = durationAt(-10);
    const int normal = durationAt(0);
    const int fast = durationAt(10);
    EXPECT_GT(normal, 1000);
    EXPECT_GT(slow, normal * 3 / 2);
    EXPECT_LT(fast, normal * 2 / 3);
}

TEST(SpeechWorker, AnOutputThatCannotStartIsReportedOnceAndStaysSilent)
{
    SpeechWorker::Options options;
    options.makeSink = [](QString* error) -> GstElement* {
        *error = "no such sink";
        return nullptr;
    };
    int reports = 0;
    QString reason;
    options.reportFailure = [&](const QString& message, const QString& why) {
        ++reports;
        reason = why;
        EXPECT_EQ(message, SpeechWorker::failureMessage());
    };
    SpeechWorker worker(options);
    for (int i = 0; i < 2; ++i) {
        worker.setSpeechText(QStringLiteral("Sentence %1").arg(i));
        worker.requestSpeech();
        ASSERT_TRUE(worker.waitUntil([&] { return !worker.speechPending(); }, 3s));
    }
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(reason, "no such sink");
    EXPECT_EQ(worker.utterancesStarted(), 0);
}

TEST(SpeechWorker, TheVoiceIsReleasedWhenIdleAndMadeAgain)
{
    SpeechWorker::Options options;
    options.idleRelease = 100ms;
    SpeechWorker worker(options);
    ASSERT_TRUE(worker.waitUntil([&] { return !worker.voiceHeld(); }, 2s));
    worker.setSpeechText("Again.");
    worker.requestSpeech();
    ASSERT_TRUE(worker.waitUntil([&] { return !worker.speechPending(); }, 5s));
    EXPECT_EQ(worker.utterancesStarted(), 1);
    EXPECT_EQ(worker.speechPos(), 5);
}

TEST(SpeechSettings, MapOntoTheEnginesRanges)
{
    EXPECT_EQ(espeakRateFor(0), 175);
    EXPECT_EQ(espeakRateFor(-10), 80);
    EXPECT_EQ(espeakRateFor(10), 450);
    EXPECT_LT(espeakRateFor(-3), espeakRateFor(-2));
    EXPECT_EQ(espeakRateFor(99), 450);
    EXPECT_EQ(espeakVolumeFor(150), 100);
    EXPECT_EQ(espeakVolumeFor(-5), 0);
    const QList<SpeechVoice> voices = {{"English (America)", "en-us", "gmw/en-US"},
                                       {"Chinese (Mandarin)", "cmn", "sit/cmn"}};
    EXPECT_EQ(findVoice(voices, "CMN"), 1);
    EXPECT_EQ(findVoice(voices, "english (america)"), 0);
    EXPECT_EQ(findVoice(voices, "gmw/en-us"), 0);
    EXPECT_EQ(findVoice(voices, "fr"), -1);
}

} // namespace

TEST(SpeakIntoWaveFile, SpansFollowEachOtherInsideTheFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("spoken.wav");
    std::vector<SpokenSpan> spans;
    uint32_t lengthMs = 0;
    QString error;
    ASSERT_TRUE(speakIntoWaveFile({{"Hello, and welcome.", "en"}, {"你好", "cmn"}, {"Bye.", "en"}},
                                  path, &spans, &lengthMs, &error))
        << error.toStdString();
    ASSERT_EQ(spans.size(), 3u);
    uint32_t previousEnd = 0;
    for (const SpokenSpan& span : spans) {
        EXPECT_GT(span.startMs, previousEnd); // silence before each piece
        EXPECT_GT(span.endMs, span.startMs + 200);
        previousEnd = span.endMs;
    }
    EXPECT_LT(previousEnd, lengthMs);
    EXPECT_NEAR(waveDurationMs(path), int(lengthMs), 2);

    EXPECT_FALSE(speakIntoWaveFile({{"x", "no-such-voice-zz"}}, folder.filePath("none.wav"), &spans,
                                   &lengthMs, &error));
    EXPECT_TRUE(error.contains("no voice"));
    EXPECT_FALSE(QFile::exists(folder.filePath("none.wav")));
}
