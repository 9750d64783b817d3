// SPDX-License-Identifier: GPL-3.0-or-later
// The sentence list with a 10,000-row Unit open, drawn offscreen at
// 1600 x 900: repainting one screenful, scrolling through the whole Unit a
// wheel step (3 rows) or a page at a time (targets: under 8 ms a frame), and
// opening the Unit from the pop-up up to the first painted list (target:
// under 60 ms); and a page jump to rows never drawn, every text outlined
// in the frame (target: under 8 ms).
#include "unit_folder.h"
#include "core/media/media_commands.h"
#include "core/media/speech_output.h"
#include "core/study/unit_file.h"
#include "support/ui/study_screen.h"
#include "ui/study/sentence_row_delegate.h"
#include "ui/study/sentence_list.h"
#include "ui/widgets/ui_font.h"
#include "ui/study/unit_list_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QScrollBar>

#include <ctime>

#include <benchmark/benchmark.h>

namespace dictora {
namespace {

constexpr int kRows = 10000;

// A media layer and a voice that answer at once and play nothing.
class SilentMedia : public MediaCommands {
public:
    QString send(const QString&) override { return {}; }
};
class SilentSpeech : public SpeechOutput {
public:
    void setSpeechText(const QString& text) override { text_ = text; }
    QString speechText() const override { return text_; }
    void requestSpeech() override {}
    void stopSpeaking() override {}
    bool speechPending() const override { return false; }
    void clearSpeechPending() override {}
    int speechPos() const override { return -1000; }
    int speechState() const override { return 0; }

private:
    QString text_;
};

// The study screen over a program folder holding one 10,000-row Unit.
struct BigUnitScreen : test::StudyScreen {
    SilentMedia media;
    SilentSpeech speech;

