#include "ui/shell/ui_font.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole run.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    dictora::installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
