#include "ui/shell/ui_font.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole run.
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
