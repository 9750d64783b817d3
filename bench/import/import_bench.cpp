// SPDX-License-Identifier: GPL-3.0-or-later
// How long one import of a large file takes, next to merely reading the same
// file's bytes: a two-language subtitle file of 50,000 blocks (read literally
// and tidily) and 5 MB of plain text (UTF-8 without mark, GB18030, UTF-16).
// Each should import in under 150 ms. Code-page detection, part of importing
// legacy text, is also timed alone on the 5 MB GB18030 file: under 5 ms.
#include "core/import/code_page_detection.h"
#include "core/import/content_change_question.h"
#include "core/import/text_import.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

using namespace dictora;

namespace {

using Clock = std::chrono::steady_clock;

class NeverAsked : public ContentChangeQuestion {
public:
    ContentChangeChoice ask() override { return ContentChangeChoice::Cancel; }
};

QTemporaryDir& scratch()
{
    static QTemporaryDir dir;
    return dir;
}

QString writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = scratch().filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QString timeText(int ms)
{
    return QString::asprintf("%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                             ms % 1000);
}

const QString& subtitleFile()
{
    static const QString path = [] {
        QString text;
        for (int block = 1; block <= 50000; ++block) {
            const int start = block * 3000;
            text += QString::number(block) + "\r\n" + timeText(start) + " --> " +
                    timeText(start + 2500) + "\r\n" +
                    QStringLiteral("This is sentence number %1 of the film.\r\n").arg(block) +
                    QStringLiteral("这是电影的第%1句话。\r\n\r\n").arg(block);
        }
        return writeFile("film.srt", "\xEF\xBB\xBF" + text.toUtf8());
    }();
    return path;
}

// Enough lines that each encoding still has 5 MB once cut there.
QString plainText()
{
    const QString line =
        QStringLiteral("The quick brown fox jumps over the lazy dog, 敏捷的棕色狐狸"
                       "跳过了那只懒狗。\r\n");
    return line.repeated(7 * 1024 * 1024 / line.toUtf8().size());
}

const QString& plainFile(const QString& name)
{
    static QHash<QString, QString> paths;
    if (!paths.contains(name)) {
        const QString text = plainText();
        QByteArray bytes;
        if (name == "utf8.txt") {
            bytes = text.toUtf8();
        } else if (name == "gb18030.txt") {
            QStringEncoder encoder("GB18030");
            bytes = encoder.encode(text);
        } else {
            QStringEncoder encoder(QStringConverter::Utf16LE);
            bytes = "\xFF\xFE" + QByteArray(encoder.encode(text));
        }
        bytes.truncate(5 * 1024 * 1024);
        paths.insert(name, writeFile(name, bytes));
    }
    return paths[name];
}

double readBytesMs(const QString& path)
{
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll());
        best =
            std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

void importFile(benchmark::State& state, const QString& path, bool tidy = false)
{
    const double readMs = readBytesMs(path);
    NeverAsked question;
    TextImportRequest request;
    request.textPath = path;
    request.mediaPath = "/media/film.mkv";
    request.tidy = tidy;
    double importMs = 0;
    int rows = 0;
    for (auto _ : state) {
        SentenceTable table;
        StudyState study;
        const auto start = Clock::now();
        rows = ImportTextFile(table, study, request, question).rowsAdded;
        importMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        benchmark::DoNotOptimize(table.rowCount());
    }
    importMs /= double(state.iterations());
    state.counters["rows"] = rows;
    state.counters["MB"] = double(QFile(path).size()) / (1024 * 1024);
    state.counters["import_ms"] = importMs;
    state.counters["read_ms"] = readMs;
    state.counters["ratio"] = importMs / readMs;
}

void BM_ImportSubtitles50000Blocks(benchmark::State& state)
{
    importFile(state, subtitleFile());
}

void BM_ImportSubtitles50000BlocksTidily(benchmark::State& state)
{
    importFile(state, subtitleFile(), true);
}

void BM_DetectCodePageOf5MbGb18030(benchmark::State& state)
{
    const QString& path = plainFile("gb18030.txt");
    QByteArray chosen;
    for (auto _ : state)
        chosen = DetectAnsiCodePage(path).codePage;
    state.SetLabel(chosen.toStdString());
}

void BM_ImportPlainTextUtf8(benchmark::State& state)
{
    importFile(state, plainFile("utf8.txt"));
}

void BM_ImportPlainTextGb18030(benchmark::State& state)
{
    importFile(state, plainFile("gb18030.txt"));
}

void BM_ImportPlainTextUtf16(benchmark::State& state)
{
    importFile(state, plainFile("utf16.txt"));
}

} // namespace

BENCHMARK(BM_ImportSubtitles50000Blocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportSubtitles50000BlocksTidily)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectCodePageOf5MbGb18030)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPlainTextUtf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPlainTextGb18030)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPlainTextUtf16)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
