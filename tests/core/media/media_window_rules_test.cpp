// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/voice_choice.h"
#include "core/media/pause_picture.h"

#include <gtest/gtest.h>

using namespace dictora;

TEST(VoiceChoice, WideCharactersMustOutnumberNarrowOnes)
{
    EXPECT_EQ(voiceLanguageFor("你好"), VoiceLanguage::Chinese);
    EXPECT_EQ(voiceLanguageFor("你好 ok"), VoiceLanguage::English); // 2 against 2
    EXPECT_EQ(voiceLanguageFor("我爱 NY"), VoiceLanguage::English);
    EXPECT_EQ(voiceLanguageFor("我很爱 NY"), VoiceLanguage::Chinese);
    EXPECT_EQ(voiceLanguageFor("   \u3000 "), VoiceLanguage::English); // blanks count for neither
    EXPECT_EQ(voiceLanguageFor("你好\u3000\u3000\u3000!"), VoiceLanguage::Chinese);
    EXPECT_EQ(voiceLanguageFor("café"), VoiceLanguage::English);
    EXPECT_EQ(voiceLanguageFor(QString::fromUtf8("\xF0\xA0\x80\x80 a")), VoiceLanguage::English);
    EXPECT_EQ(voiceLanguageFor(QString::fromUtf8("\xF0\xA0\x80\x80\xF0\xA0\x80\x81 a")),
              VoiceLanguage::Chinese);
}

TEST(PausePicture, SitsInTheBottomLeftCornerAndGrowsSlowly)
{
    EXPECT_EQ(pausePictureRect({500, 300}), QRect(10, 208, 82, 82));
    EXPECT_EQ(pausePictureRect({80, 200}), QRect(10, 130, 60, 60));
    EXPECT_EQ(pausePictureRect({1920, 1080}), QRect(10, 910, 160, 160));
}
