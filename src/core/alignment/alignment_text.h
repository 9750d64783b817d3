// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/alignment/sentence_alignment.h"
#include "core/import/text_import.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace dictora {

// A text file read for aligning with its recording. A file without any time
// (a transcript) gives one row per sentence (sentence_split.h); a file with
// times (lyrics, subtitles) keeps its rows, which are re-timed.
struct AlignmentText {
    TextImportOutcome read; // how reading went; rows only when Imported
    std::vector<SentenceRow> rows;
    QString sectionTitle;
    bool retime = false;
    // The rows that are spoken, in order, with the text to speak and (when
    // re-timing) the time the file states; a row without text keeps its time.
    std::vector<int> spokenRows;
    QStringList sentences;
    std::vector<StatedSpan> stated;
};

AlignmentText readAlignmentText(const TextImportRequest& request);

// Puts the aligned times into the spoken rows.
void applyAlignment(AlignmentText& text, const std::vector<AlignedSentence>& aligned);

// How many of the sentences were found.
int foundCount(const std::vector<AlignedSentence>& aligned);

// Leaves out the spoken rows whose sentence was not found; rows that are
// not spoken stay.
void keepFoundRows(AlignmentText& text, const std::vector<AlignedSentence>& aligned);

// Where the recording's speech ran out: the end of the last sentence found
// (0 when none was).
int speechEndMs(const std::vector<AlignedSentence>& aligned);

// The learner's message when an aligned import is refused because not
// every sentence was found.
QString notAllFoundMessage(const std::vector<AlignedSentence>& aligned);

// The voice that reads the sentences when the learner names none: Mandarin
// ("cmn") when most of their letters are Han characters, else English ("en").
QString defaultVoiceFor(const QStringList& sentences);

// Whether a voice of this language (an espeak-ng language code such as "en",
// "en-us", "cmn", "ru") can read the sentences: at least half of their
// letters are of a script the language is written in (Latin unless the
// language is one of the others espeak-ng speaks).
bool voiceReadsScript(const QString& language, const QStringList& sentences);

// The learner's messages when alignment cannot run.
QString noSentencesMessage();
QString unknownVoiceMessage(const QString& voice);
QString scriptMessage(const QString& voice);
QString noAudioMessage(const QString& mediaName);
QString unreadableMediaMessage(const QString& mediaName, const QString& reason);
QString silentMediaMessage(const QString& mediaName);
QString textTooLongMessage(double syntheticSeconds, double heardSeconds);

} // namespace dictora
