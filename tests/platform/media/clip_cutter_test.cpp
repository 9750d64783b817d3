// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/clip_cutter.h"

#include "media_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class ClipCutterTest : public ::testing::Test {
protected:
    QTemporaryDir out;
    ClipCutter cutter;

    void SetUp() override
    {
        ensureMediaRuntime();
        ASSERT_TRUE(out.isValid());
    }
    QString at(const char* name) const { return out.filePath(QString::fromLatin1(name)); }
    // The length the clip states, checked against what decoding it gives.
    static qint64 frames(const QString& path, int expectedRate)
    {
        int rate = 0;
        const qint64 count = oggVorbisFrames(path, &rate);
        EXPECT_EQ(rate, expectedRate) << path.toStdString();
        int decodedRate = 0;
        EXPECT_NEAR(double(decodedFrames(path, &decodedRate)), double(count), 1.0);
        return count;
    }
};

TEST_F(ClipCutterTest, ClipsHoldExactlyTheSamplesOfTheirSpans)
{
    const QString wav = generatedMedia().wav; // 2000 ms at 48 kHz
    ASSERT_FALSE(wav.isEmpty());
    const QList<ClipSpan> spans{{1234, 1999, at("b.ogg")},
                                {0, 1000, at("a.ogg")},
                                {700, 1300, at("overlap.ogg")},
                                {1500, 2600, at("past-end.ogg")}};
    QList<int> told;
    QString error;
    ASSERT_TRUE(cutter.cutMedia(wav, spans, [&](int n) { told << n; return true; }, &error))
        << error.toStdString();
    EXPECT_EQ(frames(at("a.ogg"), 48000), 48000);
    EXPECT_EQ(frames(at("b.ogg"), 48000), 1999 * 48 - 1234 * 48);
    EXPECT_EQ(frames(at("overlap.ogg"), 48000), 600 * 48);
    EXPECT_EQ(frames(at("past-end.ogg"), 48000), 500 * 48);
    ASSERT_FALSE(told.isEmpty());
    EXPECT_EQ(told.back(), 4);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST_F(ClipCutterTest, Mp3SpansAreCutToTheirLength)
{
    const QString mp3 = generatedMedia().mp3Cbr; // 2000 ms at 44.1 kHz
    if (mp3.isEmpty())
        GTEST_SKIP() << "lame is missing";
    QString error;
    ASSERT_TRUE(cutter.cutMedia(mp3, {{250, 1750, at("mid.ogg")}}, {}, &error)) << error.toStdString();
    const qint64 count = frames(at("mid.ogg"), 44100);
    EXPECT_NEAR(double(count) * 1000 / 44100, 1500.0, 1.0);
}

TEST_F(ClipCutterTest, CancellingLeavesNoHalfWrittenClip)
{
    QList<ClipSpan> spans;
    for (int k = 0; k < 19; ++k)
        spans.append({k * 100, k * 100 + 100, out.filePath(QStringLiteral("c%1.ogg").arg(k))});
    QString error;
    EXPECT_FALSE(cutter.cutMedia(generatedMedia().wav, spans, [](int n) { return n < 2; }, &error));
    EXPECT_EQ(error, "cancelled");
    for (const QString& name : QDir(out.path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_FALSE(name.endsWith(".part")) << name.toStdString();
}

TEST_F(ClipCutterTest, LevellingSeesEveryClipBeforeItIsEncoded)
{
    cutter.setLevelling([](std::vector<float>& samples, int) {
        for (float& s : samples)
            s *= 0.5f;
    });
    std::vector<float> tone(16000, 0.25f);
    QString error;
    ASSERT_TRUE(cutter.writeClip(tone, 16000, at("speech.ogg"), &error)) << error.toStdString();
    EXPECT_EQ(frames(at("speech.ogg"), 16000), 16000);
    ASSERT_TRUE(cutter.writeClip(tone, 16000, at("speech.ogg"), &error)) << "replaces the clip";
    EXPECT_FALSE(cutter.writeClip(tone, 16000, at("missing/speech.ogg"), &error));
    EXPECT_TRUE(error.contains("speech.ogg")) << error.toStdString();
}

TEST_F(ClipCutterTest, UnreadableMediaIsReported)
{
    const QString junk = at("junk.mp3");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    QString error;
    EXPECT_FALSE(cutter.cutMedia(junk, {{0, 500, at("x.ogg")}}, {}, &error));
    EXPECT_TRUE(error.contains("junk.mp3")) << error.toStdString();
    EXPECT_EQ(probeMediaLengthMs(junk), -1);
    EXPECT_EQ(probeMediaLengthMs(generatedMedia().wav), 2000);
}

} // namespace
