// SPDX-License-Identifier: GPL-3.0-or-later
#include "input_method_desktop.h"

#include "support/media_runtime.h"
#include "ui/widgets/ui_font.h"

#include <QApplication>

#include <gtest/gtest.h>

// The program draws on its own X server, with fcitx5 as the input method of
// its session; listing the tests needs neither.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    dictora::test::InputMethodDesktop desktop;
    desktop.start();
    QApplication app(argc, argv);
    dictora::installFontSubstitutions();
    dictora::test::ensureMediaRuntime();
    dictora::test::InputMethodDesktop::current = &desktop;
    return RUN_ALL_TESTS();
}
