// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/screensaver/picture_list.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace dictora {
namespace {

// An empty name stands for the gradient.
QStringList shownOver(PictureList& list, int redraws)
{
    QStringList shown;
    for (int i = 0; i < redraws; ++i)
        shown << list.takeNext();
    return shown;
}

bool writeFile(const QString& path, const QByteArray& bytes = "picture")
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

TEST(PictureList, CyclesThroughThePicturesWithTheGradientOnceBetweenRounds)
{
    struct Case {
        const char* name;
        QStringList pictures;
        int redraws;
        QStringList shown;
    };
    const QStringList three{"dsc1.jpg", "dsc2.jpg", "dsc3.jpg"};
    const Case cases[] = {
        {"three pictures", three, 6, {"", "dsc1.jpg", "dsc2.jpg", "dsc3.jpg", "", "dsc1.jpg"}},
        {"one picture", {"dsc1.jpg"}, 4, {"", "dsc1.jpg", "", "dsc1.jpg"}},
        {"no pictures", {}, 3, {"", "", ""}},
    };
    for (const Case& c : cases) {
        PictureList list(c.pictures);
        EXPECT_EQ(shownOver(list, c.redraws), c.shown) << c.name;
    }
}

TEST(PictureList, KeepsAHundredSlotsAndIgnoresTheHundredAndFirst)
{
    QTemporaryDir cfg;
    for (int i = 0; i <= PictureList::kSlots; ++i)
        ASSERT_TRUE(
            writeFile(cfg.filePath(QStringLiteral("dsc%1.png").arg(i, 3, 10, QLatin1Char('0')))));
    ASSERT_TRUE(writeFile(cfg.filePath("Tip.wav")));
    ASSERT_TRUE(writeFile(cfg.filePath("Dsc000a.jpg")));
    QDir(cfg.path()).mkdir("dsc_folder");

    const QStringList files = PictureList::pictureFiles(cfg.path());
    ASSERT_EQ(files.size(), PictureList::kSlots);
    EXPECT_EQ(files.first(), "dsc000.png");
    // Listed by name without regard to case; the last of 102 is left out.
    EXPECT_TRUE(files.contains("Dsc000a.jpg"));
    EXPECT_FALSE(files.contains("dsc099.png"));
    EXPECT_FALSE(files.contains("dsc100.png"));

    PictureList full(files);
    EXPECT_EQ(full.add(cfg.path(), cfg.filePath("Tip.wav")).result, PictureList::AddResult::Full);
    EXPECT_EQ(full.names().size(), PictureList::kSlots);
    EXPECT_FALSE(QFile::exists(cfg.filePath("DscTip.wav")));
}

TEST(PictureList, AddingCopiesAsDscAndShowsItNext)
{
    QTemporaryDir cfg, chosen;
    ASSERT_TRUE(writeFile(chosen.filePath("beach.jpg"), "new beach"));
    PictureList list({"dsc1.jpg"});

    const PictureList::Added added = list.add(cfg.path(), chosen.filePath("beach.jpg"));
    EXPECT_EQ(added.result, PictureList::AddResult::Added);
    EXPECT_EQ(added.name, "Dscbeach.jpg");
    EXPECT_TRUE(added.copied);
    EXPECT_EQ(list.names(), QStringList({"dsc1.jpg", "Dscbeach.jpg"}));
    EXPECT_EQ(list.takeNext(), "Dscbeach.jpg");
}

TEST(PictureList, AddingAnAlreadyListedNameCopiesNothingAndShowsTheListedOne)
{
    QTemporaryDir cfg, chosen;
    ASSERT_TRUE(writeFile(cfg.filePath("Dscbeach.jpg"), "the listed one"));
    ASSERT_TRUE(writeFile(chosen.filePath("beach.jpg"), "another beach"));
    PictureList list({"Dscbeach.jpg", "dsc2.jpg"});

    const PictureList::Added added = list.add(cfg.path(), chosen.filePath("beach.jpg"));
    EXPECT_EQ(added.result, PictureList::AddResult::AlreadyListed);
    EXPECT_FALSE(added.copied);
    EXPECT_EQ(list.names().size(), 2);
    EXPECT_EQ(list.takeNext(), "Dscbeach.jpg");
    QFile kept(cfg.filePath("Dscbeach.jpg"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the listed one");
}

TEST(PictureList, AFailedCopyStillListsTheNameButOverwritesNothing)
{
    QTemporaryDir cfg, chosen;
    // A file of that name that the list does not hold (beyond the 100 slots).
    ASSERT_TRUE(writeFile(cfg.filePath("Dscbeach.jpg"), "older file"));
    ASSERT_TRUE(writeFile(chosen.filePath("beach.jpg"), "newer file"));
    PictureList list;

    const PictureList::Added added = list.add(cfg.path(), chosen.filePath("beach.jpg"));
    EXPECT_EQ(added.result, PictureList::AddResult::Added);
    EXPECT_FALSE(added.copied);
    EXPECT_EQ(list.names(), QStringList({"Dscbeach.jpg"}));
    QFile kept(cfg.filePath("Dscbeach.jpg"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "older file");
}

TEST(PictureList, RemovingTakesThePictureOnTheScreenAndShowsTheOneAfterIt)
{
    QTemporaryDir cfg;
    for (const char* name : {"dsc1.jpg", "dsc2.jpg", "dsc3.jpg"})
        ASSERT_TRUE(writeFile(cfg.filePath(name)));
    PictureList list({"dsc1.jpg", "dsc2.jpg", "dsc3.jpg"});
    EXPECT_EQ(shownOver(list, 3), QStringList({"", "dsc1.jpg", "dsc2.jpg"}));

    EXPECT_EQ(list.removeShown(cfg.path()), "dsc2.jpg");
    EXPECT_FALSE(QFile::exists(cfg.filePath("dsc2.jpg")));
    EXPECT_EQ(list.names(), QStringList({"dsc1.jpg", "dsc3.jpg"}));
    EXPECT_EQ(list.takeNext(), "dsc3.jpg");
}

TEST(PictureList, RemovingWhileTheGradientIsShownDoesNothing)
{
    QTemporaryDir cfg;
    ASSERT_TRUE(writeFile(cfg.filePath("dsc1.jpg")));
    PictureList list({"dsc1.jpg"});
    EXPECT_EQ(list.takeNext(), ""); // the gradient; index 0
    EXPECT_EQ(list.index(), 0);

    EXPECT_EQ(list.removeShown(cfg.path()), "");
    EXPECT_EQ(list.names(), QStringList({"dsc1.jpg"}));
    EXPECT_TRUE(QFile::exists(cfg.filePath("dsc1.jpg")));
    EXPECT_EQ(list.index(), 0);
}

} // namespace
} // namespace dictora
