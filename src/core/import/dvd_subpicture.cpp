// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/dvd_subpicture.h"

#include <QStringList>
#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>

namespace dictora {

namespace {

enum Command : uint8_t {
    ForcedStart = 0x00,
    Start = 0x01,
    Stop = 0x02,
    Colours = 0x03,
    Alphas = 0x04,
    Area = 0x05,
    FieldOffsets = 0x06,
    ColourChanges = 0x07,
    End = 0xFF,
};

// A unit has few control sequences; more means their offsets loop.
constexpr int kMostSequences = 32;

int be16(const uchar* at)
{
    return (at[0] << 8) | at[1];
}

// Control sequence delays count ticks of 1024 periods of the 90 kHz clock.
int ticksToMs(int ticks)
{
    return (ticks * 1024 + 45) / 90;
}

// Reads the run-length data of one field nibble by nibble.
class NibbleReader {
public:
    NibbleReader(const uchar* data, int at, int end) : data_(data), at_(2 * at), end_(2 * end) {}
    bool atEnd() const { return at_ >= end_; }
    int next()
    {
        if (at_ >= end_)
            return 0;
        const int nibble = (at_ & 1) ? data_[at_ / 2] & 0x0F : data_[at_ / 2] >> 4;
        ++at_;
        return nibble;
    }
    void alignToByte() { at_ = (at_ + 1) & ~1; }

private:
    const uchar* data_;
    int at_; // in nibbles
    int end_;
};

// Expands the rows of one field (every second row, from `firstRow`) into
// 2-bit pixel values. A code takes one to four nibbles: a run of up to 3,
// 15, 63 or 255 pixels, or a run to the end of the row; each row starts on
// a byte. Data ending early leaves the rest transparent.
void expandField(NibbleReader reader, int firstRow, int width, int height,
                 std::vector<uint8_t>& pixels)
{
    for (int y = firstRow; y < height && !reader.atEnd(); y += 2) {
        uint8_t* row = pixels.data() + size_t(y) * size_t(width);
        int x = 0;
        while (x < width && !reader.atEnd()) {
            int code = reader.next();
            if (code < 0x4) {
                code = (code << 4) | reader.next();
                if (code < 0x10) {
                    code = (code << 4) | reader.next();
                    if (code < 0x40)
                        code = (code << 4) | reader.next();
                }
            }
            const int run = code >> 2 == 0 ? width - x : std::min(code >> 2, width - x);
            std::fill_n(row + x, run, uint8_t(code & 3));
            x += run;
        }
        reader.alignToByte();
    }
}

int luma(uint32_t rgb)
{
    return (299 * int((rgb >> 16) & 0xFF) + 587 * int((rgb >> 8) & 0xFF) + 114 * int(rgb & 0xFF)) /
           1000;
}

// The ink of each of the four pixel values. The letters' value is the
// visible one whose pixels least touch the transparent ground or the edge
// of the area; the outline's is the one that touches it most. Other visible
// values (anti-aliasing between the two) shade by their brightness between
// the letters' and the outline's; the ground and the outline are paper.
std::array<uint8_t, 4> inkOfValues(const std::vector<uint8_t>& pixels, int width, int height,
                                   const std::array<int, 4>& alpha,
                                   const std::array<std::optional<int>, 4>& brightness)
{
    std::array<int, 4> count{}, touching{};
    const auto clear = [&](int x, int y) {
        return x < 0 || y < 0 || x >= width || y >= height ||
               alpha[pixels[size_t(y) * size_t(width) + size_t(x)]] == 0;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t value = pixels[size_t(y) * size_t(width) + size_t(x)];
            if (alpha[value] == 0)
                continue;
            ++count[value];
            if (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1))
                ++touching[value];
        }
    }
    int letters = -1, outline = -1;
    // Shares compared as touching[a] / count[a] < touching[b] / count[b].
    const auto lessTouching = [&](int a, int b) {
        return int64_t(touching[a]) * count[b] < int64_t(touching[b]) * count[a];
    };
    for (int value = 0; value < 4; ++value) {
        if (count[value] == 0)
            continue;
        if (letters < 0 || lessTouching(value, letters) ||
            (!lessTouching(letters, value) && count[value] > count[letters]))
            letters = value;
        if (outline < 0 || lessTouching(outline, value))
            outline = value;
    }
    std::array<uint8_t, 4> ink{255, 255, 255, 255};
    if (letters < 0)
        return ink;
    ink[size_t(letters)] = 0;
    if (outline == letters || !brightness[size_t(letters)] || !brightness[size_t(outline)])
        return ink;
    const int from = *brightness[size_t(letters)];
    const int span = std::abs(*brightness[size_t(outline)] - from);
    for (int value = 0; value < 4; ++value) {
        if (value == letters || value == outline || count[value] == 0 || span == 0)
            continue;
        const int away = std::abs(*brightness[size_t(value)] - from);
        ink[size_t(value)] = uint8_t(std::min(255, 255 * away / span));
    }
    return ink;
}

} // namespace

