// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/row_announcement.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

SentenceRow sentence(const char* text, const char* done, const char* level, const char* studiedAt)
{
    SentenceRow row = makeSentenceRow();
    row[Text] = QString::fromUtf8(text);
    row[StartMs] = QStringLiteral("1500");
    row[EndMs] = QStringLiteral("62040");
    row[Done] = QLatin1String(done);
    row[Level] = QLatin1String(level);
    row[StudiedAt] = QLatin1String(studiedAt);
    return row;
}

TEST(RowAnnouncement, SaysWhatTheRowShows)
{
    const QString today = QStringLiteral("20261208");
    struct Case {
        SentenceRow row;
        RowAnnouncementContext context;
        const char* said;
    };
    const SentenceRow fresh = sentence(" Good morning ", "0", "0", "");
    const Case cases[] = {
        {makeTitleRow(QStringLiteral("第一课")), {}, "标题: 第一课"},
        {fresh, {.today = today}, "Good morning, 未学"},
        {sentence("你好", "1", "1", "20261208093000"), {.today = today}, "你好, 今天学过, 还不熟"},
        {sentence("你好", "1", "3", "20261208093000"), {.today = today}, "你好, 今天学过, 已熟"},
        {sentence("你好", "1", "3", "20261201093000"), {.today = today}, "你好, 已学"},
        {fresh, {.editMode = true, .today = today}, "Good morning, 未学, 00:00:01.50 到 00:01:02.04"},
        // The sentence being dictated is hidden on the screen, and here.
        {fresh, {.current = true, .dictationMode = true, .today = today}, "正在听写的句子, 未学"},
        {fresh, {.current = false, .dictationMode = true, .today = today}, "Good morning, 未学"},
        {fresh,
         {.today = today, .review = "文字识别的句子, 请核对"},
         "Good morning, 未学, 文字识别的句子, 请核对"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rowAnnouncement(c.row, c.context), QString::fromUtf8(c.said));
}

TEST(RowAnnouncement, TheTableHandsItToAssistiveTechnology)
{
    SentenceTable table;
    table.appendRow(makeTitleRow(QStringLiteral("Lesson")));
    const QModelIndex title = table.index(0, 0);
    EXPECT_FALSE(table.data(title, Qt::AccessibleTextRole).isValid());
    table.accessibleRowText = [&](int row) {
        return rowAnnouncement(table.row(row), RowAnnouncementContext{});
    };
    EXPECT_EQ(table.data(title, Qt::AccessibleTextRole).toString(), QStringLiteral("标题: Lesson"));
    EXPECT_EQ(table.data(title, Qt::DisplayRole).toString(), QStringLiteral("0"));
    // The hidden columns give nothing away.
    EXPECT_EQ(table.data(table.index(0, SectionTitle), Qt::AccessibleTextRole).toString().trimmed(),
              QString());
}

} // namespace
} // namespace dictora
