// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/study/welcome_unit.h"

#include "core/study/file_replacement.h"
#include "core/study/stamp.h"

#include <QDir>
#include <QFileInfo>

namespace dictora {

namespace {

const QString kEnglish = QStringLiteral("en");
const QString kChinese = QStringLiteral("cmn");

} // namespace

const std::vector<WelcomeSection>& welcomeSections()
{
    static const std::vector<WelcomeSection> sections = {
        {QStringLiteral("第一步 听写英文句子"),
         {
             {QStringLiteral("Hello, and welcome."),
              QStringLiteral("听完后, 接着给出的开头往下输入你听到的英文, 按回车键检查。"),
              kEnglish},
             {QStringLiteral("Press Control R to hear it again."),
              QStringLiteral("没听清? 按 Ctrl+R 再听一遍, Ctrl+Shift+R 慢速再听。"
                             "大小写和标点不用管。"),
              kEnglish},
             {QStringLiteral("A wrong letter is marked in red."),
              QStringLiteral("写错的地方下面会出现红线, 改正后再按回车。"), kEnglish},
             {QStringLiteral("Every right answer takes you on."),
              QStringLiteral("答对了就自动进入下一句。"), kEnglish},
         }},
        {QStringLiteral("第二步 添加自己的内容"),
         {
             {QStringLiteral("Your units are at the left edge."),
              QStringLiteral("把鼠标移到屏幕最左边, 会弹出单元列表。"), kEnglish},
             {QStringLiteral("Add a subtitle and its audio."),
              QStringLiteral(
                  "右键菜单选 \"编辑模式\", 双击标题行, 用 \"文本\" 和 \"影音\" 选文件。"),
              kEnglish},
             {QStringLiteral("You can also drop the files on the list."),
              QStringLiteral("在编辑模式下, 可以把 .srt 和 .mp3 文件拖到列表上。"), kEnglish},
             {QStringLiteral("Press F1 for help."),
              QStringLiteral("随时按 F1 查看当前模式的所有按键和鼠标操作。"), kEnglish},
         }},
        {QStringLiteral("Step three: Chinese dictation"),
         {
             {QStringLiteral("你好"),
              QStringLiteral("Listen, type the Chinese you hear, then press Enter."), kChinese},
             {QStringLiteral("谢谢你"),
              QStringLiteral("Use your Chinese input method. Control R plays it again."), kChinese},
             {QStringLiteral("我们开始吧"), QStringLiteral("Well done: now add your own lessons."),
              kChinese},
         }},
    };
    return sections;
}

std::vector<SentenceRow> welcomeRows(const std::vector<SpokenSpan>& spans, uint32_t mediaLengthMs)
{
    size_t count = 0;
    for (const WelcomeSection& section : welcomeSections())
        count += section.sentences.size();
    if (spans.size() != count)
        return {};
    std::vector<SentenceRow> rows;
    size_t next = 0;
    for (const WelcomeSection& section : welcomeSections()) {
        SentenceRow title = makeTitleRow(section.title);
        title[StudiedAt] = kDefaultStampText;
        title[MediaPath] = QStringLiteral("..");
        title[MediaName] = kWelcomeMediaName;
        title[MediaLengthMs] = QString::number(mediaLengthMs);
        rows.push_back(title);
        for (const WelcomeSentence& sentence : section.sentences) {
            const SpokenSpan& span = spans[next++];
            SentenceRow row = makeSentenceRow();
            row[StartMs] = QString::number(span.startMs);
            row[EndMs] = QString::number(span.endMs);
            row[Text] = sentence.text;
            row[Text2] = sentence.text2;
            row[Done] = row[Level] = QStringLiteral("0");
            row[StudiedAt] = kDefaultStampText;
            for (int field : {SectionTitle, MediaPath, MediaName, MediaLengthMs})
                row[field] = title[field];
            rows.push_back(row);
        }
    }
    return rows;
}

bool isNewProgramFolder(const ProgramFolder& folder)
{
    return !QFileInfo::exists(folder.dataFolder());
}

QString welcomeUnitPath(const ProgramFolder& folder)
{
    return folder.dataFolder() + kWelcomeUnitName + QStringLiteral(".dat");
}

QString welcomeMediaPath(const ProgramFolder& folder)
{
    return folder.mediaFolder() + kWelcomeUnitName + u'/' + kWelcomeMediaName;
}

bool writeWelcomeUnit(const ProgramFolder& folder, const std::vector<SentenceRow>& rows,
                      QString* error)
{
    const QString path = welcomeUnitPath(folder);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        *error = QStringLiteral("%1 exists already").arg(QDir::toNativeSeparators(path));
        return false;
    }
    const WriteOutcome written = writeFileAtomically(path, encodeUnit(kWelcomeHeader, rows, false));
    if (!written.ok)
        *error = written.error;
    return written.ok;
}

} // namespace dictora
