#include "support/media_runtime.h"
#include "ui/shell/ui_font.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need one QApplication for the whole run.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dictora::installFontSubstitutions();
    dictora::test::ensureMediaRuntime();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
