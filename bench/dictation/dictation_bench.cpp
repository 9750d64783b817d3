// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of dictation on the sizes a learner meets: CompareAnswer on a long
// sentence (target: under 50 microseconds for 500 characters) and one
// keystroke in the answer box up to the repainted box (target: under 5 ms).
#include "core/dictation/answer_checking.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "ui/dictation/dictation_form.h"
#include "ui/shell/main_panel_dialog.h"
#include "ui/widgets/study_services.h"
#include "ui/widgets/ui_font.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include "../widget_benchmark_main.h"

using namespace dictora;

namespace {

// About length characters of ordinary English with punctuation and digits.
QString longSentence(int length)
{
    const QString words[] = {QStringLiteral("The"),     QStringLiteral("station,"),
                             QStringLiteral("after"),   QStringLiteral("12"),
                             QStringLiteral("o'clock"), QStringLiteral("learners"),
                             QStringLiteral("meet"),    QStringLiteral("again.")};
    QString text;
    for (int i = 0; text.size() < length; ++i)
        text += words[i % 8] + QLatin1Char(' ');
    return text.left(length);
}

void compareAnswer(benchmark::State& run, bool right)
{
    const QString sentence = longSentence(int(run.range(0)));
    QString answer = sentence.toLower();
    answer.remove(QLatin1Char(','));
    if (!right)
        answer[answer.size() - 3] = QLatin1Char('#');
    for (auto _ : run)
        benchmark::DoNotOptimize(CompareAnswer(sentence, answer));
    run.counters["chars"] = double(sentence.size());
}

void compareRightAnswer(benchmark::State& run)
{
    compareAnswer(run, true);
}
void compareWrongNearTheEnd(benchmark::State& run)
{
    compareAnswer(run, false);
}
BENCHMARK(compareRightAnswer)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(compareWrongNearTheEnd)->Arg(500)->Unit(benchmark::kMicrosecond);

// The study screen without media: a sentence row in Dictation mode, typing
// unlocked, the floating strip on the (offscreen) screen.
struct TypingScreen {
    StudyState state;
    SentenceTable table;
    StudyServices services{state, table};
    MainPanelDialog panel{nullptr, services};
    DictationForm* form = nullptr;

    explicit TypingScreen(const QString& sentence)
    {
        panel.createOwnedWindows();
        panel.resize(1280, 800);
        table.appendRow(makeTitleRow(QStringLiteral("Part one")));
        SentenceRow row = makeSentenceRow();
        row[Text] = sentence;
        row[Done] = QStringLiteral("0");
        row[Level] = QStringLiteral("0");
        table.appendRow(row);
        state.dictationMode = true;
        state.currentRow = 1;
        form = panel.dictationForm();
        form->LoadRow();
        form->UnlockTyping(1);
        form->show();
    }
};

void keystrokeToRepaint(benchmark::State& run)
{
    TypingScreen screen(longSentence(int(run.range(0))));
    QPlainTextEdit* box = screen.form->answerBox();
    const QString start = box->toPlainText();
    int typed = 0;
    int reachedBox = 0;
    for (auto _ : run) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(box, &press);
        box->viewport()->repaint();
        if (++typed == 60) {
            reachedBox += box->toPlainText().size() - start.size();
            run.PauseTiming();
            box->setPlainText(start);
            box->moveCursor(QTextCursor::End);
            typed = 0;
            run.ResumeTiming();
        }
    }
    if (run.iterations() >= 60 && reachedBox == 0)
        run.SkipWithError("the keys did not reach the answer box");
    run.counters["visible"] = screen.form->isVisible() ? 1 : 0;
}
BENCHMARK(keystrokeToRepaint)->Arg(40)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace

DICTORA_WIDGET_BENCHMARK_MAIN()
