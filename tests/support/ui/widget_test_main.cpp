// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media_runtime.h"
#include "ui/widgets/ui_font.h"

#include <QApplication>

#include <gtest/gtest.h>

// The main of every widget test program: one QApplication for the whole run,
// the fonts the windows ask for, and GStreamer for the tests that make or
// play media.
int main(int argc, char** argv)
{
    // Tests draw offscreen, also when CTest lists them without its environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dictora::installFontSubstitutions();
    dictora::test::ensureMediaRuntime();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
