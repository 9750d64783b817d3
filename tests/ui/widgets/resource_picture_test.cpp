// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/resource_picture.h"

#include <QFile>

#include <gtest/gtest.h>

namespace dictora {
namespace {

TEST(ResourcePicture, ToolbarButtonsAreThirtyTwoSquare)
{
    for (int number : {202, 203, 204, 205, 206, 225, 226, 227, 228, 241}) {
        const QImage picture = LoadResourcePicture(number);
        ASSERT_FALSE(picture.isNull()) << number;
        EXPECT_EQ(picture.size(), QSize(32, 32)) << number;
        EXPECT_TRUE(picture.hasAlphaChannel()) << number;
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << number; // round, see-through corners
    }
}

TEST(ResourcePicture, PauseSignTipBackgroundAndIcon)
{
    EXPECT_EQ(LoadResourcePicture(res::kPauseSign).size(), QSize(128, 128));
    const QImage tip = LoadResourcePicture(res::kTipBackground);
    EXPECT_EQ(tip.height(), 42);
    EXPECT_GT(qAlpha(tip.pixel(tip.width() / 2, 21)), 200);
    EXPECT_EQ(LoadResourcePicture(res::kProgramIcon, QStringLiteral("ICON")).size(),
              QSize(256, 256));
    EXPECT_TRUE(QFile::exists(resourcePath(res::kRecordStartCue, QStringLiteral("WAVE"))));
}

TEST(ResourcePicture, MissingResourceGivesNothing)
{
    EXPECT_TRUE(LoadResourcePicture(999).isNull());
    EXPECT_TRUE(LoadResourcePicture(202, QStringLiteral("JPEG")).isNull());
}

} // namespace
} // namespace dictora
