// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/review_mark_file.h"

#include "core/study/number_text.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace dictora {

namespace {

const QString kPictureWord = QStringLiteral("readFromPicture");
const QString kNotFoundWord = QStringLiteral("notFoundInRecording");

// A time as the file holds it: a whole number of milliseconds that a
// Unit's 32-bit time can hold.
std::optional<uint32_t> timeValue(const QJsonValue& value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double ms = value.toDouble();
    if (ms < 0 || ms > double(UINT32_MAX) || ms != double(qint64(ms)))
        return std::nullopt;
    return uint32_t(ms);
}

QString rowKey(uint32_t startMs, uint32_t endMs, const QString& text)
{
    return QString::number(startMs) + u'\x1f' + QString::number(endMs) + u'\x1f' + text;
}

} // namespace

QString reviewReasonText(ReviewReason reason)
{
    switch (reason) {
    case ReviewReason::ReadFromPicture:
        return QStringLiteral("文字识别的句子, 请核对");
    case ReviewReason::NotFoundInRecording:
        return QStringLiteral("自动对齐没有找到这句, 请按波形设定时间");
    }
    return {};
}

QString reviewReasonWord(ReviewReason reason)
{
    return reason == ReviewReason::ReadFromPicture ? kPictureWord : kNotFoundWord;
}

QString reviewWaitingText(int count)
{
    return count > 0 ? QStringLiteral("%1 句待核对").arg(count) : QString();
}

QString reviewMarksPath(const QString& unitFilePath)
{
    const QFileInfo unit(unitFilePath);
    QString name = unit.fileName();
    if (name.endsWith(QLatin1String(".dat")))
        name.chop(4);
    return unit.dir().filePath(u'.' + name + QStringLiteral(".review.json"));
}

QByteArray encodeReviewMarks(const std::vector<StoredReviewMark>& marks)
{
    QJsonArray list;
    for (const StoredReviewMark& mark : marks)
        list.append(QJsonObject{{"startMs", qint64(mark.startMs)},
                                {"endMs", qint64(mark.endMs)},
                                {"text", mark.text},
                                {"reason", reviewReasonWord(mark.reason)}});
    return QJsonDocument(QJsonObject{{"marks", list}}).toJson(QJsonDocument::Indented);
}

std::optional<std::vector<StoredReviewMark>> decodeReviewMarks(const QByteArray& bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        !document.object().value(QLatin1String("marks")).isArray())
        return std::nullopt;
    std::vector<StoredReviewMark> marks;
    for (const QJsonValue& entry : document.object().value(QLatin1String("marks")).toArray()) {
        const QJsonObject object = entry.toObject();
        const std::optional<uint32_t> start = timeValue(object.value(QLatin1String("startMs")));
        const std::optional<uint32_t> end = timeValue(object.value(QLatin1String("endMs")));
        const QJsonValue text = object.value(QLatin1String("text"));
        const QString reason = object.value(QLatin1String("reason")).toString();
        if (!start || !end || !text.isString() ||
            (reason != kPictureWord && reason != kNotFoundWord))
            continue;
        marks.push_back({*start, *end, text.toString(),
                         reason == kPictureWord ? ReviewReason::ReadFromPicture
                                                : ReviewReason::NotFoundInRecording});
    }
    return marks;
}

StoredReviewMark storedMark(const SentenceRow& row, ReviewReason reason)
{
    return {textToUInt(row[StartMs]), textToUInt(row[EndMs]), row[Text], reason};
}

bool holdsMark(const SentenceRow& row, const StoredReviewMark& mark)
{
    return row[Kind] != QLatin1String("0") && row[Text] == mark.text &&
           textToUInt(row[StartMs]) == mark.startMs && textToUInt(row[EndMs]) == mark.endMs;
}

std::vector<std::optional<ReviewReason>>
matchReviewMarks(const std::vector<SentenceRow>& rows, const std::vector<StoredReviewMark>& marks)
{
    std::vector<std::optional<ReviewReason>> reasons(rows.size());
    if (marks.empty())
        return reasons;
    // The rows of each key in table order; a mark takes the first one left.
    QHash<QString, std::vector<int>> rowsOfKey;
    for (int r = int(rows.size()) - 1; r >= 0; --r) {
        const SentenceRow& row = rows[size_t(r)];
        if (row[Kind] != QLatin1String("0"))
            rowsOfKey[rowKey(textToUInt(row[StartMs]), textToUInt(row[EndMs]), row[Text])]
                .push_back(r);
    }
    for (const StoredReviewMark& mark : marks) {
        const auto found = rowsOfKey.find(rowKey(mark.startMs, mark.endMs, mark.text));
        if (found == rowsOfKey.end() || found->empty())
            continue;
        reasons[size_t(found->back())] = mark.reason;
        found->pop_back();
    }
    return reasons;
}

} // namespace dictora
