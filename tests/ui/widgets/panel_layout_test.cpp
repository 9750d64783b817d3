// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/panel_layout.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

// A 1600 x 900 screen with the panel below a 30-pixel caption.
PanelLayoutInput input()
{
    PanelLayoutInput in;
    in.screen = QSize(1600, 900);
    in.panel = QRect(0, 30, 1600, 830);
    in.dictationFormExists = true;
    return in;
}

TEST(LayoutFloating, SkipsWithoutFormOrPanelSize)
{
    PanelLayoutInput in = input();
    in.dictationFormExists = false;
    EXPECT_TRUE(layoutFloating(in).skipped);

    in = input();
    in.panel = QRect(0, 0, 0, 500); // minimised frame
    EXPECT_TRUE(layoutFloating(in).skipped);
    in.panel = QRect(0, 0, 500, -3);
    EXPECT_TRUE(layoutFloating(in).skipped);
}

TEST(LayoutFloating, FloatingCoversPanelOrWholeScreen)
{
    PanelLayoutInput in = input();
    FloatingPlacement out = layoutFloating(in);
    EXPECT_FALSE(out.skipped);
    EXPECT_EQ(out.screensaver, QRect(0, 30, 1600, 830));
    EXPECT_FALSE(out.mediaWindow.has_value());
    EXPECT_FALSE(out.dictationForm.has_value());
    EXPECT_TRUE(out.formPlacesItself);

    in.screensaverRunning = true;
    in.mediaEnlarged = true;
    out = layoutFloating(in);
    EXPECT_EQ(out.screensaver, QRect(-1, -1, 1602, 902));
    EXPECT_EQ(out.mediaWindow, QRect(-1, -1, 1602, 902));
    EXPECT_TRUE(out.formPlacesItself);
}

TEST(LayoutFloating, DockedInPanelTopStripIsOnePixelTaller)
{
    PanelLayoutInput in = input();
    in.compactLayout = false;
    in.dockedAtTop = true;
    FloatingPlacement out = layoutFloating(in);
    EXPECT_EQ(out.dictationForm, QRect(0, 30, 1600, 193));
    EXPECT_EQ(out.screensaver, QRect(0, 222, 1600, 638));
    EXPECT_FALSE(out.mediaWindow.has_value());
    EXPECT_FALSE(out.formPlacesItself);

    in.dockedAtTop = false;
    out = layoutFloating(in);
    EXPECT_EQ(out.dictationForm, QRect(0, 668, 1600, 192));
    EXPECT_EQ(out.screensaver, QRect(0, 30, 1600, 638));
}

TEST(LayoutFloating, DockedAcrossScreenWhenEnlargedOrScreensaver)
{
    PanelLayoutInput in = input();
    in.compactLayout = false;
    in.mediaEnlarged = true;
    in.screensaverRunning = true; // the enlarged media window wins
    FloatingPlacement out = layoutFloating(in);
    EXPECT_EQ(out.dictationForm, QRect(0, 0, 1600, 192));
    EXPECT_EQ(out.mediaWindow, QRect(-1, 192, 1602, 709));
    EXPECT_FALSE(out.screensaver.has_value());

    in.dockedAtTop = false;
    out = layoutFloating(in);
    EXPECT_EQ(out.dictationForm, QRect(0, 708, 1600, 192));
    EXPECT_EQ(out.mediaWindow, QRect(-1, -1, 1602, 709));

    in.mediaEnlarged = false;
    out = layoutFloating(in);
    EXPECT_EQ(out.dictationForm, QRect(0, 708, 1600, 192));
    EXPECT_EQ(out.screensaver, QRect(-1, -1, 1602, 709));
    EXPECT_FALSE(out.mediaWindow.has_value());

    in.dockedAtTop = true;
    out = layoutFloating(in);
    EXPECT_EQ(out.dictationForm, QRect(0, 0, 1600, 192));
    EXPECT_EQ(out.screensaver, QRect(-1, 192, 1602, 709));
}

TEST(SentenceListRect, FillsPanelOrLeavesTheStrip)
{
    const QSize panel(1200, 700);
    EXPECT_EQ(sentenceListRect(panel, true, true), QRect(0, 0, 1200, 700));
    EXPECT_EQ(sentenceListRect(panel, true, false), QRect(0, 0, 1200, 700));
    EXPECT_EQ(sentenceListRect(panel, false, true), QRect(0, 192, 1200, 508));
    EXPECT_EQ(sentenceListRect(panel, false, false), QRect(0, 0, 1200, 508));
    EXPECT_EQ(firstColumnWidth(1200), 1175);
}

TEST(DockSide, ChosenByTheFormsCentre)
{
    // Panel client top 30, height 800: centre at 430.
    EXPECT_TRUE(docksAtTop(100, 200, 30, 800));  // centre 200
    EXPECT_FALSE(docksAtTop(500, 200, 30, 800)); // centre 600: lower half
    EXPECT_FALSE(docksAtTop(330, 200, 30, 800)); // centre exactly 430: not above
    EXPECT_TRUE(docksAtTop(329, 200, 30, 800));
}

} // namespace
} // namespace dictora
