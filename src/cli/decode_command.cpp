// dictora-cli decode: how the importer reads a text file, line by line.
#include "cli/cli_command.h"
#include "cli/study_context.h"

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
        QString line;
        while (ReadTextLine(file, label, line))
            lines.append(line);
    }
    result.insert("lines", lines);
    printJson(result);
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("decode"),
     QStringLiteral("decode FILE   the encoding label and the lines of a text file, as JSON"),
     runDecode}};

} // namespace

} // namespace dictora::cli
