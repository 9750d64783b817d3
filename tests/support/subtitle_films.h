// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

namespace dictora::test {

struct MuxedCue {
    uint32_t startMs = 0;
    uint32_t endMs = 0;
    QByteArray payload;
};

// One subtitle stream to mux: its caps ("text/x-raw,format=utf8",
// "application/x-ass", "subpicture/x-pgs" ...), its stream tags as taginject
// takes them ("language-code=en,title=English") and its blocks.
struct MuxedTrack {
    QString caps;
    QString tags;
    std::vector<MuxedCue> cues;
};

// A PGS display set as Matroska stores it (segments without the "PG"
// header) showing `lines` in white letters with a black outline, centred
// near the bottom of a width x height frame at the given glyph size in
// pixels. No lines: the set that clears the screen. Needs a QGuiApplication
// for its fonts.
QByteArray pgsDisplaySet(const QStringList& lines, int width = 1920, int height = 1080,
                         int pixelSize = 48);

// Writes a film of only subtitle streams: Matroska through matroskamux, or
// MP4 through qtmux (mov_text), whose samples follow each other, so gaps
// between cues are filled with empty samples as real files have them.
// False with `error` set when the muxing fails.
bool writeSubtitleFilm(const QString& path, bool mp4, const std::vector<MuxedTrack>& tracks,
                       QString* error = nullptr);

// Writes a Matroska file of one PGS track (CodecID S_HDMV/PGS, language an
// ISO 639-2 code such as "eng"), which matroskamux does not write: each cue
// a block of its own cluster with its duration, the data zlib-compressed
// under a ContentEncoding when `compressed`, as mkvmerge stores PGS; the
// track marked forced (FlagForced) when `forced`.
bool writePgsMatroska(const QString& path, const QByteArray& language,
                      const std::vector<MuxedCue>& cues, bool compressed, bool forced = false);

// A DVD subpicture unit showing `lines` centred near the bottom of a width x
// height frame: letters in pixel value 1, their outline 2, the shading
// between them 3, with palette entries 1, 2 and 3 of vobSubIndexText. With
// `stopMs`, a stop-display command that many milliseconds after the start
// (the unit's clock counts 1024/90 ms, so multiples of 512 ms are exact).
// With `darkLetters` the letters take entry 2 (black) and the outline entry
// 1 (white). Needs a QGuiApplication for its fonts.
QByteArray dvdSubpicture(const QStringList& lines, int width, int height, int pixelSize,
                         std::optional<uint32_t> stopMs = {}, bool darkLetters = false);

// The .idx text of a VobSub track: a size line when width > 0, and a
// palette of black, near white, black and grey in its first entries.
QByteArray vobSubIndexText(int width, int height);

// Writes a Matroska file of one VobSub track (CodecID S_VOBSUB, the index
// text as CodecPrivate) as writePgsMatroska does; a cue whose end is not
// after its start has no BlockDuration.
bool writeVobSubMatroska(const QString& path, const QByteArray& language,
                         const QByteArray& indexText, const std::vector<MuxedCue>& cues,
                         bool compressed);

// Writes an MP4 file of one VobSub track (sample entry mp4s, the palette in
// its decoder information as MP4 keeps it) of `language` (ISO 639-2); each
// cue's sample lasts until the next cue, the last one until its end.
bool writeVobSubMp4(const QString& path, const QByteArray& language,
                    const std::vector<MuxedCue>& cues);

} // namespace dictora::test
