// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/export/anki_note_type.h"

#include <QJsonArray>

namespace dictora {

namespace {

// The time the templates below were last changed: a flashcard program takes
// a note type's templates over only when they are newer than its own copy.
constexpr qint64 kTemplatesChangedSecs = 1765180800;

// Large type on a narrow screen, the answer box as wide as the card, and a
// night mode the phone apps switch to by themselves.
const char kCss[] = R"(.card {
  font-family: "Noto Sans CJK SC", "PingFang SC", "Microsoft YaHei", "Helvetica Neue", Arial, sans-serif;
  font-size: 22px;
  line-height: 1.5;
  text-align: center;
  color: #1d1d1f;
  background-color: #fbfbf8;
  padding: 16px 12px;
  overflow-wrap: anywhere;
}
.dictora-sound { margin: 0.5em 0 1em; }
.dictora-sentence { font-size: 1.2em; margin: 0.6em 0; }
.dictora-hint { color: #55595f; font-size: 0.9em; margin-top: 0.6em; }
.dictora-unit { color: #8a8d91; font-size: 0.7em; margin-top: 1.2em; }
#typeans, input {
  box-sizing: border-box;
  width: 100%;
  font-size: 1em;
  padding: 0.4em;
}
code#typeans { white-space: pre-wrap; }
.nightMode .card, .night_mode .card { color: #e8e8e6; background-color: #1f2023; }
.nightMode .dictora-hint, .night_mode .dictora-hint { color: #b5b8bc; }
@media (max-width: 480px) {
  .card { font-size: 20px; padding: 10px 6px; }
}
)";

const char kDictationFront[] = "<div class=\"dictora-sound\">{{音频}}</div>\n{{type:句子}}";
const char kDictationBack[] = "<div class=\"dictora-sound\">{{音频}}</div>\n<hr id=answer>\n"
                              "{{type:句子}}\n"
                              "{{#提示}}<div class=\"dictora-hint\">{{提示}}</div>{{/提示}}\n"
                              "<div class=\"dictora-unit\">{{单元}}</div>";
const char kRecallFront[] = "<div class=\"dictora-sound\">{{音频}}</div>";
const char kRecallBack[] = "{{FrontSide}}\n<hr id=answer>\n"
                           "<div class=\"dictora-sentence\">{{句子}}</div>\n"
                           "{{#提示}}<div class=\"dictora-hint\">{{提示}}</div>{{/提示}}\n"
                           "<div class=\"dictora-unit\">{{单元}}</div>";

QJsonObject cardTemplate(const char* name, int ord, const char* front, const char* back)
{
    return {{"name", QString::fromUtf8(name)}, {"ord", ord},  {"qfmt", QString::fromUtf8(front)},
            {"afmt", QString::fromUtf8(back)}, {"bqfmt", ""}, {"bafmt", ""},
            {"did", QJsonValue::Null}};
}

} // namespace

QJsonObject dictoraNoteType(qint64 deckId)
{
    QJsonArray fields;
    for (int ord = 0; ord < kDictoraNoteFields.size(); ++ord)
        fields.append(QJsonObject{{"name", kDictoraNoteFields[ord]},
                                  {"ord", ord},
                                  {"font", "Arial"},
                                  {"size", 20},
                                  {"sticky", false},
                                  {"rtl", false},
                                  {"media", QJsonArray{}}});
    const QJsonArray templates{cardTemplate("听写", 0, kDictationFront, kDictationBack),
                               cardTemplate("回忆", 1, kRecallFront, kRecallBack)};
    // Which fields a card needs to be made, for versions that do not work it
    // out themselves: 听写 needs the sound or the sentence, 回忆 the sound.
    const QJsonArray required{QJsonArray{0, "any", QJsonArray{0, 2}},
                              QJsonArray{1, "all", QJsonArray{2}}};
    return {{"id", QString::number(kDictoraNoteTypeId)},
            {"name", kDictoraNoteTypeName},
            {"type", 0},
            {"mod", kTemplatesChangedSecs},
            {"usn", -1},
            {"sortf", 0},
            {"did", deckId},
            {"tmpls", templates},
            {"flds", fields},
            {"css", QString::fromUtf8(kCss)},
            {"latexPre", "\\documentclass[12pt]{article}\n\\special{papersize=3in,5in}\n"
                         "\\usepackage[utf8]{inputenc}\n\\usepackage{amssymb,amsmath}\n"
                         "\\pagestyle{empty}\n\\setlength{\\parindent}{0in}\n\\begin{document}\n"},
            {"latexPost", "\\end{document}"},
            {"tags", QJsonArray{}},
            {"vers", QJsonArray{}},
            {"req", required}};
}

} // namespace dictora
