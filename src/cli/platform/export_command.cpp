// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli export: a Unit's sentences as flashcards with their clips.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include "core/export/flashcard_export.h"
#include "core/media/playback_settings.h"
#include "core/study/progress_pass.h"
#include "core/study/unit_file.h"
#include "core/study/unit_names.h"
#include "platform/export/flashcard_writer.h"
#include "platform/media/loudness_meter.h"
#include "platform/media/clip_cutter.h"

#include <QDir>
#include <QFileInfo>

#include <gst/gst.h>

namespace dictora::cli {

namespace {

int runExport(QStringList args)
{
    const bool isNotebook = takeFlag(args, QStringLiteral("--notebook"));
    const bool force = takeFlag(args, QStringLiteral("--force"));
    const bool showProgress = takeFlag(args, QStringLiteral("--progress"));
    const ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    if (args.size() != 2)
        throw UsageError{QStringLiteral("wants a NAME and an OUTDIR")};
    const QString name = args.takeFirst();
    const QString outDir = args.takeFirst();
    const QString unitName = isNotebook ? kNotebookName : name;
    if (!isAcceptableUnitName(unitName))
        throw UsageError{unitNameMessage()};
    const QString path = folder.dataFolder() + unitFileName(unitName);
    if (!QFileInfo(path).isFile())
        throw UsageError{QStringLiteral("no Unit file %1").arg(QDir::toNativeSeparators(path))};

    // Read as loading would present it, never written back: the export only
    // reads the program folder.
    UnitReadResult read = readUnitFile(path, isNotebook, dailyReviewAsOf(now));
    if (!read.opened)
        throw UsageError{QStringLiteral("cannot read %1: %2").arg(path, read.openError)};
    if (read.tooLarge)
        throw UsageError{unitTooLargeMessage(path)};
    if (!read.markMatches)
        throw UsageError{QStringLiteral("%1 is not a Unit file").arg(path)};
    const UnitHeader header = loadedHeader(read, isNotebook);
    SentenceTable table;
    table.replaceAll(std::move(read.rows));
    runProgressPass(table, header, isNotebook, now, {});

    gst_init(nullptr, nullptr);
    const FlashcardExport plan =
        planFlashcards(name, outDir, table, unitName, isNotebook, folder, probeMediaLengthMs);
    const QString refusal = exportRefusal(plan, force);
    if (!refusal.isEmpty()) {
        printError(QStringLiteral("dictora-cli export: ") + refusal);
        return 1;
    }
    FlashcardWriter writer;
    // Clips sound as the player plays them: levelled when the learner has
    // levelling on. Each file is measured here rather than through the
    // program's cache, which belongs to the running Dictora.
    if (loadPlaybackSettings(folder).levelLoudness)
        writer.setLoudnessOf([](const QString& mediaPath) {
            QString ignored;
            return measureLoudness(mediaPath, &ignored);
        });
    QString error;
    const bool ok = writer.write(
        plan,
        [&](int written, int total) {
            if (showProgress)
                printOut(QStringLiteral("progress %1/%2").arg(written).arg(total));
            return true;
        },
        &error);
    if (!ok) {
        printError(QStringLiteral("dictora-cli export: ") + error);
        return 1;
    }
    int spoken = 0;
    for (const FlashcardItem& item : plan.items)
        spoken += item.clip.isSpoken() ? 1 : 0;
    printJson({{"tsv", plan.tsvPath()},
               {"cards", int(plan.items.size())},
               {"spoken", spoken}});
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("export"),
     QStringLiteral("export NAME OUTDIR [--notebook] [--force] [--progress]   the Unit NAME (or "
                    "with --notebook the Sentence Notebook) as OUTDIR/NAME.tsv with one Ogg clip a "
                    "sentence; existing files are replaced only with --force"),
     runExport}};

} // namespace

} // namespace dictora::cli