    BigUnitScreen()
    {
        const TimeValue now = state.now.toSecsSinceEpoch();
        QFile file(folder.dataFolder() + QStringLiteral("大单元.dat"));
        file.open(QIODevice::WriteOnly);
        file.write(encodeUnit(kNewUnitHeader, bench::typicalRows(kRows, 7, now), false));
        file.close();
        buildStudyScreen({.media = &media,
                          .speech = &speech,
                          .devicePlaysAtOnce = true,
                          .size = QSize(1600, 900)});
        showStudyScreen();
        QCoreApplication::processEvents();
    }
    ~BigUnitScreen() override { closeStudyScreen(); }
    SentenceList& list() { return *panel->sentenceList(); }
    void openBigUnit() { panel->unitList()->list()->setCurrentRow(1); }
    void openNotebook() { panel->unitList()->list()->setCurrentRow(0); }
    void paint() { list().viewport()->repaint(); }
};

BigUnitScreen& screen()
{
    static BigUnitScreen instance;
    return instance;
}

void setMode(bool edit)
{
    screen().state.editMode = edit;
    screen().state.dictationMode = false;
    screen().state.lineByLineMode = false;
}

void PaintScreenful(benchmark::State& bench)
{
    BigUnitScreen& s = screen();
    s.openBigUnit();
    setMode(bench.range(0) != 0);
    s.list().selectRow(kRows / 2);
    s.paint();
    for (auto _ : bench)
        s.paint();
    bench.counters["rows_shown"] = double(s.list().viewport()->height()) / 35;
}
BENCHMARK(PaintScreenful)->ArgName("edit")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One frame: the list moves by `step` rows and paints. As Qt scrolls, the
// rows still on the screen are moved as pixels and only the rows that came
// into view are drawn (exposed 1); exposed 0 draws the whole list each frame,
// as after a jump.
void ScrollThrough(benchmark::State& bench)
{
    BigUnitScreen& s = screen();
    s.openBigUnit();
    setMode(bench.range(1) != 0);
    QScrollBar* bar = s.list().verticalScrollBar();
    QWidget* view = s.list().viewport();
    const int step = int(bench.range(0));
    const bool exposedOnly = bench.range(2) != 0;
    bar->setValue(0);
    s.paint();
    double worstMs = 0;
    double idleMs = 0;
    for (auto _ : bench) {
        QElapsedTimer clock;
        clock.start();
        if (bar->value() >= bar->maximum()) {
            bar->setValue(0);
            s.paint();
        } else {
            bar->setValue(bar->value() + step);
            if (exposedOnly) {
                const int band = (step + 1) * SentenceList::kRowHeight;
                view->repaint(QRect(0, view->height() - band, view->width(), band));
            } else {
                s.paint();
            }
        }
        const double ms = clock.nsecsElapsed() / 1e6;
        worstMs = std::max(worstMs, ms);
        bench.SetIterationTime(ms / 1000);
        // Between frames the list finishes the outlined texts that the frame
        // drew plain; that work is counted apart.
        clock.restart();
        s.list().rowDelegate()->makeWaitingPictures(1000);
        idleMs += clock.nsecsElapsed() / 1e6;
    }
    bench.counters["worst_frame_ms"] = worstMs;
    bench.counters["between_frames_ms"] = idleMs / double(bench.iterations());
}
BENCHMARK(ScrollThrough)
    ->ArgNames({"rows_per_frame", "edit", "exposed"})
    ->Args({3, 0, 1})
    ->Args({3, 1, 1})
    ->Iterations(3000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollThrough)
    ->ArgNames({"rows_per_frame", "edit", "exposed"})
    ->Args({25, 0, 0})
    ->Args({25, 1, 0})
    ->Iterations(400)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A page jump to rows never drawn before, every text outlined within the
// frame itself (nothing left waiting for the time between frames). The
// thread's CPU time is printed beside the wall time, since on a shared
// machine the wall time also holds other programs' turns.
void PageJumpWithOutlines(benchmark::State& bench)
{
    BigUnitScreen& s = screen();
    s.openBigUnit();
    setMode(bench.range(0) != 0);
    QScrollBar* bar = s.list().verticalScrollBar();
    bar->setValue(0);
    s.paint();
    const int page = s.list().viewport()->height() / SentenceList::kRowHeight;
    double worstMs = 0;
    double cpuMs = 0;
    int framesLeavingPlain = 0;
    for (auto _ : bench) {
        s.list().rowDelegate()->clearCaches();
        const int next = bar->value() + page >= bar->maximum() ? 0 : bar->value() + page;
        timespec cpu0{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu0);
        QElapsedTimer clock;
        clock.start();
        bar->setValue(next);
        s.paint();
        const double ms = clock.nsecsElapsed() / 1e6;
        timespec cpu1{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu1);
        cpuMs += (cpu1.tv_sec - cpu0.tv_sec) * 1e3 + (cpu1.tv_nsec - cpu0.tv_nsec) / 1e6;
        worstMs = std::max(worstMs, ms);
        if (s.list().rowDelegate()->hasWaitingPictures())
            ++framesLeavingPlain;
        s.list().rowDelegate()->makeWaitingPictures(1000);
        bench.SetIterationTime(ms / 1000);
    }
    bench.counters["rows_per_page"] = page;
    bench.counters["cpu_ms_per_frame"] = cpuMs / double(bench.iterations());
    bench.counters["worst_frame_ms"] = worstMs;
    bench.counters["frames_leaving_plain_text"] = framesLeavingPlain;
}
BENCHMARK(PageJumpWithOutlines)
    ->ArgName("edit")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(200)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// From picking the Unit in the pop-up (the Notebook was open) to the first
// painted list: save and close the Notebook, read, review and save the
// Unit, paint.
void OpenFromPopupToFirstPaint(benchmark::State& bench)
{
    BigUnitScreen& s = screen();
    setMode(false);
    for (auto _ : bench) {
        bench.PauseTiming();
        s.openNotebook();
        s.paint();
        // A Unit opened for the first time in the run: no text drawn yet.
        s.list().rowDelegate()->clearCaches();
        bench.ResumeTiming();
        s.openBigUnit();
        s.paint();
    }
    bench.counters["rows"] = s.table.rowCount();
}
BENCHMARK(OpenFromPopupToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(30);

} // namespace
} // namespace dictora

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    dictora::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
