// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the study data core on the figures a learner's data reaches.
#include "unit_folder.h"

#include "core/study/program_folder.h"
#include "core/study/unit_library.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace dictora;
using namespace dictora::bench;

namespace {

const TimeValue kNow = 1781500000; // mid-June 2026

struct Home {
    QTemporaryDir dir;
    ProgramFolder folder{dir.path() + QStringLiteral("/")};
    StudyState state;
    SentenceTable table;
    UnitLibrary library{folder, state, table};

    Home()
    {
        createDataFolders(folder);
        state.now = QDateTime::fromSecsSinceEpoch(kNow);
    }
};

// Opening a Unit of 10,000 rows: read with the daily review on every
// sentence, then the save-and-progress pass and the write. "changed": every
// round rewrites the file (a sentence was answered); "unchanged": the bytes
// on disk are already what the save produces.
void openLargeUnit(benchmark::State& run, bool changed)
{
    Home home;
    writeUnitFolder(home.folder.dataFolder(), 1, 10000, kNow);
    home.library.listDataFolder();
    home.library.OpenUnit(1);
    int round = 0;
    for (auto _ : run) {
        if (changed) {
            run.PauseTiming();
            home.table.setField(1, Text, QStringLiteral("answered %1").arg(++round));
            home.library.SaveUnit();
            home.table.clear();
            run.ResumeTiming();
        }
        home.library.CloseUnit();
        home.state.unitFilePath = home.library.unitPath(home.library.unitNames().at(1));
        home.library.LoadUnit();
        if (changed)
            home.table.setField(1, Text, QStringLiteral("answered again %1").arg(round));
        if (!home.library.SaveUnit())
            run.SkipWithError("save failed");
    }
    run.counters["rows"] = home.table.rowCount();
}
void BM_OpenUnit10000Rows_Changed(benchmark::State& run)
{
    openLargeUnit(run, true);
}
void BM_OpenUnit10000Rows_Unchanged(benchmark::State& run)
{
    openLargeUnit(run, false);
}
BENCHMARK(BM_OpenUnit10000Rows_Changed)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_OpenUnit10000Rows_Unchanged)->Unit(benchmark::kMillisecond)->Iterations(30);

// The floor the scan is measured against: reading the same bytes, every Unit
// file of the folder opened and read whole, nothing done with them.
qint64 readEveryFile(const QString& folder)
{
    qint64 total = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            total += file.readAll().size();
    }
    return total;
}

// The start-up scan of 300 Units of 2,000 rows. "rewrite": every file
// changes on the scan (fresh copies each round, restored outside the
// timing); "nochange": the second and later scans find nothing to write.
// The plain read of the same files is timed with the same rounds (read_ms,
// per round) and set beside the scan (scan_per_read: scan time / read time).
void scanDataFolder(benchmark::State& run, bool rewrite)
{
    Home home;
    QTemporaryDir pristine;
    writeUnitFolder(pristine.path(), 300, 2000, kNow);
    copyFolder(pristine.path(), home.folder.dataFolder());
    if (!rewrite)
        home.library.ScanDataFolder();
    double scanMs = 0;
    double readMs = 0;
    qint64 bytes = 0;
    for (auto _ : run) {
        if (rewrite) {
            run.PauseTiming();
            copyFolder(pristine.path(), home.folder.dataFolder());
            run.ResumeTiming();
        }
        QElapsedTimer scan;
        scan.start();
        home.library.ScanDataFolder();
        scanMs += double(scan.nsecsElapsed()) / 1e6;
        run.PauseTiming();
        if (rewrite)
            copyFolder(pristine.path(), home.folder.dataFolder());
        QElapsedTimer read;
        read.start();
        bytes = readEveryFile(home.folder.dataFolder());
        readMs += double(read.nsecsElapsed()) / 1e6;
        run.ResumeTiming();
    }
    run.counters["units"] = home.library.unitCount() - 1;
    run.counters["MB"] = double(bytes) / (1024 * 1024);
    run.counters["read_ms"] = readMs / double(run.iterations());
    run.counters["scan_ms"] = scanMs / double(run.iterations());
    run.counters["scan_per_read"] = scanMs / readMs;
}
void BM_ScanDataFolder300x2000_Rewrite(benchmark::State& run)
{
    scanDataFolder(run, true);
}
void BM_ScanDataFolder300x2000_NoChange(benchmark::State& run)
{
    scanDataFolder(run, false);
}
BENCHMARK(BM_ScanDataFolder300x2000_Rewrite)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ScanDataFolder300x2000_NoChange)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
