// Feeds arbitrary bytes to the text importer, as a damaged or hostile lyric,
// subtitle or text file would: encoding detection, line reading under each
// label, the parser, and a whole import into a Unit that already has a
// Section with sentences. Besides surviving, line reading must account for
// every line feed, and an import must add exactly the parsed rows.
#include "core/import/content_change_question.h"
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
// mark): one per line feed, plus a last line without one.
qsizetype expectedLines(const QByteArray& body, bool utf16)
{
    if (!utf16)
        return body.count('\n') + (body.isEmpty() || body.endsWith('\n') ? 0 : 1);
    const qsizetype units = (body.size() + 1) / 2;
    qsizetype feeds = 0;
    for (qsizetype i = 0; i + 1 < body.size(); i += 2)
        feeds += body[i] == '\n' && body[i + 1] == 0;
    const bool lastIsFeed = body.size() % 2 == 0 && body.size() >= 2 &&
                            body[body.size() - 2] == '\n' && body[body.size() - 1] == 0;
    return units == 0 ? 0 : feeds + (lastIsFeed ? 0 : 1);
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

void importFile(const QByteArray& bytes)
{
    const QString path = scratch->filePath(QStringLiteral("input.srt"));
    {
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    const QString label = DetectTextEncoding(path);
    std::vector<SentenceRow> parsed;
    if (label != kEncodingUnicodeBig) {
        QFile file(path);
        check(file.open(QIODevice::ReadOnly));
        parsed = parseTextLines(file, label, makeImportedRow("input", {}, 0));
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
    for (size_t i = 0; i < parsed.size(); ++i)
        check(table.row(outcome.targetRow + 1 + int(i)) == parsed[i]);
    check(table.field(0, SectionTitle) == "input");
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
    importFile(bytes);
    // The same bytes as the time text and subtitle line they might have been.
    const QString text = decodeAnsiBytes(bytes);
    ParseTimePoint(text);
    IsAllDigits(text);
    ClassifyScript(text, false);
    ClassifyScript(text, true);
    return 0;
}
