// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/status_item_texts.h"
#include "core/study/study_state.h"
#include "core/study/unit_settings_choices.h"

#include "study_fixtures.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(StatusItemTexts, NamesLongerThanTwentyCharactersAreCut)
{
    struct Case {
        QString name;
        QString shown;
    } cases[] = {
        {"", ""},
        {"Lesson", "Lesson"},
        {QString(20, 'a'), QString(20, 'a')},
        {QString(21, 'a'), QString(20, 'a') + " ..."},
        {"ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRST ..."},
        {QString(25, QChar(0x5355)), QString(20, QChar(0x5355)) + " ..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shownUnitName(c.name), c.shown) << c.name.toStdString();
}

TEST(StatusItemTexts, SettingsLineNamesFrequencyAllowanceAndWhatIsCounted)
{
    struct Case {
        UnitHeader header;
        bool notebook;
        QString text;
    } cases[] = {
        {{2, 1.0f, 1}, false, "正常 / 每天新学1.00篇"},
        {{1, 2.5f, 0}, false, "泛读 / 每天新学2.50行"},
        {{3, 3.0f, 0}, true, "重点 / 每天新学3.00行"},
        // The Notebook always counts lines, whatever its header says.
        {{3, 3.0f, 1}, true, "重点 / 每天新学3.00行"},
        // A frequency the review does not know has no word.
        {{0, 1.0f, 1}, false, " / 每天新学1.00篇"},
        {{4, 12.345678f, 7}, false, " / 每天新学12.35篇"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(unitSettingsText(c.header, c.notebook), c.text) << c.text.toStdString();
}

TEST(StatusItemTexts, ModeNameFollowsDictationThenEditThenLineByLine)
{
    struct Case {
        bool dictation, edit, lineByLine;
        QString name;
    } cases[] = {
        {false, false, false, "浏览模式"}, {false, false, true, "逐行播放"},
        {false, true, false, "编辑模式"},  {false, true, true, "编辑模式"},
        {true, false, false, "听写模式"},  {true, true, true, "听写模式"},
    };
    for (const Case& c : cases) {
        StudyState state;
        state.dictationMode = c.dictation;
        state.editMode = c.edit;
        state.lineByLineMode = c.lineByLine;
        EXPECT_EQ(modeName(state), c.name) << c.name.toStdString();
    }
}

TEST(StatusItemTexts, EachItemShowsItsLabelAndValue)
{
    StatusFigures figures{"57%", "Lesson", {2, 1.0f, 1}, false, "40%", "估时 - 未知"};
    StudyState state;
    EXPECT_EQ(statusItemTexts(StatusItemType::TotalCompletion, figures, state),
              (StatusTexts{"总完成率:", "57%"}));
    EXPECT_EQ(statusItemTexts(StatusItemType::UnitSettings, figures, state),
              (StatusTexts{"Lesson", "正常 / 每天新学1.00篇"}));
    EXPECT_EQ(statusItemTexts(StatusItemType::TodayProgress, figures, state),
              (StatusTexts{"单元完成: 40%", "估时 - 未知"}));
    EXPECT_EQ(statusItemTexts(StatusItemType::Mode, figures, state), (StatusTexts{"浏览模式", ""}));
}

TEST(UnitSettingsChoices, CountBoxTakesPlainDecimalNumbersOnly)
{
    struct Case {
        QString text;
        std::optional<float> count;
    } cases[] = {
        {"1.00", 1.0f},
        {"3", 3.0f},
        {" 2.5 ", 2.5f},
        {"0", 0.0f},
        {".5", 0.5f},
        {"7.", 7.0f},
        {"", std::nullopt},
        {".", std::nullopt},
        {"1.2.3", std::nullopt},
        {"-1", std::nullopt},
        {"abc", std::nullopt},
        {"1e3", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {QString(50, '9'), std::nullopt}, // beyond a 32-bit float
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseNewPerDay(c.text), c.count) << c.text.toStdString();
}

TEST(UnitSettingsChoices, ListPositionsMapToHeaderValues)
{
    // Position p of the frequency list is reviewFrequency 3 - p.
    EXPECT_EQ(frequencyChoices().at(frequencyPosition(3, 3)), "频繁 -- 强化记忆");
    EXPECT_EQ(frequencyChoices().at(frequencyPosition(2, 3)), "正常 -- 重点教材");
    EXPECT_EQ(frequencyChoices().at(frequencyPosition(1, 3)), "较少 -- 辅助材料");
    EXPECT_EQ(reviewFrequencyAt(0, 2), 3);
    EXPECT_EQ(reviewFrequencyAt(2, 2), 1);
    EXPECT_EQ(countUnitChoices(), (QStringList{"句 (行)", "课 (篇)"}));
    EXPECT_EQ(newPerDayUnitAt(1, 0), 1);

    // A damaged header selects nothing, and nothing selected keeps the value.
    EXPECT_EQ(frequencyPosition(0, 3), -1);
    EXPECT_EQ(frequencyPosition(2, 1), -1); // the Notebook's one-entry list
    EXPECT_EQ(countUnitPosition(1, 1), -1);
    EXPECT_EQ(reviewFrequencyAt(-1, 2), 2);
    EXPECT_EQ(newPerDayUnitAt(-1, 0), 0);
    EXPECT_EQ(newPerDayText(1.0f), "1.00");
}

} // namespace
} // namespace dictora
