// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/subtitle_track.h"

#include "support/print_qstring.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(SubtitleTrack, NamesCodecsByCapsAndContainer)
{
    struct Case {
        const char* mediaType;
        bool fromMp4;
        const char* name;
        bool picture;
    };
    const Case cases[] = {
        {"text/x-raw", false, "SubRip", false},
        {"text/x-raw", true, "mov_text", false},
        {"application/x-ass", false, "ASS/SSA", false},
        {"application/x-ssa", false, "ASS/SSA", false},
        {"application/x-subtitle-vtt", false, "WebVTT", false},
        {"subpicture/x-pgs", false, "PGS", true},
        {"subpicture/x-dvd", false, "VobSub", true},
        {"application/x-usf", false, "unknown", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mediaType);
        const SubtitleCodec codec = codecOfCaps(c.mediaType, c.fromMp4);
        EXPECT_EQ(codecName(codec), c.name);
        EXPECT_EQ(isPictureCodec(codec), c.picture);
    }
}

TEST(SubtitleTrack, NamesLanguagesInChinese)
{
    struct Case {
        const char* tag;
        const char* title;
        const char* name;
        const char* base;
    };
    const Case cases[] = {
        {"en", "", "英语", "en"},
        {"eng", "", "英语", "en"},
        {"en-US", "SDH", "英语", "en"},
        {"chi", "", "中文", "zh"},
        {"zh-Hans", "", "简体中文", "zh"},
        {"zh_CN", "", "简体中文", "zh"},
        {"zh-Hant", "", "繁体中文", "zh"},
        {"chi", "繁體中文", "繁体中文", "zh"},
        {"zho", "Simplified", "简体中文", "zh"},
        {"cmn", "", "中文", "zh"},
        {"jpn", "", "日语", "ja"},
        {"ger", "", "德语", "de"},
        {"fra", "", "法语", "fr"},
        {"", "", "未标语言", ""},
        {"und", "", "未标语言", "und"},
        {"tlh", "", "tlh", "tlh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(languageName(c.tag, QString::fromUtf8(c.title)), QString::fromUtf8(c.name));
        EXPECT_EQ(baseLanguage(c.tag), c.base);
    }
    SubtitleTrack track;
    track.language = "zh-Hans";
    track.codec = SubtitleCodec::Ass;
    track.title = "Chinese ";
    EXPECT_EQ(trackLabel(track), "简体中文 · ASS/SSA · Chinese");
}

TEST(SubtitleTrack, ChoosesTheTargetLanguageAndAChinesePrompt)
{
    const auto track = [](int index, const char* language, bool isDefault = false,
                          bool forced = false) {
        SubtitleTrack t;
        t.index = index;
        t.language = language;
        t.isDefault = isDefault;
        t.forced = forced;
        return t;
    };
    struct Case {
        const char* what;
        std::vector<SubtitleTrack> tracks;
        QString target;
        int sentence;
        int prompt;
    };
    const Case cases[] = {
        {"English by default, Chinese prompt", {track(0, "chi"), track(1, "eng")}, "", 1, 0},
        {"the Unit's language",
         {track(0, "eng"), track(1, "fre"), track(2, "zh-Hans")},
         "fr",
         1,
         2},
        {"a full track before a forced one",
         {track(0, "eng", false, true), track(1, "eng")},
         "en",
         1,
         -1},
        {"no track of the language: the default one",
         {track(0, "ger"), track(1, "spa", true)},
         "en",
         1,
         -1},
        {"else the first", {track(0, "ger"), track(1, "spa")}, "en", 0, -1},
        {"a Chinese learner's Unit has no Chinese prompt",
         {track(0, "eng"), track(1, "chi")},
         "zh",
         1,
         -1},
        {"no tracks", {}, "en", -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TrackChoice choice = chooseTracks(c.tracks, c.target);
        EXPECT_EQ(choice.sentence, c.sentence);
        EXPECT_EQ(choice.prompt, c.prompt);
    }
}
