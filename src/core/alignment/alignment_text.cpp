// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/alignment_text.h"

#include "core/alignment/sentence_split.h"
#include "core/study/number_text.h"
#include "core/study/sentence_list_rules.h"

#include <QHash>

#include <algorithm>

namespace dictora {

namespace {

// The scripts of the languages espeak-ng speaks that are not written in
// Latin letters.
QList<QChar::Script> scriptsOf(const QString& language)
{
    using S = QChar::Script;
    static const QHash<QString, QList<S>> scripts = {
        {QStringLiteral("cmn"), {S::Script_Han}},
        {QStringLiteral("yue"), {S::Script_Han}},
        {QStringLiteral("zh"), {S::Script_Han}},
        {QStringLiteral("hak"), {S::Script_Han}},
        {QStringLiteral("ja"), {S::Script_Han, S::Script_Hiragana, S::Script_Katakana}},
        {QStringLiteral("ko"), {S::Script_Hangul}},
        {QStringLiteral("ru"), {S::Script_Cyrillic}},
        {QStringLiteral("uk"), {S::Script_Cyrillic}},
        {QStringLiteral("be"), {S::Script_Cyrillic}},
        {QStringLiteral("bg"), {S::Script_Cyrillic}},
        {QStringLiteral("mk"), {S::Script_Cyrillic}},
        {QStringLiteral("sr"), {S::Script_Cyrillic, S::Script_Latin}},
        {QStringLiteral("ky"), {S::Script_Cyrillic}},
        {QStringLiteral("kk"), {S::Script_Cyrillic}},
        {QStringLiteral("tt"), {S::Script_Cyrillic}},
        {QStringLiteral("ba"), {S::Script_Cyrillic}},
        {QStringLiteral("cv"), {S::Script_Cyrillic}},
        {QStringLiteral("el"), {S::Script_Greek}},
        {QStringLiteral("grc"), {S::Script_Greek}},
        {QStringLiteral("ar"), {S::Script_Arabic}},
        {QStringLiteral("fa"), {S::Script_Arabic}},
        {QStringLiteral("ur"), {S::Script_Arabic}},
        {QStringLiteral("sd"), {S::Script_Arabic}},
        {QStringLiteral("ug"), {S::Script_Arabic}},
        {QStringLiteral("he"), {S::Script_Hebrew}},
        {QStringLiteral("hi"), {S::Script_Devanagari}},
        {QStringLiteral("mr"), {S::Script_Devanagari}},
        {QStringLiteral("ne"), {S::Script_Devanagari}},
        {QStringLiteral("kok"), {S::Script_Devanagari}},
        {QStringLiteral("bn"), {S::Script_Bengali}},
        {QStringLiteral("as"), {S::Script_Bengali}},
        {QStringLiteral("bpy"), {S::Script_Bengali}},
        {QStringLiteral("pa"), {S::Script_Gurmukhi}},
        {QStringLiteral("gu"), {S::Script_Gujarati}},
        {QStringLiteral("or"), {S::Script_Oriya}},
        {QStringLiteral("ta"), {S::Script_Tamil}},
        {QStringLiteral("te"), {S::Script_Telugu}},
        {QStringLiteral("kn"), {S::Script_Kannada}},
        {QStringLiteral("ml"), {S::Script_Malayalam}},
        {QStringLiteral("si"), {S::Script_Sinhala}},
        {QStringLiteral("ka"), {S::Script_Georgian}},
        {QStringLiteral("hy"), {S::Script_Armenian}},
        {QStringLiteral("am"), {S::Script_Ethiopic}},
        {QStringLiteral("my"), {S::Script_Myanmar}},
    };
    const QString base = language.toLower().section(u'-', 0, 0);
    return scripts.value(base, {S::Script_Latin});
}

bool isTimed(const SentenceRow& row)
{
    return row[StartMs].toLongLong() > 0 || row[EndMs].toLongLong() > 0;
}

} // namespace

AlignmentText readAlignmentText(const TextImportRequest& request)
{
    AlignmentText text;
    std::vector<SentenceRow> rows;
    text.read = ReadTextRows(request, rows, text.sectionTitle);
    if (text.read.status != TextImportOutcome::Status::Imported)
        return text;
    text.retime = std::any_of(rows.begin(), rows.end(), isTimed);
    if (text.retime) {
        text.rows = std::move(rows);
        for (size_t i = 0; i < text.rows.size(); ++i) {
            const QString spoken = text.rows[i][Text].trimmed();
            if (spoken.isEmpty())
                continue;
            text.spokenRows.push_back(int(i));
            text.sentences << spoken;
            text.stated.push_back(
                {int(text.rows[i][StartMs].toLongLong()), int(text.rows[i][EndMs].toLongLong())});
        }
        // A lyric line ends where the next begins.
        for (size_t k = 0; k + 1 < text.stated.size(); ++k) {
            if (text.stated[k].endMs <= text.stated[k].startMs)
                text.stated[k].endMs = text.stated[k + 1].startMs;
        }
    } else {
        for (const SentenceRow& row : rows) {
            for (const QString& sentence : splitSentences(row[Text])) {
                SentenceRow split = row;
                split[Text] = sentence;
                text.spokenRows.push_back(int(text.rows.size()));
                text.sentences << sentence;
                text.rows.push_back(std::move(split));
            }
        }
    }
    text.read.rowsAdded = int(text.rows.size());
    return text;
}

void applyAlignment(AlignmentText& text, const std::vector<AlignedSentence>& aligned)
{
    for (size_t k = 0; k < aligned.size() && k < text.spokenRows.size(); ++k) {
        SentenceRow& row = text.rows[size_t(text.spokenRows[k])];
        row[StartMs] = uintText(uint32_t(std::max(aligned[k].startMs, 0)));
        row[EndMs] = uintText(uint32_t(std::max(aligned[k].endMs, 0)));
    }
}

int foundCount(const std::vector<AlignedSentence>& aligned)
{
    return int(std::count_if(aligned.begin(), aligned.end(),
                             [](const AlignedSentence& s) { return s.found; }));
}

void keepFoundRows(AlignmentText& text, const std::vector<AlignedSentence>& aligned)
{
    std::vector<bool> drop(text.rows.size(), false);
    for (size_t k = 0; k < text.spokenRows.size(); ++k)
        drop[size_t(text.spokenRows[k])] = k >= aligned.size() || !aligned[k].found;
    std::vector<SentenceRow> kept;
    std::vector<int> spoken;
    QStringList sentences;
    std::vector<StatedSpan> stated;
    size_t k = 0;
    for (size_t i = 0; i < text.rows.size(); ++i) {
        const bool isSpoken = k < text.spokenRows.size() && text.spokenRows[k] == int(i);
        if (!drop[i]) {
            if (isSpoken) {
                spoken.push_back(int(kept.size()));
                sentences << text.sentences[qsizetype(k)];
                if (k < text.stated.size())
                    stated.push_back(text.stated[k]);
            }
            kept.push_back(std::move(text.rows[i]));
        }
        if (isSpoken)
            ++k;
    }
    text.rows = std::move(kept);
    text.spokenRows = std::move(spoken);
    text.sentences = std::move(sentences);
    text.stated = std::move(stated);
    text.read.rowsAdded = int(text.rows.size());
}

int speechEndMs(const std::vector<AlignedSentence>& aligned)
{
    int end = 0;
    for (const AlignedSentence& sentence : aligned)
        if (sentence.found)
            end = std::max(end, sentence.endMs);
    return end;
}

QString notAllFoundMessage(const std::vector<AlignedSentence>& aligned)
{
    const int found = foundCount(aligned);
    if (found == 0)
        return QStringLiteral("在录音里一句也没有找到 (共 %1 句), 没有导入. "
                              "请检查文本和媒体文件是否配套.")
            .arg(aligned.size());
    return QStringLiteral("在录音里只找到了 %1 句 (共 %2 句), 找到的语音到 %3 为止; 没有导入.")
        .arg(found)
        .arg(aligned.size())
        .arg(timePointText(uint32_t(speechEndMs(aligned))));
}

QString defaultVoiceFor(const QStringList& sentences)
{
    long long han = 0, letters = 0;
    for (const QString& sentence : sentences) {
        for (const QChar c : sentence) {
            if (!c.isLetter())
                continue;
            ++letters;
            if (c.script() == QChar::Script_Han)
                ++han;
        }
    }
    return letters > 0 && han * 2 > letters ? QStringLiteral("cmn") : QStringLiteral("en");
}

bool voiceReadsScript(const QString& language, const QStringList& sentences)
{
    const QList<QChar::Script> scripts = scriptsOf(language);
    long long readable = 0, letters = 0;
    for (const QString& sentence : sentences) {
        for (const QChar c : sentence) {
            if (!c.isLetter())
                continue;
            ++letters;
            if (scripts.contains(c.script()))
                ++readable;
        }
    }
    return letters == 0 || readable * 2 >= letters;
}

QString noSentencesMessage()
{
    return QStringLiteral("文本中没有可以对齐的句子.");
}

QString unknownVoiceMessage(const QString& voice)
{
    return QStringLiteral("espeak-ng 没有名为 %1 的语音.").arg(voice);
}

QString scriptMessage(const QString& voice)
{
    return QStringLiteral(
               "espeak-ng 的 %1 语音读不了这段文本的文字, 不能对齐时间. 请选择说这种语言的语音.")
        .arg(voice);
}

QString noAudioMessage(const QString& mediaName)
{
    return QStringLiteral("媒体文件 %1 没有音轨, 不能对齐时间.").arg(mediaName);
}

QString unreadableMediaMessage(const QString& mediaName, const QString& reason)
{
    return QStringLiteral("不能读取媒体文件 %1 (%2), 不能对齐时间.").arg(mediaName, reason);
}

QString silentMediaMessage(const QString& mediaName)
{
    return QStringLiteral("媒体文件 %1 里听不到声音, 不能对齐时间.").arg(mediaName);
}

QString textTooLongMessage(double syntheticSeconds, double heardSeconds)
{
    return QStringLiteral("文本比录音长得多 (朗读约 %1 秒, 录音里说话约 %2 秒), 不能对齐时间. "
                          "请检查文本和媒体文件是否配套.")
        .arg(qRound(syntheticSeconds))
        .arg(qRound(heardSeconds));
}

} // namespace dictora
