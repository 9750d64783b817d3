// SPDX-License-Identifier: GPL-3.0-or-later
#include "sentence_list_fixture.h"

#include "core/study/review_marks.h"
#include "core/study/unit_library.h"
#include "ui/study/progress_panel.h"
#include "ui/study/status_item.h"

#include <QHelpEvent>
#include <QImage>
#include <QToolTip>

namespace dictora {
namespace {

class SentenceRowDrawing : public test::SentenceListFixture {
protected:
    QImage shot()
    {
        // Pictures of outlined texts left for later are made now.
        list().viewport()->repaint();
        QCoreApplication::processEvents();
        return list().viewport()->grab().toImage();
    }
    int rowMiddle(int row) { return list().visualRect(table.index(row, 0)).center().y(); }
    int rowTop(int row) { return list().visualRect(table.index(row, 0)).top(); }
    // Pixels of the row's text line, from x to 400, in the text's own
    // yellow of the current row.
    int yellowPixels(const QImage& image, int row, int x)
    {
        int count = 0;
        for (int y = rowTop(row) + 5; y < rowTop(row) + 30; ++y) {
            for (int i = x; i < 400; ++i) {
                const QColor c = image.pixelColor(i, y);
                count += c.red() > 200 && c.green() > 200 && c.blue() < 190;
            }
        }
        return count;
    }
};

TEST_F(SentenceRowDrawing, BackgroundsMarkersColumnsAndTheHiddenSentence)
{
    const QString today = state.now.toString(QStringLiteral("yyyyMMdd"));
    table.setField(2, Done, QStringLiteral("1"));
    table.setField(2, Level, QStringLiteral("1"));
    table.setField(2, StudiedAt, today + QStringLiteral("080000"));
    table.setField(4, Level, QStringLiteral("3"));
    QImage image = shot();

    // A title band in Browse mode is grey; a sentence row has the list colour.
    const QColor title = image.pixelColor(900, rowMiddle(0));
    EXPECT_NEAR(title.red(), title.blue(), 12);
    EXPECT_GT(title.red(), 190);
    EXPECT_EQ(image.pixelColor(900, rowMiddle(1)), QColor(209, 237, 212));
    // Markers: learned today at a low level is red, learned before green,
    // new only the light strip.
    const QColor red = image.pixelColor(2, rowTop(2) + 4);
    EXPECT_GT(red.red(), red.green() + 40);
    const QColor green = image.pixelColor(2, rowTop(4) + 4);
    EXPECT_GT(green.green(), green.red() + 40);
    const QColor plain = image.pixelColor(2, rowTop(1) + 4);
    EXPECT_NEAR(plain.blue(), 255, 6);

    // The current row: blue band, its text in light yellow.
    clickRow(1);
    image = shot();
    const QColor band = image.pixelColor(900, rowTop(1) + 3);
    EXPECT_GT(band.blue(), 200);
    EXPECT_LT(band.red(), 120);
    EXPECT_GT(yellowPixels(image, 1, 30), 20);

    // Dictation mode hides the sentence being dictated, not its band.
    state.dictationMode = true;
    image = shot();
    EXPECT_EQ(yellowPixels(image, 1, 30), 0);
    EXPECT_GT(image.pixelColor(900, rowTop(1) + 3).blue(), 200);
    state.dictationMode = false;

    // Edit mode: pink title bands, time columns with their grey edges, the
    // bar under the chosen point.
    state.editMode = true;
    list().selectedPoint = 2;
    image = shot();
    const QColor pink = image.pixelColor(900, rowMiddle(0) + 10);
    EXPECT_GT(pink.red(), 230);
    EXPECT_LT(pink.green(), 200);
    EXPECT_EQ(image.pixelColor(179, rowMiddle(2)), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(250, rowTop(1) + 33), QColor(255, 128, 255));
    EXPECT_NE(image.pixelColor(100, rowTop(1) + 33), QColor(255, 128, 255));
    // The times and, after their columns, the text.
    EXPECT_GT(yellowPixels(image, 1, 30) - yellowPixels(image, 1, 180), 20);
    EXPECT_GT(yellowPixels(image, 1, 331), 20);
}

TEST_F(SentenceRowDrawing, RowWaitingForALookIsBandedUntilSeenInEditMode)
{
    library->reviewMarks().mark(2, ReviewReason::ReadFromPicture);
    library->autosaveStep();
    const QString marksFile = reviewMarksPath(library->unitFilePath());
    ASSERT_TRUE(QFile::exists(marksFile));
    StatusItem* mode = panel->progressPanel()->item(StatusItemType::Mode);
    const auto amber = [&](int row) {
        const QColor c = shot().pixelColor(4, rowTop(row) + 10);
        return c.red() > 240 && c.green() > 150 && c.green() < 200 && c.blue() < 40;
    };
    EXPECT_TRUE(amber(2));
    EXPECT_FALSE(amber(1));
    mode->tick();
    EXPECT_EQ(mode->value(), "1 句待核对");
    QHelpEvent help(QEvent::ToolTip, rowPoint(2, 15),
                    list().viewport()->mapToGlobal(rowPoint(2, 15)));
    QApplication::sendEvent(list().viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "文字识别的句子, 请核对");

    // Selected in Edit mode, the row has had the learner's look.
    list().toggleEdit();
    EXPECT_TRUE(amber(2));
    clickRow(2);
    EXPECT_FALSE(amber(2));
    mode->tick();
    EXPECT_EQ(mode->value(), "");
    library->autosaveStep();
    EXPECT_FALSE(QFile::exists(marksFile));
}

} // namespace
} // namespace dictora