VobSubIndex parseVobSubIndex(const QByteArray& text)
{
    VobSubIndex index;
    static const QRegularExpression sizeLine(QStringLiteral("^\\s*size:\\s*(\\d+)\\s*x\\s*(\\d+)"),
                                             QRegularExpression::MultilineOption |
                                                 QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression paletteLine(QStringLiteral("^\\s*palette:(.*)$"),
                                                QRegularExpression::MultilineOption |
                                                    QRegularExpression::CaseInsensitiveOption);
    const QString idx = QString::fromLatin1(text);
    const QRegularExpressionMatch size = sizeLine.match(idx);
    if (size.hasMatch()) {
        const int width = size.captured(1).toInt();
        const int height = size.captured(2).toInt();
        if (width > 0 && height > 0 && width <= 8192 && height <= 8192) {
            index.width = width;
            index.height = height;
        }
    }
    const QRegularExpressionMatch palette = paletteLine.match(idx);
    if (palette.hasMatch()) {
        const QStringList entries = palette.captured(1).split(u',');
        bool all = entries.size() == 16;
        for (qsizetype i = 0; all && i < 16; ++i) {
            const QString entry = entries[i].trimmed();
            index.palette[size_t(i)] = entry.toUInt(&all, 16);
            all = all && entry.size() <= 6;
        }
        index.hasPalette = all;
        if (!all)
            index.palette = {};
    }
    return index;
}

QByteArray vobSubPaletteLine(const std::array<uint32_t, 16>& yCrCb)
{
    QStringList entries;
    for (const uint32_t entry : yCrCb) {
        const double y = (entry >> 16) & 0xFF;
        const double cr = double((entry >> 8) & 0xFF) - 128;
        const double cb = double(entry & 0xFF) - 128;
        const auto channel = [](double value) { return std::clamp(int(value + 0.5), 0, 255); };
        const int rgb = (channel(y + 1.402 * cr) << 16) |
                        (channel(y - 0.344136 * cb - 0.714136 * cr) << 8) | channel(y + 1.772 * cb);
        entries << QStringLiteral("%1").arg(rgb, 6, 16, QLatin1Char('0'));
    }
    return "palette: " + entries.join(QStringLiteral(", ")).toLatin1() + '\n';
}

DvdSubpicture decodeDvdSubpicture(const QByteArray& unit, const VobSubIndex& index)
{
    DvdSubpicture result;
    const auto* data = reinterpret_cast<const uchar*>(unit.constData());
    if (unit.size() < 4) {
        result.damaged = true;
        return result;
    }
    const int size = be16(data);
    const int control = be16(data + 2);
    if (size > unit.size() || control < 4 || control + 4 > size) {
        result.damaged = true;
        return result;
    }
    std::array<int, 4> colour{0, 1, 2, 3}; // palette entry of each pixel value
    std::array<int, 4> alpha{0, 15, 15, 15};
    int left = 0, right = -1, top = 0, bottom = -1;
    int fieldStart[2] = {0, 0};
    bool shown = false;
    int at = control;
    for (int sequence = 0; sequence < kMostSequences; ++sequence) {
        const int delayMs = ticksToMs(be16(data + at));
        const int next = be16(data + at + 2);
        int command = at + 4;
        bool ended = false;
        while (command < size && !ended) {
            const uint8_t code = data[command++];
            const int remaining = size - command; // bytes after the command byte
            switch (code) {
            case ForcedStart:
            case Start:
                shown = true;
                result.startMs = delayMs;
                break;
            case Stop:
                if (!result.stopMs)
                    result.stopMs = delayMs;
                break;
            case Colours:
            case Alphas: {
                if (remaining < 2) {
                    result.damaged = true;
                    return result;
                }
                std::array<int, 4>& target = code == Colours ? colour : alpha;
                const int b0 = data[command], b1 = data[command + 1];
                target = {b1 & 0x0F, b1 >> 4, b0 & 0x0F, b0 >> 4};
                command += 2;
                break;
            }
            case Area: {
                if (remaining < 6) {
                    result.damaged = true;
                    return result;
                }
                const uchar* a = data + command;
                left = (a[0] << 4) | (a[1] >> 4);
                right = ((a[1] & 0x0F) << 8) | a[2];
                top = (a[3] << 4) | (a[4] >> 4);
                bottom = ((a[4] & 0x0F) << 8) | a[5];
                command += 6;
                break;
            }
            case FieldOffsets:
                if (remaining < 4) {
                    result.damaged = true;
                    return result;
                }
                fieldStart[0] = be16(data + command);
                fieldStart[1] = be16(data + command + 2);
                command += 4;
                break;
            case ColourChanges: // colour and contrast changes by region: not needed for the text
                // The length counts its own two bytes.
                if (remaining < 2 || be16(data + command) < 2 || be16(data + command) > remaining) {
                    result.damaged = true;
                    return result;
                }
                command += be16(data + command);
                break;
            default: // End, or a command of unknown length
                ended = true;
                break;
            }
        }
        if (next == at || next < at || next + 4 > size)
            break;
        at = next;
    }
    if (!shown || right < left || bottom < top)
        return result; // a unit that only clears the screen
    for (const int start : fieldStart) {
        if (start < 4 || start >= size) {
            result.damaged = true;
            return result;
        }
    }
    // An area that starts outside a frame of known size is not a picture of it.
    if ((index.width > 0 && left >= index.width) || (index.height > 0 && top >= index.height)) {
        result.damaged = true;
        return result;
    }
    const int width = right - left + 1;
    const int height = bottom - top + 1;
    std::vector<uint8_t> pixels(size_t(width) * size_t(height), 0);
    for (int field = 0; field < 2; ++field)
        expandField(NibbleReader(data, fieldStart[field], size), field, width, height, pixels);

    std::array<std::optional<int>, 4> brightness;
    if (index.hasPalette) {
        for (size_t value = 0; value < 4; ++value)
            brightness[value] = luma(index.palette[size_t(colour[value])]);
    }
    const std::array<uint8_t, 4> ink = inkOfValues(pixels, width, height, alpha, brightness);
    result.picture.width = width;
    result.picture.height = height;
    result.picture.pixels.resize(pixels.size());
    std::transform(pixels.begin(), pixels.end(), result.picture.pixels.begin(),
                   [&ink](uint8_t value) { return ink[value]; });
    return result;
}

uint32_t pictureEndMs(uint32_t startMs, std::optional<uint32_t> stopMs,
                      std::optional<uint32_t> blockEndMs, std::optional<uint32_t> nextStartMs)
{
    uint32_t end = startMs;
    if (stopMs && *stopMs > startMs)
        end = *stopMs;
    else if (blockEndMs && *blockEndMs > startMs)
        end = *blockEndMs;
    else if (nextStartMs && *nextStartMs > startMs)
        end = std::min(*nextStartMs, startMs + kLongestUntimedPictureMs);
    else
        end = startMs + kLongestUntimedPictureMs;
    if (nextStartMs && *nextStartMs > startMs)
        end = std::min(end, *nextStartMs);
    return end;
}

TimedPicture vobSubPicture(const QByteArray& unit, const VobSubIndex& index, uint32_t blockStartMs,
                           std::optional<uint32_t> blockEndMs, std::optional<uint32_t> nextStartMs)
{
    DvdSubpicture decoded = decodeDvdSubpicture(unit, index);
    TimedPicture timed;
    timed.damaged = decoded.damaged;
    timed.picture = std::move(decoded.picture);
    timed.startMs = blockStartMs + uint32_t(decoded.startMs);
    std::optional<uint32_t> stopMs;
    if (decoded.stopMs)
        stopMs = blockStartMs + uint32_t(*decoded.stopMs);
    timed.endMs = pictureEndMs(timed.startMs, stopMs, blockEndMs, nextStartMs);
    return timed;
}

} // namespace dictora
