// SPDX-License-Identifier: GPL-3.0-or-later
// Time from starting dictora until its study screen is first painted
// (target: under 300 ms), with a program folder that has its (empty) data
// folders, and the first start with a new program folder, which speaks the
// welcome Unit first. Runs offscreen unless DISPLAY is set, e.g. under
// xvfb-run.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void StartupToFirstFrame(benchmark::State& state)
{
    const bool firstStart = state.range(0) != 0;
    double insideMs = 0;
    int runs = 0;
    for (auto _ : state) {
        QTemporaryDir temp;
        const QString runtime = temp.filePath(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        const QString home = temp.filePath(QStringLiteral("home"));
        if (!firstStart)
            QDir().mkpath(home + QStringLiteral("/Data"));
        env.insert(QStringLiteral("DICTORA_HOME"), home);
        env.insert(QStringLiteral("DICTORA_REPORT_FIRST_FRAME"), QStringLiteral("1"));
        if (!env.contains(QStringLiteral("DISPLAY")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

        QProcess program;
        program.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        program.start(QStringLiteral(DICTORA_PROGRAM), {});
        QByteArray out;
        while (!out.contains('\n') && program.waitForReadyRead(10000))
            out += program.readAllStandardOutput();
        const double wallMs = clock.nsecsElapsed() / 1e6;
        program.waitForFinished(10000);
        if (!out.startsWith("first-frame-ms ")) {
            state.SkipWithError("dictora did not report its first frame");
            break;
        }
        insideMs += out.mid(15).trimmed().split(' ').value(0).toDouble();
        ++runs;
        state.SetIterationTime(wallMs / 1000.0);
    }
    if (runs > 0)
        state.counters["main_to_paint_ms"] = insideMs / runs;
}

BENCHMARK(StartupToFirstFrame)
    ->ArgName("first_start")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
