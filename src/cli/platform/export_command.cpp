// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli export: a Unit's sentences as flashcards with their clips.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include "core/export/flashcard_export.h"
#include "core/media/playback_settings.h"
#include "core/study/progress_pass.h"
#include "core/study/unit_file.h"
#include "core/study/unit_names.h"
#include "core/export/package_collection.h"
#include "platform/export/flashcard_writer.h"
#include "platform/media/loudness_meter.h"
#include "platform/media/clip_cutter.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

#include <gst/gst.h>

namespace dictora::cli {

namespace {

PackageCards takeCards(QStringList& args)
{
    const QString which = takeOption(args, QStringLiteral("--cards"), QStringLiteral("dictation"));
    PackageCards cards{false, false};
    for (const QString& name : which.split(u',')) {
        if (name == u"dictation")
            cards.dictation = true;
        else if (name == u"recall")
            cards.recall = true;
        else
            throw UsageError{QStringLiteral("--cards wants dictation, recall or both joined by a "
                                            "comma, not '%1'")
                                 .arg(which)};
    }
    return cards;
}

QJsonArray rowsJson(const QList<int>& rows)
{
    QJsonArray array;
    for (const int row : rows)
        array.append(row);
    return array;
}

int runExport(QStringList args)
{
    const PackageCards cards = takeCards(args);
    const bool isNotebook = takeFlag(args, QStringLiteral("--notebook"));
    const bool force = takeFlag(args, QStringLiteral("--force"));
    const bool showProgress = takeFlag(args, QStringLiteral("--progress"));
    const ProgramFolder folder = takeProgramFolder(args);
    const TimeValue now = takeNow(args);
    if (args.size() != 2)
        throw UsageError{QStringLiteral("wants a NAME and an OUTDIR, OUT.tsv or OUT.apkg")};
    const QString name = args.takeFirst();
    const ExportTarget target = exportTargetFor(args.takeFirst(), name);
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
    const bool levelled = loadPlaybackSettings(folder).levelLoudness;
    FlashcardExport plan =
        planFlashcards(target.name, target.folder, table, unitName, isNotebook, folder,
                       probeMediaLengthMs, levelled ? QStringLiteral("levelled") : QString());
    plan.format = target.format;
    const QString refusal = exportRefusal(plan, force);
    if (!refusal.isEmpty()) {
        printError(QStringLiteral("dictora-cli export: ") + refusal);
        return 1;
    }
    FlashcardWriter writer;
    writer.setPackageCards(cards, now * 1000);
    // Clips sound as the player plays them: levelled when the learner has
    // levelling on. Each file is measured here rather than through the
    // program's cache, which belongs to the running Dictora.
    if (levelled)
        writer.setLoudnessOf([](const QString& mediaPath) {
            QString ignored;
            return measureLoudness(mediaPath, &ignored);
        });
    QString error;
    ExportShortfall shortfall;
    const bool ok = writer.write(
        plan,
        [&](int written, int total) {
            if (showProgress)
                printOut(QStringLiteral("progress %1/%2").arg(written).arg(total));
            return true;
        },
        &error, &shortfall);
    if (!ok) {
        printError(QStringLiteral("dictora-cli export: ") + error);
        return 1;
    }
    QJsonObject result{{"cards", int(plan.items.size())},
                       {"short", int(shortfall.shortRows.size())},
                       {"shortRows", rowsJson(shortfall.shortRows)},
                       {"spoken", int(shortfall.spokenRows.size())},
                       {"spokenRows", rowsJson(shortfall.spokenRows)}};
    if (plan.format == FlashcardFormat::Package) {
        result.insert("apkg", plan.packagePath());
        result.insert("notes", int(plan.items.size()));
        result.insert("cards", int(plan.items.size()) * (int(cards.dictation) + int(cards.recall)));
    } else {
        result.insert("tsv", plan.tsvPath());
    }
    printJson(result);
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("export"),
     QStringLiteral("export NAME OUTDIR|OUT.tsv|OUT.apkg [--cards dictation,recall] [--notebook] "
                    "[--force] [--progress]   the Unit NAME (or with --notebook the Sentence "
                    "Notebook) as a flashcard package with its clips (OUT.apkg; --cards chooses "
                    "the card types, dictation by default), or as OUTDIR/NAME.tsv (or OUT.tsv) "
                    "with one Ogg clip a sentence beside it; existing files are replaced only with "
                    "--force; JSON names the sentences whose clips are short or spoken"),
     runExport}};

} // namespace

} // namespace dictora::cli
