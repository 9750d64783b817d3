// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/sentence_alignment.h"
#include "core/alignment/warping.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace dictora;

namespace {

// A track whose frame k has every coefficient equal to values[k]; a 0 is
// a pause (-60 dB), anything else speech (-20 dB), unless loudnessDb says.
FeatureTrack track(const std::vector<float>& values, float loudnessDb = 0)
{
    FeatureTrack t;
    for (const float v : values) {
        for (int d = 0; d < kFeatureSize; ++d)
            t.values.push_back(v);
        t.energyDb.push_back(loudnessDb != 0 ? loudnessDb : v == 0 ? -60.0f : -20.0f);
    }
    return t;
}

// A varied sequence: a pattern that never repeats within its length.
std::vector<float> pattern(int length, int stretch = 1)
{
    std::vector<float> values;
    for (int k = 0; k < length; ++k) {
        for (int s = 0; s < stretch; ++s)
            values.push_back(float(std::sin(k * 0.37) * 3 + std::sin(k * 0.051) * 5));
    }
    return values;
}

struct WindowCase {
    const char* name;
    std::vector<int> lo, hi;
    int columns;
    std::vector<int> wantLo, wantHi;
};

TEST(WarpWindow, NormalisingMakesEveryRowReachable)
{
    const WindowCase cases[] = {
        {"corners are forced in", {2, 3, 4}, {5, 6, 7}, 10, {0, 3, 4}, {5, 6, 9}},
        {"falling bounds are raised and lowered", {0, 5, 2}, {9, 3, 9}, 10, {0, 4, 5}, {3, 5, 9}},
        {"a jump between rows is bridged", {0, 8, 9}, {1, 9, 9}, 10, {0, 2, 9}, {1, 9, 9}},
        {"bounds beyond the columns are clamped", {-5, 0, 3}, {2, 20, 30}, 6, {0, 0, 3}, {2, 5, 5}},
    };
    for (const WindowCase& c : cases) {
        WarpWindow window{c.lo, c.hi};
        window.normalise(c.columns);
        EXPECT_EQ(window.lo, c.wantLo) << c.name;
        EXPECT_EQ(window.hi, c.wantHi) << c.name;
    }
}

TEST(Warping, BandEdgesAndProjectionKeepTheRadius)
{
    const WarpWindow band = WarpWindow::band(5, 5, 1);
    EXPECT_EQ(band.lo, (std::vector<int>{0, 0, 1, 2, 3}));
    EXPECT_EQ(band.hi, (std::vector<int>{1, 2, 3, 4, 4}));
    // A diagonal coarse path of 3 rows projects to 2x2 blocks, widened by 1.
    WarpPath coarse{{0, 1, 2}, {0, 1, 2}, {0, 0, 0}};
    const WarpWindow fine = projectPath(coarse, 6, 6, 1);
    EXPECT_EQ(fine.lo, (std::vector<int>{0, 0, 0, 1, 1, 3}));
    EXPECT_EQ(fine.hi, (std::vector<int>{2, 4, 4, 5, 5, 5}));
    // An odd row count: the last fine row follows the last coarse row.
    const WarpWindow odd = projectPath(WarpPath{{0, 1}, {0, 1}, {0, 0}}, 5, 4, 0);
    EXPECT_EQ(odd.lo.back(), 2);
    EXPECT_EQ(odd.hi.back(), 3);
}

TEST(Warping, FindsAStretchedCopyAtEveryScale)
{
    // Columns: 30 frames of noise-free lead-in, then the rows' pattern at
    // half speed. Row k must meet column 30 + 2k or 30 + 2k + 1.
    const std::vector<float> rowsValues = pattern(400);
    std::vector<float> columnsValues(30, -9.0f);
    for (const float v : pattern(400, 2))
        columnsValues.push_back(v);
    const FeatureTrack rows = track(rowsValues), columns = track(columnsValues);
    for (const long long coarsest : {100'000'000LL, 20'000LL, 2'000LL}) {
        MultiScaleOptions options;
        options.coarsestCells = coarsest;
        options.radius = 4;
        const WarpPath path = warpMultiScale(rows, columns, options);
        ASSERT_EQ(path.first.size(), rowsValues.size());
        int wrong = 0;
        for (int k = 5; k < 400; ++k)
            wrong += std::abs(path.first[size_t(k)] - (30 + 2 * k)) > 2;
        EXPECT_LE(wrong, 4) << "coarsest cells " << coarsest;
    }
}

TEST(Warping, StopsWhenAsked)
{
    const FeatureTrack a = track(pattern(200)), b = track(pattern(200));
    int calls = 0;
    const WarpPath path = warpMultiScale(a, b, {}, [&](double) { return ++calls < 3; });
    EXPECT_TRUE(path.first.empty());
}

TEST(RetimeWindow, SentencesAreSearchedTenSecondsAroundTheirStatedTimes)
{
    // Two sentences of 100 synthetic frames with 20 pause frames around and
    // between them; the recording is 10 minutes (60000 frames).
    const std::vector<SentenceFrames> sentences{{20, 120}, {140, 240}};
    const std::vector<StatedSpan> stated{{60'000, 62'000}, {300'000, 0}};
    const WarpWindow window = retimeWindow(sentences, stated, 260, 60'000);
    EXPECT_EQ(window.lo[0], 0);               // the lead-in reaches back to the start
    EXPECT_EQ(window.hi[0], 6'200 + 1'000);   // up to the first sentence's search end
    EXPECT_EQ(window.lo[20], 6'000 - 1'000);  // the first sentence: 50 s ..
    EXPECT_EQ(window.hi[119], 6'200 + 1'000); // .. 72 s
    EXPECT_EQ(window.lo[130], 5'000);         // the pause between spans both areas
    EXPECT_EQ(window.hi[130], 30'000 + 100 + 1'000);
    EXPECT_EQ(window.lo[140], 30'000 - 1'000); // no stated end: start + its length
    EXPECT_EQ(window.hi[239], 30'000 + 100 + 1'000);
    EXPECT_EQ(window.hi[259], 59'999); // the trailing pause runs to the end
}

struct RefusalCase {
    const char* name;
    float recordingDb;
    int recordingFrames;
    int syntheticFrames;
    AlignmentResult::Status status;
};

TEST(SentenceAlignment, SilentRecordingsAndFarTooLongTextsAreRefused)
{
    const RefusalCase cases[] = {
        {"silent recording", -70.0f, 1000, 500, AlignmentResult::Status::Silent},
        {"text 4x the speech", -20.0f, 1000, 4000, AlignmentResult::Status::TextTooLong},
        {"text 2x the speech", -20.0f, 1000, 2000, AlignmentResult::Status::Aligned},
    };
    for (const RefusalCase& c : cases) {
        const AlignmentResult result =
            alignSentences(track(pattern(c.recordingFrames), c.recordingDb),
                           track(pattern(c.syntheticFrames)), {{0, c.syntheticFrames}}, nullptr);
        EXPECT_EQ(result.status, c.status) << c.name;
    }
    EXPECT_EQ(alignSentences(track(pattern(10)), track(pattern(10)), {}, nullptr).status,
              AlignmentResult::Status::NoSentences);
}

TEST(SentenceAlignment, ReTimedSentenceNotFoundKeepsItsStatedTime)
{
    // Three sentences of 100 frames; the recording says A and C where
    // stated (shifted by 0.5 s), but something else where B should be.
    const auto shape = [](double a, double b, double scale) {
        std::vector<float> values;
        for (int k = 0; k < 100; ++k)
            values.push_back(float(std::sin(k * a + b) * scale));
        return values;
    };
    const std::vector<float> a = shape(0.37, 0, 5), b = shape(1.3, 2, 7), c = shape(0.23, 1, 6);
    std::vector<float> other;
    for (int k = 0; k < 100; ++k)
        other.push_back((k / 7) % 2 ? 6.0f : -6.0f);
    const auto join = [](std::initializer_list<std::vector<float>> parts) {
        std::vector<float> all;
        for (const auto& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    const std::vector<float> pause(20, 0.0f);
    const std::vector<float> synthetic = join({pause, a, pause, b, pause, c, pause});
    const std::vector<float> recording =
        join({pause, pause, pause, a, pause, other, pause, c, pause});
    const std::vector<SentenceFrames> sentences{{20, 120}, {140, 240}, {260, 360}};
    const std::vector<StatedSpan> stated{{100, 1'100}, {1'300, 2'300}, {2'500, 3'500}};
    const AlignmentResult result =
        alignSentences(track(recording), track(synthetic), sentences, &stated);
    ASSERT_EQ(result.status, AlignmentResult::Status::Aligned);
    EXPECT_TRUE(result.sentences[0].found);
    EXPECT_NEAR(result.sentences[0].startMs, 600, 30);
    EXPECT_NEAR(result.sentences[0].endMs, 1'600, 30);
    EXPECT_TRUE(result.sentences[2].found);
    EXPECT_NEAR(result.sentences[2].startMs, 3'000, 30);
    EXPECT_FALSE(result.sentences[1].found);
    EXPECT_EQ(result.sentences[1].startMs, 1'300);
    EXPECT_EQ(result.sentences[1].endMs, 2'300);
}

} // namespace
