// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli align: where each sentence of a text is spoken in a recording,
// as JSON; and the aligner that `import --align` uses.
#include "cli/cli_command.h"
#include "platform/alignment/text_file_alignment.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <gst/gst.h>

#include <algorithm>

namespace dictora::cli {

namespace {

int runAlign(QStringList args)
{
    const QString language = takeOption(args, QStringLiteral("--language"));
    const bool retime = takeFlag(args, QStringLiteral("--retime"));
    const bool showProgress = takeFlag(args, QStringLiteral("--progress"));
    if (args.size() != 2)
        throw UsageError{QStringLiteral("wants TEXTFILE MEDIAFILE")};
    if (!QFileInfo(args[1]).isFile())
        throw UsageError{QStringLiteral("cannot read %1").arg(args[1])};
    gst_init(nullptr, nullptr);

    TextImportRequest request;
    request.textPath = QFileInfo(args[0]).absoluteFilePath();
    request.mediaPath = QFileInfo(args[1]).absoluteFilePath();
    // --progress: each whole percent on standard error, and at the end the
    // longest wait between two reports (a progress window must hear at
    // least once a second).
    QElapsedTimer clock;
    clock.start();
    qint64 lastReportMs = 0, longestGapMs = 0;
    int lastPercent = -1;
    const auto progress = [&](double done) {
        const qint64 now = clock.elapsed();
        longestGapMs = std::max(longestGapMs, now - lastReportMs);
        lastReportMs = now;
        if (int(done * 100) != lastPercent) {
            lastPercent = int(done * 100);
            printError(QStringLiteral("%1%").arg(lastPercent));
        }
        return true;
    };
    const TextFileAlignment aligned = alignTextFile(
        request, language, retime ? RetimeChoice::Always : RetimeChoice::Never,
        showProgress ? std::function<bool(double)>(progress) : std::function<bool(double)>());
    if (showProgress)
        printError(QStringLiteral("longest wait between progress reports: %1 ms")
                       .arg(std::max(longestGapMs, clock.elapsed() - lastReportMs)));
    switch (aligned.status) {
    case TextFileAlignment::Status::Aligned:
        break;
    case TextFileAlignment::Status::Unreadable:
        throw UsageError{QStringLiteral("cannot read %1").arg(args[0])};
    case TextFileAlignment::Status::Refused:
    case TextFileAlignment::Status::Cancelled:
        printError(QStringLiteral("dictora-cli align: ") + aligned.message);
        return 1;
    }
    QJsonArray sentences;
    for (size_t k = 0; k < aligned.media.sentences.size(); ++k) {
        const AlignedSentence& sentence = aligned.media.sentences[k];
        sentences.append(QJsonObject{{"text", aligned.text.sentences[qsizetype(k)]},
                                     {"startMs", sentence.startMs},
                                     {"endMs", sentence.endMs},
                                     {"found", sentence.found},
                                     {"confidence", qRound(sentence.confidence * 100) / 100.0}});
    }
    printJson({{"sentences", sentences},
               {"mediaMs", qint64(aligned.media.mediaMs)},
               {"seconds", aligned.media.seconds}});
    return 0;
}

const CommandRegistration registration{
    {QStringLiteral("align"),
     QStringLiteral("align TEXTFILE MEDIAFILE [--language VOICE] [--retime] [--progress]   where "
                    "each sentence is spoken (--retime: re-time a subtitle's own times within "
                    "10 s; --progress: percentages on standard error)"),
     runAlign}};

const TextAlignerRegistration aligner{[](const TextImportRequest& request, const QString& language,
                                         bool partial, std::vector<SentenceRow>& rows,
                                         QString& message) {
    gst_init(nullptr, nullptr);
    TextFileAlignment aligned = alignTextFile(request, language, RetimeChoice::Auto);
    if (aligned.status != TextFileAlignment::Status::Aligned) {
        message = aligned.message.isEmpty() ? QStringLiteral("cannot read %1").arg(request.textPath)
                                            : aligned.message;
        return false;
    }
    // A sentence not found has no time to give: the import is refused, or
    // with --partial goes on without it.
    const std::vector<AlignedSentence>& sentences = aligned.media.sentences;
    if (foundCount(sentences) < int(sentences.size())) {
        if (!partial || foundCount(sentences) == 0) {
            message = notAllFoundMessage(sentences) +
                      (foundCount(sentences) > 0 ? QStringLiteral(" 加 --partial 只导入找到的句子.")
                                                 : QString());
            return false;
        }
        keepFoundRows(aligned.text, sentences);
    }
    rows = std::move(aligned.text.rows);
    return true;
}};

} // namespace

} // namespace dictora::cli
