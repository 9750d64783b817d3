// SPDX-License-Identifier: GPL-3.0-or-later
// Export of a 500-sentence Unit whose Section plays a one-hour MP3 (target
// 30 s), and how exact its clips are: every clip's stated length against its
// span (target ±1 ms); and the same Unit as one flashcard package (target
// 30 s, under 15 MB). The MP3 is made first with GStreamer's LAME encoder.
#include "core/export/flashcard_export.h"
#include "core/study/unit_file.h"
#include "platform/export/flashcard_writer.h"
#include "platform/media/clip_cutter.h"
#include "support/media_runtime.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace dictora;

namespace {

constexpr int kSentences = 500;
constexpr int kMediaMs = 3600 * 1000;

struct HourLesson {
    QTemporaryDir dir;
    QString mp3 = dir.filePath("hour.mp3");
    SentenceTable table;
    bool ready = false;

    HourLesson()
    {
        test::ensureMediaRuntime();
        // 3600 buffers of one second: exactly an hour, at a speech rate.
        ready = test::runPipeline(
            QStringLiteral("audiotestsrc wave=sine freq=300 volume=0.3 num-buffers=3600 "
                           "samplesperbuffer=22050 ! audio/x-raw,rate=22050,channels=1 ! "
                           "lamemp3enc target=bitrate bitrate=64 cbr=true ! xingmux ! "
                           "filesink location=\"%1\"")
                .arg(mp3),
            3600);
        SentenceRow title = makeTitleRow(QStringLiteral("Hour"));
        title[MediaPath] = mp3;
        title[MediaName] = QStringLiteral("hour.mp3");
        std::vector<SentenceRow> rows{title};
        const int step = kMediaMs / kSentences;
        for (int k = 0; k < kSentences; ++k) {
            SentenceRow row = makeSentenceRow();
            row[Text] = QStringLiteral("Sentence %1 of the hour.").arg(k + 1);
            row[StartMs] = QString::number(k * step + 137);
            row[EndMs] = QString::number(k * step + 137 + 3000 + (k * 613) % 3500);
            for (int f : {int(SectionTitle), int(MediaPath), int(MediaName), int(MediaLengthMs)})
                row[f] = title[f];
            rows.push_back(row);
        }
        table.replaceAll(std::move(rows));
    }
};

void exportHourLesson(benchmark::State& run)
{
    static HourLesson lesson;
    if (!lesson.ready) {
        run.SkipWithError("could not make the MP3 (lamemp3enc)");
        return;
    }
    double worstMs = 0;
    int clips = 0;
    for (auto _ : run) {
        run.PauseTiming();
        QTemporaryDir out;
        ProgramFolder folder{lesson.dir.path() + QStringLiteral("/")};
        run.ResumeTiming();
        const FlashcardExport plan = planFlashcards(QStringLiteral("Hour"), out.path(), lesson.table,
                                                    QStringLiteral("Hour"), false, folder,
                                                    probeMediaLengthMs);
        FlashcardWriter writer;
        QString error;
        if (!writer.write(plan, {}, &error)) {
            run.SkipWithError(error.toUtf8().constData());
            return;
        }
        run.PauseTiming();
        for (const FlashcardItem& item : plan.items) {
            int rate = 0;
            const qint64 frames = oggVorbisFrames(plan.clipPath(item), &rate);
            const double lengthMs = rate > 0 ? double(frames) * 1000.0 / rate : -1e9;
            worstMs = std::max(worstMs, std::abs(lengthMs - item.clip.lengthMs()));
            ++clips;
        }
        run.ResumeTiming();
    }
    run.counters["clips"] = clips;
    run.counters["worst_length_error_ms"] = worstMs;
}
BENCHMARK(exportHourLesson)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void exportHourLessonAsPackage(benchmark::State& run)
{
    static HourLesson lesson;
    if (!lesson.ready) {
        run.SkipWithError("could not make the MP3 (lamemp3enc)");
        return;
    }
    double packageMb = 0;
    int notes = 0;
    for (auto _ : run) {
        run.PauseTiming();
        QTemporaryDir out;
        ProgramFolder folder{lesson.dir.path() + QStringLiteral("/")};
        run.ResumeTiming();
        FlashcardExport plan =
            planFlashcards(QStringLiteral("Hour"), out.path(), lesson.table, QStringLiteral("Hour"),
                           false, folder, probeMediaLengthMs);
        plan.format = FlashcardFormat::Package;
        FlashcardWriter writer;
        writer.setPackageCards({}, QDateTime::currentMSecsSinceEpoch());
        QString error;
        if (!writer.write(plan, {}, &error)) {
            run.SkipWithError(error.toUtf8().constData());
            return;
        }
        run.PauseTiming();
        packageMb = double(QFileInfo(plan.packagePath()).size()) / (1024.0 * 1024.0);
        notes = int(plan.items.size());
        run.ResumeTiming();
    }
    run.counters["notes"] = notes;
    run.counters["package_MB"] = packageMb;
}
BENCHMARK(exportHourLessonAsPackage)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
