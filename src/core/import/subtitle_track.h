// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

namespace dictora {

// The kinds of subtitle a film's container may carry.
enum class SubtitleCodec { SubRip, Ass, WebVtt, MovText, Pgs, VobSub, Unknown };

// The codec of a demuxed subtitle stream by its caps: the media type and,
// for raw text, the format field. Raw text is SubRip in Matroska and
// mov_text (3GPP timed text) in MP4, so the container decides that one.
SubtitleCodec codecOfCaps(const QString& mediaType, bool fromMp4);

// "SubRip", "ASS/SSA", "WebVTT", "mov_text", "PGS", "VobSub" or "unknown".
QString codecName(SubtitleCodec codec);

// Picture subtitles, which are read by OCR.
bool isPictureCodec(SubtitleCodec codec);

// One subtitle stream of a film, as the container describes it.
struct SubtitleTrack {
    int index = 0;    // among the file's subtitle streams, from 0
    QString streamId; // the demuxer's name for the stream
    SubtitleCodec codec = SubtitleCodec::Unknown;
    QString language; // as tagged: ISO 639-1/-2 or a BCP 47 tag; empty when untagged
    QString title;    // the track's name, may be empty
    bool isDefault = false;
    bool forced = false;      // only the film's signs and foreign lines
    bool forcedKnown = false; // the container said whether it is forced
    int cueCount = -1;        // -1 when the container does not say
};

// The learner's name of a language tag, in Chinese: "英语", "简体中文",
// "繁体中文", "日语" ...; a tag of no known language gives the tag itself,
// an empty tag "未标语言". A Chinese tag without script is "中文" unless the
// track's title says simplified or traditional.
QString languageName(const QString& tag, const QString& title = {});

// The ISO 639-1 code of a tag ("eng", "en-US", "en" give "en"; "chi", "zho",
// "zh-Hans" give "zh"), lower case; the tag itself in lower case when unknown.
QString baseLanguage(const QString& tag);

// The line of the add-content dialog for a track: language name, codec and
// title, e.g. "英语 · SubRip · English SDH".
QString trackLabel(const SubtitleTrack& track);

// The Tesseract language that reads a track of this language tag: "eng",
// "chi_sim", "chi_tra", "jpn" ...; empty when none is known.
QString ocrLanguage(const QString& tag, const QString& title = {});

// The Debian package that installs the data of a Tesseract language:
// "chi_sim" is in "tesseract-ocr-chi-sim".
QString ocrPackage(const QString& ocrLanguage);

// The tracks an import takes when the learner has not chosen: the sentence
// track in `targetLanguage` (ISO 639-1; the Unit's language, else "en"),
// else the default track, else the first; and a Chinese track as the prompt
// when there is one other than the sentence track. -1 for none.
struct TrackChoice {
    int sentence = -1;
    int prompt = -1;
};
TrackChoice chooseTracks(const std::vector<SubtitleTrack>& tracks, const QString& targetLanguage);

} // namespace dictora
