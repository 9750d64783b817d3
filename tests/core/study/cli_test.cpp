// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_run.h"
#include "study_fixtures.h"

#include "core/study/unit_file.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace dictora;
using namespace dictora::test;

namespace {

class StudyCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir home;

    CliRun cli(QStringList args) { return runCli(std::move(args), home.path()); }
    QString dataPath(const QString& name) const { return home.filePath("Data/" + name + ".dat"); }
};

} // namespace

TEST_F(StudyCommandsTest, UnitsScansAndListsWithPercents)
{
    const CliRun empty = cli({"units"});
    ASSERT_EQ(empty.exitCode, 0) << empty.error.toStdString();
    EXPECT_EQ(empty.json["units"].toArray().size(), 1);
    EXPECT_EQ(empty.json["units"][0]["name"].toString(), "生句本");
    EXPECT_EQ(empty.json["totalPercent"].toString(), "0%"); // the empty Notebook counts for nothing
    EXPECT_EQ(readAll(dataPath("生句本")).size(), 24);

    ASSERT_EQ(
        cli({"new", "课一", "--frequency", "3", "--per-day", "2", "--per-unit", "0"}).exitCode, 0);
    const UnitReadResult made = readUnitFile(dataPath("课一"), false);
    EXPECT_EQ(made.header, (UnitHeader{3, 2.0f, 0}));
    const CliRun listed = cli({"units", "--now", "20260615120000"});
    ASSERT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.json["units"][1]["name"].toString(), "课一");
    EXPECT_EQ(listed.json["units"][1]["percent"].toString(), "100%");
    EXPECT_EQ(listed.json["units"][1]["position"].toInt(), 1);
}

TEST_F(StudyCommandsTest, ShowReviewsAsOfNowWithoutWriting)
{
    ASSERT_EQ(cli({"new", "课"}).exitCode, 0);
    const std::vector<SentenceRow> rows{title("T"), sentence("old", "1", "5", "20260601090000"),
                                        sentence("new")};
    ScopedTimeZone zone("Asia/Shanghai");
    ASSERT_TRUE(writeAll(dataPath("课"), encodeUnit({2, 1.0f, 0}, rows, false)));
    const QByteArray before = readAll(dataPath("课"));

    const CliRun shown = cli({"show", "课", "--now", "20260615151500"});
    ASSERT_EQ(shown.exitCode, 0) << shown.error.toStdString();
    EXPECT_EQ(shown.json["reviewFrequency"].toInt(), 2);
    EXPECT_EQ(shown.json["newPerDay"].toDouble(), 1.0);
    EXPECT_EQ(shown.json["newPerDayUnit"].toInt(), 0);
    const QJsonArray table = shown.json["rows"].toArray();
    ASSERT_EQ(table.size(), 3);
    EXPECT_EQ(table[1].toArray().size(), 12);
    EXPECT_EQ(table[1][6].toString(), "4"); // demoted
    EXPECT_EQ(table[2][8].toString(), "T"); // copied from its Section
    EXPECT_EQ(shown.json["unitPercentText"].toString(), "0%");
    EXPECT_EQ(shown.json["progressLine"].toString(), "已经完成: 0 行 / 共: 2 行");
    EXPECT_EQ(shown.json["estimateText"].toString(), "估时 - 未知");
    EXPECT_EQ(readAll(dataPath("课")), before);

    ASSERT_EQ(cli({"show", "--file", dataPath("课"), "--now", "20260615151500", "--save"}).exitCode,
              0);
    EXPECT_EQ(readUnitFile(dataPath("课"), false).rows[1][Level], "4");
}

TEST_F(StudyCommandsTest, BadInputExitsNonZeroWithOneLine)
{
    ASSERT_EQ(cli({"new", "甲"}).exitCode, 0);
    ASSERT_EQ(cli({"new", "乙"}).exitCode, 0);
    const struct {
        QStringList args;
        QString message;
    } refused[] = {
        {{"new", "甲"}, "甲 单元名已经存在."},
        {{"new", "a|b"}, "单元名不要含有 /\\:*?\"<>|"},
        {{"new", "丙", "--frequency", "4"}, "--frequency"},
        {{"rename", "甲", "乙"}, "乙 单元名已经存在."},
        {{"rename", "无", "丁"}, "no Unit named"},
        {{"delete", "生句本"}, "cannot be deleted"},
        {{"show", "无"}, "no Unit file"},
        {{"units", "--now", "tomorrow"}, "--now"},
        {{"notebook-add", "甲", "7"}, "has no row 7"},
        {{"notebook-add", "甲", "x"}, "ROW"},
    };
    for (const auto& [args, message] : refused) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.error.contains(message)) << run.error.toStdString();
        EXPECT_FALSE(run.error.contains('\n')) << run.error.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(dataPath("乙")));
}

TEST_F(StudyCommandsTest, RenameDeleteAndNotebookAdd)
{
    ASSERT_EQ(cli({"new", "甲"}).exitCode, 0);
    ScopedTimeZone zone("Asia/Shanghai");
    ASSERT_TRUE(writeAll(dataPath("甲"),
                         encodeUnit(kNewUnitHeader, {title("T"), sentence("Hello.")}, false)));
    const CliRun renamed = cli({"rename", "甲", "乙"});
    ASSERT_EQ(renamed.exitCode, 0) << renamed.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dataPath("甲")));
    EXPECT_EQ(readUnitFile(dataPath("乙"), false).rows[1][Text], "Hello.");

    ASSERT_EQ(cli({"units"}).exitCode, 0); // the Notebook exists from here on
    EXPECT_TRUE(cli({"notebook-add", "乙", "1"}).json["added"].toBool());
    EXPECT_FALSE(cli({"notebook-add", "乙", "1"}).json["added"].toBool());
    const UnitReadResult notebook = readUnitFile(dataPath("生句本"), true);
    ASSERT_EQ(notebook.rows.size(), 1u);
    EXPECT_EQ(notebook.rows[0][SectionTitle], "乙");

    ASSERT_EQ(cli({"delete", "乙"}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(dataPath("乙")));
    EXPECT_EQ(cli({"units"}).json["units"].toArray().size(), 1);
}
