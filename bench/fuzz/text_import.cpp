// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the text importer, as a damaged or hostile lyric,
// subtitle or text file would: encoding and code-page detection, line reading
// under each label, the parser in each format (lines, WebVTT, ASS), read
// literally or tidily, and a whole import into a Unit that already has a
// Section with sentences. Besides surviving, line reading must account for
// every line end, an import must add exactly the parsed rows, tidy reading
// and the subtitle formats must give no row without text, ASS rows come in
// time order, and tidied text has no blank at its ends or two in a row.
#include "core/import/code_page_detection.h"
#include "core/import/content_change_question.h"
#include "core/import/markup_text.h"
#include "core/import/script_rule.h"
#include "core/import/text_decoding.h"
#include "core/import/text_import.h"
#include "core/import/text_parser.h"
#include "core/import/time_point.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace dictora;

namespace {

std::unique_ptr<QTemporaryDir> scratch;

class FixedAnswer : public ContentChangeQuestion {
public:
    explicit FixedAnswer(ContentChangeChoice choice) : choice_(choice) {}
    ContentChangeChoice ask() override { return choice_; }

private:
    ContentChangeChoice choice_;
};

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The number of lines ReadTextLine must give for `body` (the bytes after the
// mark): one per line end (LF, CR LF, or CR alone), plus a last line without
// one.
qsizetype expectedLines(const QByteArray& body, bool utf16)
{
    std::vector<char16_t> units;
    if (utf16) {
        for (qsizetype i = 0; i < body.size(); i += 2)
            units.push_back(
                char16_t(uchar(body[i]) | (i + 1 < body.size() ? uchar(body[i + 1]) << 8 : 0)));
    } else {
        for (const char c : body)
            units.push_back(char16_t(uchar(c)));
    }
    qsizetype ends = 0;
    bool lastIsEnd = false;
    for (size_t i = 0; i < units.size(); ++i) {
        lastIsEnd = units[i] == u'\n' ||
                    (units[i] == u'\r' && (i + 1 == units.size() || units[i + 1] != u'\n'));
        ends += lastIsEnd;
    }
    return units.empty() ? 0 : ends + (lastIsEnd ? 0 : 1);
}

// Tidied text: no blank at either end, never two in a row.
void checkTidied(const QString& text)
{
    check(!text.startsWith(u' ') && !text.endsWith(u' ') && !text.contains(QLatin1String("  ")));
}

void readEveryLabel(const QByteArray& bytes)
{
    const struct {
        const QString& label;
        qsizetype markSize;
    } labels[] = {{kEncodingAnsi, 0}, {kEncodingUtf8, 3}, {kEncodingUnicode, 2}};
    for (const auto& [label, markSize] : labels) {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        buffer.open(QIODevice::ReadOnly);
        qsizetype lines = 0;
        qsizetype units = 0;
        QString line;
        while (ReadTextLine(buffer, label, line)) {
            ++lines;
            units += line.size();
        }
        check(line.isEmpty());
        if (bytes.size() >= markSize) {
            const QByteArray body = bytes.mid(markSize);
            check(lines == expectedLines(body, markSize == 2));
            if (markSize == 2)
                check(units + lines >= (body.size() + 1) / 2);
        }
    }
}

void importFile(const QByteArray& bytes, const QString& fileName, bool tidy)
{
    const QString path = scratch->filePath(fileName);
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    const QString label = DetectTextEncoding(path);
    std::vector<SentenceRow> parsed;
    QString title;
    TextParseOptions options;
    options.format = textFormatOf(path);
    options.tidy = tidy;
    if (label != kEncodingUnicodeBig) {
        if (label == kEncodingAnsi)
            options.codePage = DetectAnsiCodePage(path).codePage;
        QFile file(path);
        check(file.open(QIODevice::ReadOnly));
        ParsedText text = parseText(file, label, makeImportedRow("input", {}, 0), options);
        parsed = std::move(text.rows);
        title = text.title;
        check(tidy || title.isEmpty());
    }
    uint32_t lastStart = 0;
    for (const SentenceRow& row : parsed) {
        if (tidy || options.format != TextFormat::Lines)
            check(!row[Text].isEmpty() || !row[Text2].isEmpty());
        if (options.format == TextFormat::Ass) {
            const uint32_t start = row[StartMs].toUInt();
            check(start >= lastStart);
            lastStart = start;
        }
    }

    SentenceTable table;
    table.appendRow(makeTitleRow("A"));
    table.appendRow(makeSentenceRow());
    table.appendRow(makeTitleRow("B"));
    const auto choice = bytes.isEmpty() ? ContentChangeChoice::Replace
                                        : ContentChangeChoice(uchar(bytes.back()) % 3);
    FixedAnswer answer(choice);
    StudyState state;
    TextImportRequest request;
    request.textPath = path;
    request.targetRow = 0;
    request.tidy = tidy;
    const TextImportOutcome outcome = ImportTextFile(table, state, request, answer);
    if (label == kEncodingUnicodeBig) {
        check(outcome.status == TextImportOutcome::Status::Refused && table.rowCount() == 3);
        return;
    }
    if (outcome.status != TextImportOutcome::Status::Imported)
        return;
    check(outcome.rowsAdded == int(parsed.size()));
    const int kept = choice == ContentChangeChoice::Replace ? 2 : 3;
    check(table.rowCount() == kept + int(parsed.size()));
    const QString sectionTitle = title.isEmpty() ? QStringLiteral("input") : title;
    for (size_t i = 0; i < parsed.size(); ++i) {
        SentenceRow expected = parsed[i];
        expected[SectionTitle] = sectionTitle;
        check(table.row(outcome.targetRow + 1 + int(i)) == expected);
    }
    check(table.field(0, SectionTitle) == sectionTitle);
    check(table.isTitleRow(table.rowCount() - 1) &&
          table.field(table.rowCount() - 1, SectionTitle) == "B");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Qt's warnings about odd input would drown libFuzzer's own report.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    scratch = std::make_unique<QTemporaryDir>(base + QStringLiteral("/dictora-fuzz-XXXXXX"));
    return scratch->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    readEveryLabel(bytes);
    // The size picks the format and the reading, so every seed keeps its bytes.
    static const char* const names[] = {"input.srt", "input.vtt", "input.ass"};
    importFile(bytes, QString::fromLatin1(names[size % 3]), size / 3 % 2 == 1);
    // The same bytes as the time text and subtitle line they might have been.
    const QString text = decodeAnsiText(bytes);
    ParseTimePoint(text);
    IsTimePoint(text);
    IsAllDigits(text);
    ClassifyScript(text, false);
    ClassifyScript(text, true);
    ClassifyScriptByUnicode(text, false);
    ClassifyScriptByUnicode(text, true);
    checkTidied(TidyText(text));
    checkTidied(TidyText(QStringView(text)));
    for (const QString& line : AssEventLines(text))
        check(!line.isEmpty() && line == line.trimmed());
    return 0;
}
