// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/import/pgs_picture.h"

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

namespace dictora {

// What a VobSub track's codec private data (the text of its .idx file)
// says: the frame size ("size: 720x576", often missing) and the sixteen
// colours ("palette: 000000, f0f0f0, ..." in hex RGB).
struct VobSubIndex {
    int width = 0; // 0 when the text has no usable size line
    int height = 0;
    std::array<uint32_t, 16> palette{}; // 0xRRGGBB
    bool hasPalette = false;
};
VobSubIndex parseVobSubIndex(const QByteArray& text);

// The palette line of an index text for sixteen colours given as Y'CrCb,
// a byte each in the low three bytes, as MP4 files and DVDs keep them.
QByteArray vobSubPaletteLine(const std::array<uint32_t, 16>& yCrCb);

// One DVD subpicture unit as a VobSub block holds it, drawn as ink on
// paper like a PGS picture. The text's colour is told from its outline by
// where the colours lie, not by brightness: the outline touches the
// transparent ground, the letters inside it do not. So white letters with a
// black edge and black letters with a white edge both become dark ink.
struct DvdSubpicture {
    // Lengths or offsets past the unit, or an area outside the index's frame:
    // the unit is to be skipped.
    bool damaged = false;
    InkPicture picture;        // the display area; empty when the unit shows nothing
    int startMs = 0;           // the start-display command's delay after the block's time
    std::optional<int> stopMs; // the stop-display command's delay, when there is one
};
DvdSubpicture decodeDvdSubpicture(const QByteArray& unit, const VobSubIndex& index);

// The longest a picture stays when nothing says when it goes: subtitle
// guidelines keep a cue on screen for at most about seven seconds.
constexpr uint32_t kLongestUntimedPictureMs = 7000;

// When a picture shown from `startMs` goes: at its own stop-display time,
// else at the block's end (its duration), else at the next picture's start
// but no later than kLongestUntimedPictureMs. A following picture replaces
// it, so the end is never past the next start.
uint32_t pictureEndMs(uint32_t startMs, std::optional<uint32_t> stopMs,
                      std::optional<uint32_t> blockEndMs, std::optional<uint32_t> nextStartMs);

// One VobSub block read as a picture shown from startMs to endMs (its block
// time plus its start-display delay, and pictureEndMs).
struct TimedPicture {
    bool damaged = false;
    InkPicture picture; // empty for a block that shows nothing
    uint32_t startMs = 0;
    uint32_t endMs = 0;
};
TimedPicture vobSubPicture(const QByteArray& unit, const VobSubIndex& index, uint32_t blockStartMs,
                           std::optional<uint32_t> blockEndMs, std::optional<uint32_t> nextStartMs);

} // namespace dictora
