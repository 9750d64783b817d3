// SPDX-License-Identifier: GPL-3.0-or-later
// The study record window opened over 100,000 answers, as the learner opens
// it: the record read, the figures, heatmap, chart and word table filled and
// the whole window drawn once (target: 100 ms). Draws offscreen.
#include "large_record.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/history/study_record_window.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/ui_font.h"

#include <QApplication>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include "../widget_benchmark_main.h"

using namespace dictora;

namespace {

void openRecordWindow(benchmark::State& run)
{
    static LargeRecord large;
    StudyState state;
    state.now = QDateTime::fromSecsSinceEpoch(large.now);
    SentenceTable table;
    StudyServices services{state, table};
    services.record = &large.record;
    MainPanelDialog panel{nullptr, services};
    StudyRecordWindow window(panel, nullptr);
    for (auto _ : run) {
        window.reload();
        const QPixmap drawn = window.grab();
        benchmark::DoNotOptimize(drawn.cacheKey());
    }
    run.counters["answers"] = large.record.answerCount();
    run.counters["words"] = double(window.data().missedWords.size());
}
BENCHMARK(openRecordWindow)->Unit(benchmark::kMillisecond);

} // namespace

DICTORA_WIDGET_BENCHMARK_MAIN()
