// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/welcome_unit.h"

#include "core/study/unit_library.h"
#include "library_fixture.h"

using namespace dictora;
using namespace dictora::test;

namespace {

std::vector<SpokenSpan> spansFor(size_t count)
{
    std::vector<SpokenSpan> spans;
    for (uint32_t i = 0; i < count; ++i)
        spans.push_back({300 + i * 2000, 1800 + i * 2000});
    return spans;
}

size_t sentenceCount()
{
    size_t count = 0;
    for (const WelcomeSection& section : welcomeSections())
        count += section.sentences.size();
    return count;
}

} // namespace

TEST(WelcomeUnit, TeachesBothWaysWithAnInstructionOverEverySentence)
{
    bool englishSpoken = false;
    bool chineseSpoken = false;
    for (const WelcomeSection& section : welcomeSections()) {
        EXPECT_FALSE(section.title.isEmpty());
        for (const WelcomeSentence& s : section.sentences) {
            EXPECT_FALSE(s.text.isEmpty());
            EXPECT_FALSE(s.text2.isEmpty()) << s.text.toStdString();
            // Short enough to hear once and type.
            EXPECT_LE(s.text.size(), 45) << s.text.toStdString();
            // Space types a blank into the answer box: it replays nothing.
            EXPECT_FALSE((s.text + s.text2).contains(QStringLiteral("space"), Qt::CaseInsensitive));
            englishSpoken |= s.voice == "en";
            chineseSpoken |= s.voice == "cmn" && s.text.at(0).unicode() >= 0x4E00;
        }
    }
    EXPECT_TRUE(englishSpoken);
    EXPECT_TRUE(chineseSpoken);
}

TEST(WelcomeUnit, RowsCarryTheSpokenSpansAndTheMediaOfTheUnitFolder)
{
    EXPECT_TRUE(welcomeRows(spansFor(sentenceCount() - 1), 1000).empty());
    const std::vector<SpokenSpan> spans = spansFor(sentenceCount());
    const std::vector<SentenceRow> rows = welcomeRows(spans, 99000);
    ASSERT_EQ(rows.size(), sentenceCount() + welcomeSections().size());
    size_t spoken = 0;
    QString title;
    for (const SentenceRow& row : rows) {
        EXPECT_EQ(row[MediaPath], "..");
        EXPECT_EQ(row[MediaName], kWelcomeMediaName);
        EXPECT_EQ(row[MediaLengthMs], "99000");
        if (row[Kind] == "0") {
            title = row[SectionTitle];
            continue;
        }
        EXPECT_EQ(row[SectionTitle], title);
        EXPECT_EQ(row[StartMs], QString::number(spans[spoken].startMs));
        EXPECT_EQ(row[EndMs], QString::number(spans[spoken].endMs));
        EXPECT_EQ(row[Done], "0");
        ++spoken;
    }
    EXPECT_EQ(spoken, spans.size());
}

TEST_F(LibraryTest, WelcomeUnitIsWrittenOnceAndOpenedFirst)
{
    const ProgramFolder fresh{home.path() + "/fresh/"};
    EXPECT_TRUE(isNewProgramFolder(fresh));
    createDataFolders(fresh);
    EXPECT_FALSE(isNewProgramFolder(fresh));

    const std::vector<SentenceRow> rows = welcomeRows(spansFor(sentenceCount()), 50000);
    QString error;
    ASSERT_TRUE(writeWelcomeUnit(folder, rows, &error)) << error.toStdString();
    const QByteArray written = readAll(welcomeUnitPath(folder));
    EXPECT_FALSE(writeWelcomeUnit(folder, {}, &error));
    EXPECT_TRUE(error.contains("exists already"));
    EXPECT_EQ(readAll(welcomeUnitPath(folder)), written);

    library.ScanDataFolder();
    EXPECT_EQ(library.startPosition(), 0);
    library.setStartUnit(kWelcomeUnitName);
    ASSERT_GT(library.startPosition(), 0);
    ASSERT_TRUE(library.OpenUnit(library.startPosition()));
    EXPECT_EQ(library.unitName(), kWelcomeUnitName);
    EXPECT_EQ(library.header(), kWelcomeHeader);
    // Every sentence is today's work: the first dictation can start at once.
    EXPECT_EQ(library.lastFigures().todayTotal, int(sentenceCount()));
    EXPECT_EQ(table.rowCount(), int(rows.size()));
    EXPECT_EQ(table.field(1, Text), welcomeSections().front().sentences.front().text);
}
