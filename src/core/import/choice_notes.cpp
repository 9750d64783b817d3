// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/choice_notes.h"

#include "core/import/markup_text.h"
#include "core/import/text_decoding.h"
#include "core/import/text_parser.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace dictora {

namespace {

// Enough to meet the tag lines at a lyric's head and markup of any subtitle.
constexpr int kLinesLooked = 400;

} // namespace

QString chosenFilesLine(const SectionChoice& choice)
{
    QStringList parts;
    if (choice.textChosen && !choice.textPath.isEmpty())
        parts << QStringLiteral("文本: ") + QFileInfo(choice.textPath).fileName();
    if (choice.mediaChosen && !choice.mediaPath.isEmpty())
        parts << QStringLiteral("影音: ") + QFileInfo(choice.mediaPath).fileName();
    return parts.join(QStringLiteral("    "));
}

bool textHasTagsOrMarkup(const QString& path)
{
    static const QRegularExpression tagLine(QStringLiteral("^\\s*\\[[A-Za-z#]+:[^\\]]*\\]\\s*$"));
    const QString label = DetectTextEncoding(path);
    if (label == kEncodingUnicodeBig)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString line;
    for (int n = 0; n < kLinesLooked && ReadTextLine(file, label, line); ++n) {
        if (tagLine.match(line).hasMatch())
            return true;
        if (TidyText(line) != line.simplified())
            return true;
    }
    return false;
}

bool textHasTimes(const QString& path)
{
    const QString label = DetectTextEncoding(path);
    if (label == kEncodingUnicodeBig)
        return true; // refused when imported: nothing to suggest
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    TextParseOptions options;
    options.format = textFormatOf(path);
    options.maxRows = kLinesLooked;
    const ParsedText parsed = parseText(file, label, makeSentenceRow(), options);
    for (const SentenceRow& row : parsed.rows) {
        if (row[StartMs].toLongLong() > 0 || row[EndMs].toLongLong() > 0)
            return true;
    }
    return parsed.rows.empty();
}

QString alignmentSuggestion(bool textHasTimes, bool alignOffered, bool alignChecked)
{
    if (textHasTimes || !alignOffered || alignChecked)
        return {};
    return QStringLiteral("这个文本没有时间, 每句都会从 00:00 开始: 建议勾选 \"自动对齐时间\", "
                          "按录音找出每句的时间。");
}

QString tidySuggestion(bool hasTagsOrMarkup, bool tidyChecked)
{
    if (!hasTagsOrMarkup || tidyChecked)
        return {};
    return QStringLiteral("这个文件有标签行或格式标记 (如 [ti:] 或 <i>): 建议勾选 "
                          "\"整理歌词与字幕标签\", 免得它们变成句子。");
}

} // namespace dictora
