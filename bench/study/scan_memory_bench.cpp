// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of the start-up scan of 300 Units of 2,000 rows, in a program
// of its own so that nothing else has raised the high-water mark before.
#include "unit_folder.h"

#include "core/study/program_folder.h"
#include "core/study/unit_library.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace dictora;
using namespace dictora::bench;

namespace {

void BM_ScanDataFolder300x2000_PeakMemory(benchmark::State& run)
{
    const TimeValue now = 1781500000;
    QTemporaryDir dir;
    ProgramFolder folder{dir.path() + QStringLiteral("/")};
    createDataFolders(folder);
    writeUnitFolder(folder.dataFolder(), 300, 2000, now);
    const double before = peakMemoryMb();
    StudyState state;
    state.now = QDateTime::fromSecsSinceEpoch(now);
    SentenceTable table;
    UnitLibrary library(folder, state, table);
    for (auto _ : run)
        library.ScanDataFolder();
    run.counters["peak_MB_before_scan"] = before;
    run.counters["peak_MB"] = peakMemoryMb();
}
BENCHMARK(BM_ScanDataFolder300x2000_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
