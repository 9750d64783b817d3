// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/flashcard_export.h"

#include "core/export/flashcard_identity.h"
#include "core/media/span_scaling.h"
#include "core/study/number_text.h"

#include <QDir>
#include <QFileInfo>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QRegularExpression>

namespace dictora {

namespace {

constexpr int kLongestName = 100;

// One TSV field, trimmed (subtitle lines often keep a leading blank): a tab
// or line break would start a new field or card; a double quote would be
// read as CSV quoting, so such a field is quoted.
QString tsvField(const QString& text)
{
    QString field = text.trimmed();
    for (QChar& c : field)
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    if (field.contains(u'"'))
        return u'"' + field.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return field;
}

QString tag(const QString& text)
{
    QString out = text.trimmed();
    for (QChar& c : out)
        if (c.isSpace())
            c = u'_';
    return out;
}

QString mediaPathOf(const SentenceTable& table, int row, const QString& unitName, bool isNotebook,
                    const ProgramFolder& folder)
{
    const QString path = table.field(row, MediaPath);
    if (path != u"..")
        return path;
    const QString unit = isNotebook ? table.field(row, SectionTitle) : unitName;
    return folder.mediaFolder() + unit + u'/' + table.field(row, MediaName);
}

} // namespace

QString safeFileName(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        const bool forbidden = c.unicode() < 0x20 || c == u'/' || c == u'\\' || c == u':' ||
                               c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>' ||
                               c == u'|' || c == QChar(0x7F);
        out += forbidden ? QChar(u'_') : c;
    }
    while (!out.isEmpty() && (out.front() == u'.' || out.front().isSpace()))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back() == u'.' || out.back().isSpace()))
        out.chop(1);
    if (out.size() > kLongestName) {
        out.truncate(kLongestName);
        if (out.back().isHighSurrogate())
            out.chop(1);
    }
    static const QRegularExpression device(
        QStringLiteral("^(con|prn|aux|nul|com[0-9]|lpt[0-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (device.match(out).hasMatch())
        out.prepend(u'_');
    return out.isEmpty() ? QStringLiteral("export") : out;
}

QString FlashcardExport::tsvPath() const
{
    return outDir + u'/' + name + QStringLiteral(".tsv");
}

QString FlashcardExport::packagePath() const
{
    return outDir + u'/' + name + QStringLiteral(".apkg");
}

QString FlashcardExport::clipPath(const FlashcardItem& item) const
{
    return (clipDir.isEmpty() ? outDir : clipDir) + u'/' + item.clipFileName;
}

QList<FlashcardItem> FlashcardExport::distinctClips() const
{
    QList<FlashcardItem> clips;
    QSet<QString> seen;
    for (const FlashcardItem& item : items)
        if (!seen.contains(item.clipFileName)) {
            seen.insert(item.clipFileName);
            clips.append(item);
        }
    return clips;
}

ExportTarget exportTargetFor(const QString& out, const QString& name)
{
    const QFileInfo info(out);
    for (const auto& [suffix, format] :
         {std::pair{QStringLiteral(".apkg"), FlashcardFormat::Package},
          std::pair{QStringLiteral(".tsv"), FlashcardFormat::Tsv}})
        if (out.endsWith(suffix, Qt::CaseInsensitive) && !info.isDir())
            return {format, info.absolutePath(), info.fileName().chopped(suffix.size())};
    return {FlashcardFormat::Tsv, out, name};
}

QByteArray FlashcardExport::tsv() const
{
    QString out = QStringLiteral("#separator:tab\n#html:false\n#tags column:4\n");
    for (const FlashcardItem& item : items) {
        out += tsvField(item.text) + u'\t' + tsvField(item.text2) + u'\t' +
               QStringLiteral("[sound:") + item.clipFileName + u']' + u'\t' +
               tsvField(item.tags.join(u' ')) + u'\n';
    }
    return out.toUtf8();
}

QStringList FlashcardExport::targetPaths() const
{
    if (format == FlashcardFormat::Package)
        return {packagePath()};
    QStringList paths{tsvPath()};
    for (const FlashcardItem& item : distinctClips())
        paths << clipPath(item);
    return paths;
}

FlashcardExport planFlashcards(const QString& name, const QString& outDir,
                               const SentenceTable& table, const QString& unitName, bool isNotebook,
                               const ProgramFolder& folder, const MediaLengthProbe& mediaLength,
                               const QString& soundVariant)
{
    FlashcardExport plan;
    plan.outDir = QDir::cleanPath(QDir(outDir).absolutePath());
    plan.name = safeFileName(name);
    plan.unitName = unitName;
    QHash<QString, int> realLengths;
    QHash<QString, int> sectionsTitled; // Sections of each title so far
    QString sectionPlace;
    int placeInSection = 0;

    for (int row = 0; row < table.rowCount(); ++row) {
        // A sentence is known by its place: the Section (its title, and
        // which of the Sections so titled) and its place among that
        // Section's rows, counting rows without text too, so that clearing
        // one does not move the others.
        if (table.isTitleRow(row)) {
            const QString title = table.field(row, Text);
            sectionPlace = title + u'#' + QString::number(sectionsTitled[title]++);
            placeInSection = 0;
            continue;
        }
        const QString place = sectionPlace + u'/' + QString::number(placeInSection++);
        if (table.field(row, Text).trimmed().isEmpty())
            continue;
        FlashcardItem item;
        item.row = row;
        item.text = table.field(row, Text);
        item.text2 = table.field(row, Text2);
        item.guid = noteGuid(unitName, place);
        const QString section = table.field(row, SectionTitle);
        item.section = section;
        for (const QString& t : {isNotebook ? section : unitName, isNotebook ? QString() : section})
            if (!tag(t).isEmpty() && !item.tags.contains(tag(t)))
                item.tags << tag(t);
        item.clip.text = item.text;

        const QString path = mediaPathOf(table, row, unitName, isNotebook, folder);
        if (!path.isEmpty() && QFileInfo(path).isFile()) {
            if (!realLengths.contains(path))
                realLengths.insert(path, mediaLength(path));
            const int realMs = realLengths.value(path);
            const int stated = textToInt(table.field(row, MediaLengthMs));
            const int declaredMs = stated > 0 ? stated : realMs;
            const int startMs = textToInt(table.field(row, StartMs));
            const int endMs = textToInt(table.field(row, EndMs));
            if (realMs > 0) {
                ClipSource clip{path, scaleToMedia(startMs, realMs, declaredMs),
                                endMs > 0 ? scaleToMedia(endMs, realMs, declaredMs) : realMs,
                                item.text};
                item.spanMs = std::max(0, clip.lengthMs());
                clip.startMs = std::clamp(clip.startMs, 0, realMs);
                clip.endMs = std::clamp(clip.endMs, 0, realMs);
                if (clip.lengthMs() >= kShortestPlayedSpanMs)
                    item.clip = clip;
            }
        }
        const QFileInfo media(item.clip.mediaPath);
        const QStringList madeOf =
            item.clip.isSpoken()
                ? QStringList{QStringLiteral("spoken"), item.clip.text}
                : QStringList{QStringLiteral("cut"),
                              media.absoluteFilePath(),
                              QString::number(media.size()),
                              QString::number(media.lastModified().toMSecsSinceEpoch()),
                              QString::number(item.clip.startMs),
                              QString::number(item.clip.endMs)};
        item.clipFileName = clipMediaName(unitName, madeOf + QStringList{soundVariant});
        plan.items.append(std::move(item));
    }
    return plan;
}

QString exportRefusal(const FlashcardExport& plan, bool force)
{
    if (!QFileInfo(plan.outDir).isDir())
        return QStringLiteral("%1 is not a folder").arg(QDir::toNativeSeparators(plan.outDir));
    if (plan.items.isEmpty())
        return QStringLiteral("there is no sentence to export");
    for (const QString& path : plan.targetPaths()) {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        if (!force)
            return QStringLiteral("%1 exists already; nothing was written (--force replaces it)")
                .arg(QDir::toNativeSeparators(path));
        if (info.isDir() && !info.isSymLink())
            return QStringLiteral("%1 is a folder; nothing was written")
                .arg(QDir::toNativeSeparators(path));
    }
    return {};
}

} // namespace dictora
