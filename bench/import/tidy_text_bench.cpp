// SPDX-License-Identifier: GPL-3.0-or-later
// How long tidying one very long subtitle line takes: 1 MB and 5 MB lines of
// what made tidying slow before (every "&" looking for a ";", every "{\"
// for a "}", every "<" for a ">"), next to a line of ordinary markup. Time
// must grow with the length, not with its square: a 5 MB line about five
// times a 1 MB one, and well under a second.
#include "core/import/markup_text.h"

#include <QString>

#include <benchmark/benchmark.h>

using namespace dictora;

namespace {

QString repeated(const QString& piece, qsizetype length)
{
    QString line;
    line.reserve(length + piece.size());
    while (line.size() < length)
        line += piece;
    line.truncate(length);
    return line;
}

const QString kPieces[] = {
    QStringLiteral("&"),   // entities that never close
    QStringLiteral("{\\"), // override blocks that never close
    QStringLiteral("<a"),  // tags that never close
    QStringLiteral("<i>Tom</i> &amp; {\\an8}Jerry&nbsp;&#20320; "), // ordinary markup
};
const char* const kPieceNames[] = {"ampersands", "open override blocks", "open tags",
                                   "ordinary markup"};

void TidyLongLine(benchmark::State& state)
{
    const qsizetype length = state.range(0) * 1024 * 1024;
    const QString line = repeated(kPieces[state.range(1)], length);
    state.SetLabel(kPieceNames[state.range(1)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(TidyText(QStringView(line)));
    state.SetBytesProcessed(state.iterations() * length * qsizetype(sizeof(QChar)));
}

} // namespace

BENCHMARK(TidyLongLine)
    ->ArgsProduct({{1, 5}, {0, 1, 2, 3}})
    ->ArgNames({"MB", "kind"})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
