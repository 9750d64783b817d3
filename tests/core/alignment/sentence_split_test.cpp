// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/alignment/alignment_text.h"
#include "core/alignment/sentence_split.h"

#include <gtest/gtest.h>

using namespace dictora;

namespace {

struct SplitCase {
    const char* line;
    QStringList sentences;
};

TEST(SentenceSplit, CutsParagraphsAtSentencePunctuationOnly)
{
    const SplitCase cases[] = {
        {"A short line", {"A short line"}},
        {"  Hello there.  ", {"Hello there."}},
        {"It rained. We stayed in! Did you? Yes…",
         {"It rained.", "We stayed in!", "Did you?", "Yes…"}},
        {"He said \"Stop.\" Then he left.", {"He said \"Stop.\"", "Then he left."}},
        {"Mr. Smith met Dr. Jones.", {"Mr. Smith met Dr. Jones."}},
        {"J. Smith wrote it, e.g. this one.", {"J. Smith wrote it, e.g. this one."}},
        {"Wait... what happened?", {"Wait... what happened?"}},
        {"It costs 3.50 dollars. Cheap.", {"It costs 3.50 dollars.", "Cheap."}},
        {"Version 2. 3 more to go.", {"Version 2. 3 more to go."}},
        {"我们走吧。你呢？好！", {"我们走吧。", "你呢？", "好！"}},
        {"他说：“走。”然后走了。", {"他说：“走。”", "然后走了。"}},
        {"End. ...", {"End. ..."}},
        {"...", {}},
        {"", {}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(splitSentences(QString::fromUtf8(c.line)), c.sentences) << c.line;
}

TEST(SentenceSplit, TranscriptLinesAreSentencesOfTheirOwn)
{
    EXPECT_EQ(transcriptSentences({QStringLiteral("One line without a stop"), QString(),
                                   QStringLiteral("Two. Sentences.")}),
              (QStringList{"One line without a stop", "Two.", "Sentences."}));
}

struct VoiceCase {
    const char* text;
    const char* defaultVoice;
    const char* language;
    bool readable;
};

TEST(AlignmentVoice, DefaultByScriptAndScriptsAVoiceReads)
{
    const VoiceCase cases[] = {
        {"Good morning.", "en", "en", true},          {"我们走吧。", "cmn", "cmn", true},
        {"我们走吧。", "cmn", "en-us", false},        {"Good morning.", "en", "cmn", false},
        {"Доброе утро.", "en", "en", false},          {"Доброе утро.", "en", "ru", true},
        {"Guten Morgen.", "en", "de", true},          {"こんにちは、世界。", "en", "ja", true},
        {"I like 北京 very much.", "en", "en", true}, {"2024", "en", "cmn", true},
    };
    for (const VoiceCase& c : cases) {
        const QStringList text{QString::fromUtf8(c.text)};
        EXPECT_EQ(defaultVoiceFor(text), QLatin1String(c.defaultVoice)) << c.text;
        EXPECT_EQ(voiceReadsScript(QLatin1String(c.language), text), c.readable)
            << c.text << " " << c.language;
    }
}

} // namespace
