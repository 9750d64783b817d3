// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main() of a benchmark that times widgets: its own QApplication, drawing
// offscreen unless a platform is named, with the program's fonts.
#include "ui/widgets/ui_font.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#define DICTORA_WIDGET_BENCHMARK_MAIN()                                                            \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        dictora::installFontSubstitutions();                                                       \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
