// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/resource_picture.h"

#include <QFile>

#include <cstdlib>

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

TEST(ResourcePicture, ScaledDesktopsGetTheSharpTwinOfEveryPicture)
{
    for (int number : {202, 203, 204, 205, 206, 225, 226, 227, 228, 241, 257, 260}) {
        const QString plain = resourcePath(number, QStringLiteral("PNG"));
        EXPECT_EQ(resourcePathForRatio(number, QStringLiteral("PNG"), 1.0), plain) << number;
        EXPECT_EQ(resourcePathForRatio(number, QStringLiteral("PNG"), 1.25), plain) << number;
        const QString sharp = resourcePathForRatio(number, QStringLiteral("PNG"), 2.0);
        ASSERT_EQ(sharp, plain + QStringLiteral("@2x")) << number;
        // The same picture at twice the pixels, not merely a bigger one.
        const QImage small(plain);
        QImage big(sharp);
        ASSERT_EQ(big.size(), small.size() * 2) << number;
        const QImage halved = big.scaled(small.size(), Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation)
                                  .convertToFormat(QImage::Format_ARGB32);
        const QImage reference = small.convertToFormat(QImage::Format_ARGB32);
        int far = 0;
        for (int y = 0; y < reference.height(); ++y)
            for (int x = 0; x < reference.width(); ++x)
                if (std::abs(qAlpha(halved.pixel(x, y)) - qAlpha(reference.pixel(x, y))) > 64)
                    ++far;
        EXPECT_LT(far, reference.width() * reference.height() / 50) << number;
    }
    // A resource without a twin keeps its one picture at any scale.
    const QString icon = resourcePath(res::kProgramIcon, QStringLiteral("ICON"));
    EXPECT_EQ(resourcePathForRatio(res::kProgramIcon, QStringLiteral("ICON"), 2.0), icon);
}

TEST(ResourcePicture, MissingResourceGivesNothing)
{
    EXPECT_TRUE(LoadResourcePicture(999).isNull());
    EXPECT_TRUE(LoadResourcePicture(202, QStringLiteral("JPEG")).isNull());
}

} // namespace
} // namespace dictora
