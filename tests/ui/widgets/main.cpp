// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/widgets/ui_font.h"

#include <QApplication>

#include <gtest/gtest.h>

// One QApplication for the whole run and the fonts the widgets ask for; no
// window of the study screen is linked in.
int main(int argc, char** argv)
{
    // Tests draw offscreen, also when CTest lists them without its environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dictora::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
