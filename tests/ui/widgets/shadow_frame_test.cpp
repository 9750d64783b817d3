// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/shadow_frame.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace dictora {
namespace {

QImage shadow(int w, int h, int S, int G = 128)
{
    return drawLayeredPicture(
        QSize(w, h), [&](QPainter& p, const QSize& size) { drawShadowFrame(p, size, S, G); });
}

int alphaAt(const QImage& image, int x, int y)
{
    return qAlpha(image.pixel(x, y));
}

bool isGrey(const QImage& image, int x, int y, int level)
{
    const QColor c = image.pixelColor(x, y);
    return std::abs(c.red() - level) <= 1 && std::abs(c.green() - level) <= 1 &&
           std::abs(c.blue() - level) <= 1;
}

TEST(ShadowFrame, HundredBySixtyHasGreyCentreAndTransparentRim)
{
    const QImage image = shadow(100, 60, 9);
    ASSERT_EQ(image.size(), QSize(100, 60));

    // The centre (9, 9, 83, 43) is grey and at least as dense as its fill;
    // inside the edge bands it is exactly the fill's alpha.
    for (int y = 9; y < 9 + 43; ++y) {
        for (int x = 9; x < 9 + 83; ++x) {
            ASSERT_TRUE(isGrey(image, x, y, 128)) << x << "," << y;
            ASSERT_GE(alphaAt(image, x, y), 191) << x << "," << y;
            if (x < 91 && y < 51) {
                ASSERT_NEAR(alphaAt(image, x, y), 192, 1) << x << "," << y;
            }
        }
    }
    // The outermost ring of pixels is fully transparent.
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(alphaAt(image, x, 0), 0) << x;
        EXPECT_EQ(alphaAt(image, x, 59), 0) << x;
    }
    for (int y = 0; y < 60; ++y) {
        EXPECT_EQ(alphaAt(image, 0, y), 0) << y;
        EXPECT_EQ(alphaAt(image, 99, y), 0) << y;
    }
}

TEST(ShadowFrame, EdgesFadeOutwardsAndCornersMatchThem)
{
    const QImage image = shadow(100, 60, 9);
    // Each edge grows denser towards the inside, to the inner colour's 250.
    for (int x = 1; x < 9; ++x) {
        EXPECT_GT(alphaAt(image, x, 30), alphaAt(image, x - 1, 30));        // left
        EXPECT_GT(alphaAt(image, 99 - x, 30), alphaAt(image, 100 - x, 30)); // right
    }
    for (int y = 1; y < 9; ++y) {
        EXPECT_GT(alphaAt(image, 50, y), alphaAt(image, 50, y - 1));       // top
        EXPECT_GT(alphaAt(image, 50, 59 - y), alphaAt(image, 50, 60 - y)); // bottom
    }
    EXPECT_NEAR(alphaAt(image, 8, 30), 250, 2);
    EXPECT_NEAR(alphaAt(image, 50, 8), 250, 2);
    EXPECT_TRUE(isGrey(image, 4, 30, 128));

    // Corners: symmetric, dense at the inner corner, empty at the outer one.
    EXPECT_EQ(alphaAt(image, 0, 0), 0);
    EXPECT_GT(alphaAt(image, 8, 8), 200);
    EXPECT_NEAR(alphaAt(image, 5, 5), alphaAt(image, 94, 5), 3);
    EXPECT_NEAR(alphaAt(image, 5, 5), alphaAt(image, 5, 54), 3);
    EXPECT_NEAR(alphaAt(image, 5, 5), alphaAt(image, 94, 54), 3);
    // Along the diagonal the corner fades like the edges do.
    EXPECT_GT(alphaAt(image, 7, 7), alphaAt(image, 4, 4));
    EXPECT_GT(alphaAt(image, 4, 4), alphaAt(image, 2, 2));
}

TEST(ShadowFrame, GreyLevelColoursTheRim)
{
    const QImage image = shadow(60, 40, 6, 40);
    EXPECT_TRUE(isGrey(image, 3, 20, 40));
    EXPECT_TRUE(isGrey(image, 30, 20, 128)); // the centre keeps its own grey
}

TEST(ShadowFrame, SurroundsThePopupAndRedrawsAtItsSize)
{
    ShadowFrame frame(nullptr);
    frame.setShadowWidth(9);
    frame.surround(QRect(200, 100, 82, 42));
    EXPECT_EQ(frame.geometry(), QRect(191, 91, 100, 60));
    EXPECT_EQ(frame.picture().size(), QSize(100, 60));
    EXPECT_EQ(qAlpha(frame.picture().pixel(50, 30)), 192);
}

} // namespace
} // namespace dictora
