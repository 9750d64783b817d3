// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli decode: how the importer reads a text file, line by line.
#include "cli/cli_command.h"
#include "cli/study_context.h"

#include "core/import/code_page_detection.h"
#include "core/import/text_decoding.h"
#include "core/import/text_import.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

namespace dictora::cli {

namespace {

int runDecode(QStringList args)
{
    if (args.size() != 1)
        throw UsageError{QStringLiteral("wants one text file")};
    const QString path = args.first();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw UsageError{QStringLiteral("cannot read %1").arg(path)};

    const QString label = DetectTextEncoding(path);
    QJsonObject result{{"encoding", label}};
    QJsonArray lines;
    if (label == kEncodingUnicodeBig) {
        result.insert("refused", bigEndianRefusal(QFileInfo(path).completeBaseName()));
    } else {
        QByteArray codePage;
        if (label == kEncodingAnsi) {
            // Which code page lines that are not UTF-8 are read in, and how sure
            // the choice is.
            const CodePageChoice choice = DetectAnsiCodePage(path);
            codePage = choice.codePage;
            result.insert("codePage", QString::fromLatin1(choice.codePage));
            result.insert("codePageBasis", basisName(choice.basis));
            result.insert("detectorAnswer", QString::fromLatin1(choice.detectorAnswer));
            result.insert("legacyBytes", choice.legacyBytes);
            result.insert("reason", choice.reason);
        }
        QString line;
        while (ReadTextLine(file, label, line, codePage))
            lines.append(line);
    }
    result.insert("lines", lines);
    printJson(result);
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("decode"),
     QStringLiteral("decode FILE   the encoding label, the code page chosen for legacy "
                    "text and how sure it is, and the lines of a text file, as JSON"),
     runDecode}};

} // namespace

} // namespace dictora::cli
