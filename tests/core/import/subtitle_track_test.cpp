// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/subtitle_track.h"

#include "support/print_qstring.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace dictora;

TEST(SubtitleTrack, NamesCodecsByCapsAndContainer)
{
    QStringList names;
    for (const char* type :
         {"text/x-raw", "application/x-ass", "application/x-ssa", "application/x-subtitle-vtt",
          "subpicture/x-pgs", "subpicture/x-dvd", "application/x-usf"})
        names << codecName(codecOfCaps(type, false)) +
                     (isPictureCodec(codecOfCaps(type, false)) ? "*" : "");
    names << codecName(codecOfCaps("text/x-raw", true));
    EXPECT_EQ(names, QStringList({"SubRip", "ASS/SSA", "ASS/SSA", "WebVTT", "PGS*", "VobSub*",
                                  "unknown", "mov_text"}));
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
    const auto titled = [&](int index, const char* title) {
        SubtitleTrack t = track(index, "eng");
        t.title = title;
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
        {"a forced track told by its title where the container does not say",
         {titled(0, "Forced"), titled(1, "SDH")},
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
