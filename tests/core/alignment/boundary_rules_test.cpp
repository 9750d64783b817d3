// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/alignment_confidence.h"
#include "core/alignment/boundary_placement.h"
#include "core/alignment/speech_pauses.h"
#include "core/alignment/syllable_count.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

using namespace dictora;

namespace {

// Levels from a picture: '_' room tone (-60 dB), '.' a breath of it (-55 dB), '-' a faint tail or
// onset (-48 dB), 'h' a steady hum (-45 dB), 's' and 'z' a fricative
// (-40 and -34 dB), '#' a vowel (-20 dB).
std::vector<float> levels(const std::string& picture)
{
    const float level[] = {-60, -55, -48, -45, -40, -34, -20};
    std::vector<float> values;
    for (const char c : picture)
        values.push_back(level[std::min(std::string("_.-hsz").find(c), size_t(6))]);
    return values;
}

std::string times(char c, int n)
{
    return std::string(size_t(n), c);
}

TEST(SyllableCount, HanCharactersAndVowelGroups)
{
    const std::pair<const char*, int> cases[] = {
        {"这绝对不行。", 5},
        {"Good morning, everyone.", 6},
        {"The table is made of wood.", 7},
        {"桥下垂直净空15米。", 9},
        {"I'd say it's fine.", 4},
        {"...", 1},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(syllableCount(QString::fromUtf8(text)), count) << text;
}

TEST(SpeechPauses, PausesAreQuietRunsLongEnoughAndSurviveClicks)
{
    struct Case {
        const char* name;
        std::string picture;
        std::vector<std::pair<int, int>> pauses;
        std::string thresholdPicture = {}; // where the thresholds come from, if not the same
    };
    const Case cases[] = {
        {"one pause", times('#', 50) + times('_', 30) + times('#', 50), {{50, 80}}},
        {"a stop's closure is too short", times('#', 50) + times('_', 10) + times('#', 50), {}},
        {"a fricative is speech",
         times('_', 30) + times('#', 50) + "szszszszszszszszsz" + times('#', 50),
         {{0, 30}}},
        {"a steady hum is not",
         times('#', 50) + times('h', 30) + times('#', 50) + times('_', 30),
         {{50, 80}, {130, 160}}},
        {"a two-frame click inside",
         times('#', 50) + times('_', 15) + "##" + times('_', 15) + times('#', 50),
         {{50, 82}}},
        {"a click over four frames inside",
         times('#', 50) + times('_', 15) + "####" + times('_', 15) + times('#', 50),
         {{50, 84}}},
        {"five frames are a sound",
         times('#', 50) + times('_', 15) + "#####" + times('_', 15) + times('#', 50),
         {{50, 65}, {70, 85}}},
        // Thresholds from the broad level, where a room's rumble sets the
        // floor: a faint breath that stands out only in the band above the
        // rumble stays in the pause.
        {"a faint breath above the rumble's floor",
         times('#', 50) + times('_', 20) + times('s', 10) + times('_', 20) + times('#', 50),
         {{50, 100}},
         times('#', 50) + times('-', 50) + times('#', 50)},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int, int>> found;
        for (const Pause& p : findPauses(levels(c.picture), 15, levels(c.thresholdPicture)))
            found.emplace_back(p.first, p.end);
        EXPECT_EQ(found, c.pauses) << c.name;
    }
}

TEST(SpeechPauses, EndsTakeTheirTailAndStartsTheirOnset)
{
    // A vowel, a fricative and a faint tail, the pause, a faint onset.
    const std::vector<float> e =
        levels(times('#', 20) + "ssss" + "--" + times('_', 40) + "---" + times('#', 20));
    struct Case {
        const char* name;
        int from;
        int limit;
        int end;   // extendEndOverTail
        int start; // extendStartOverOnset
    };
    const Case cases[] = {
        {"the fricative and the tail are kept", 20, 46, 26, 20},
        {"never past the limit", 20, 23, 23, 20},
        {"an end already in the pause stays", 30, 46, 30, 30},
        {"the onset is taken", 69, 46, 69, 66},
    };
    for (const Case& c : cases) {
        if (c.from < 40)
            EXPECT_EQ(extendEndOverTail(e, c.from, -60.0f, c.limit), c.end) << c.name;
        else
            EXPECT_EQ(extendStartOverOnset(e, c.from, -60.0f, c.limit), c.start) << c.name;
    }
    // A pause's floor is its median level; 4 dB above it is still a tail.
    const std::vector<float> faint =
        levels(times('#', 20) + "...." + times('_', 14) + times('.', 7) + times('#', 20));
    EXPECT_EQ(extendEndOverTail(faint, 20, findPauses(faint, 15).at(0).floorDb, 30), 22);
    // A faint syllable in the pause is heard, a breath of room tone is not.
    // Sound still going at the end of the range is not heard as an end.
    for (const auto& [island, heardTo] :
         {std::pair{"sss", 33}, std::pair{"...", 20}, std::pair{"________sss", 20}})
        EXPECT_EQ(lastSoundEnd(levels(times('#', 20) + times('_', 10) + island + times('_', 20)),
                               20, 40, -60.0f),
                  heardTo);
    // In uneven noise a faint sound lies less than 10 dB above the pause's
    // median, but is heard above its quietest fifth.
    const std::vector<float> noisy =
        levels(times('#', 20) + "_._._._._." + "---" + "._._._._._._._._._._");
    EXPECT_EQ(std::pair(lastSoundEnd(noisy, 20, 50, medianLevel(noisy, 20, 53)),
                        lastSoundEnd(noisy, 20, 50, levelPercentile(noisy, 20, 53, 0.2))),
              std::pair(20, 33));
    // A sound (-20 dB) after a short pause, far above the speech level, is
    // left out of the sentence before it and of the one after it; one at
    // the speech level is speech.
    const std::vector<float> after = levels(times('#', 20) + times('_', 10) + "#####");
    const std::vector<float> before = levels("#####" + times('_', 10) + times('#', 20));
    for (const auto& [speechDb, end, start] :
         {std::tuple{-40.0f, 20, 15}, std::tuple{-20.0f, 35, 0}})
        EXPECT_EQ(std::pair(endBeforeLoudSound(after, {{20, 30}}, 35, speechDb),
                            startAfterLoudSound(before, {{5, 15}}, 0, speechDb)),
                  std::pair(end, start))
            << speechDb;
    // Running together: the quietest point between them.
    const std::vector<float> joined = levels(times('#', 20) + "s-s" + times('#', 20));
    EXPECT_EQ(quietestFrame(joined, 10, 30, 15), 21);
}

TEST(BoundaryPlacement, ChoosesPausesByWarpingAndExpectedLength)
{
    // Three sentences of 2, 2 and 4 syllables: speech 0..100, a long pause,
    // 130..230, a short pause, 250..300, a pause, 330..530.
    const std::string picture = times('#', 100) + times('_', 30) + times('#', 100) +
                                times('_', 20) + times('#', 50) + times('_', 30) + times('#', 200) +
                                times('_', 20);
    const std::vector<float> e = levels(picture);
    struct Case {
        const char* name;
        std::vector<int> warped;
        std::vector<int> syllables;
        std::vector<int> ends; // first frame of each chosen place
    };
    const Case cases[] = {
        {"warping right", {115, 240}, {2, 2, 5}, {100, 230}},
        {"warping late, lengths set it right", {140, 320}, {2, 3, 4}, {100, 300}},
        {"two pauses as near: the lengths decide", {115, 275}, {2, 2, 5}, {100, 230}},
        {"two pauses as near: the lengths decide", {115, 275}, {2, 3, 4}, {100, 300}},
        {"no pause near: the quietest frame", {60, 240}, {1, 3, 5}, {60, 230}},
    };
    for (const Case& c : cases) {
        BoundaryEvidence evidence;
        evidence.warped = c.warped;
        evidence.syllables = c.syllables;
        evidence.firstStart = 0;
        evidence.lastEnd = 530;
        evidence.pauses = findPauses(e, 15);
        std::vector<int> ends;
        for (const BoundaryPlace& place : placeBoundaries(evidence, e))
            ends.push_back(place.first);
        EXPECT_EQ(ends, c.ends) << c.name;
    }
}

TEST(AlignmentConfidence, MatchLengthAndMoveEachLowerIt)
{
    struct Case {
        const char* name;
        SentenceEvidence evidence;
        bool found;
    };
    const Case cases[] = {
        {"typical", {1.0f, 1.0f, 1.0, 0}, true},
        {"matched worse than most", {1.6f, 1.0f, 1.0, 0}, false},
        {"squeezed to a tenth", {1.0f, 1.0f, 0.1, 0}, false},
        {"slow talker", {1.0f, 1.0f, 2.0, 0}, true},
        {"moved 2 s by the pauses", {1.0f, 1.0f, 1.0, 200}, true},
        {"moved and matched poorly", {1.3f, 1.0f, 1.0, 300}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sentenceConfidence(c.evidence) >= kFoundConfidence, c.found) << c.name;
}

} // namespace
