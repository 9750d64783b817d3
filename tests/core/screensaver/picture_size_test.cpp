// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/screensaver/picture_size.h"

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(PictureSize, RefusesPicturesAboveAHundredMegapixels)
{
    EXPECT_FALSE(isPictureRefused(QSize(10000, 10000)));
    EXPECT_TRUE(isPictureRefused(QSize(10000, 10001)));
    EXPECT_TRUE(isPictureRefused(QSize(60000, 60000)));
    // Sides whose product does not fit in 32 bits.
    EXPECT_TRUE(isPictureRefused(QSize(65535, 65535)));
    EXPECT_TRUE(isPictureRefused(QSize()));
    EXPECT_TRUE(isPictureRefused(QSize(0, 10)));
}

TEST(PictureSize, DecodesAtMostTheScreen)
{
    struct Case {
        const char* name;
        QSize picture, screen, decoded;
    };
    const Case cases[] = {
        {"a camera's picture", {6000, 4000}, {1922, 1082}, {1922, 1082}},
        {"a smaller picture keeps its size", {640, 480}, {1922, 1082}, {640, 480}},
        {"a panorama", {20000, 900}, {1922, 1082}, {1922, 900}},
        {"no screen yet", {6000, 4000}, {}, {6000, 4000}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pictureDecodeSize(c.picture, c.screen), c.decoded) << c.name;
}

} // namespace
} // namespace dictora
