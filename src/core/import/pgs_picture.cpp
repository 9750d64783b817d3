// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/pgs_picture.h"

#include <algorithm>
#include <array>
#include <climits>
#include <map>

namespace dictora {

namespace {

enum SegmentType : uint8_t { Palette = 0x14, Object = 0x15, Composition = 0x16 };

struct Placement {
    uint16_t objectId = 0;
    int x = 0;
    int y = 0;
};

struct ObjectData {
    int width = 0;
    int height = 0;
    QByteArray rle; // the run-length data, gathered over continued segments
};

int be16(const uchar* at)
{
    return (at[0] << 8) | at[1];
}

// Expands one object's run-length data into palette indexes; false when it
// runs past its size.
bool expandRuns(const ObjectData& object, std::vector<uint8_t>& indexes)
{
    indexes.assign(size_t(object.width) * size_t(object.height), 0);
    const auto* data = reinterpret_cast<const uchar*>(object.rle.constData());
    const qsizetype size = object.rle.size();
    qsizetype at = 0;
    int x = 0, y = 0;
    while (at < size && y < object.height) {
        int run = 1;
        uint8_t colour = data[at++];
        if (colour == 0) {
            if (at >= size)
                break;
            const uchar flag = data[at++];
            if (flag == 0) { // end of the line
                x = 0;
                ++y;
                continue;
            }
            run = flag & 0x3F;
            if (flag & 0x40) {
                if (at >= size)
                    return false;
                run = (run << 8) | data[at++];
            }
            if (flag & 0x80) {
                if (at >= size)
                    return false;
                colour = data[at++];
            }
        }
        if (x + run > object.width)
            return false;
        std::fill_n(indexes.begin() + qsizetype(y) * object.width + x, run, colour);
        x += run;
    }
    return true;
}

} // namespace

InkPicture decodePgsDisplaySet(const QByteArray& block)
{
    // Palette index to ink: 255 paper where the palette says nothing.
    std::array<uint8_t, 256> ink;
    ink.fill(255);
    std::vector<Placement> placements;
    std::map<uint16_t, ObjectData> objects;
    const auto* data = reinterpret_cast<const uchar*>(block.constData());
    qsizetype at = 0;
    while (at + 3 <= block.size()) {
        const uint8_t type = data[at];
        const int size = be16(data + at + 1);
        const uchar* segment = data + at + 3;
        at += 3 + size;
        if (at > block.size())
            return {};
        if (type == Palette && size >= 2) {
            for (int entry = 2; entry + 5 <= size; entry += 5) {
                const uchar* e = segment + entry; // id, Y, Cr, Cb, alpha
                ink[e[0]] = uint8_t(255 - (e[1] * e[4]) / 255);
            }
        } else if (type == Composition && size >= 11) {
            const int count = segment[10];
            int offset = 11;
            for (int i = 0; i < count && offset + 8 <= size; ++i) {
                const uchar* p = segment + offset;
                placements.push_back({uint16_t(be16(p)), be16(p + 4), be16(p + 6)});
                offset += (p[3] & 0x40) ? 16 : 8;
            }
        } else if (type == Object && size >= 4) {
            ObjectData& object = objects[uint16_t(be16(segment))];
            const bool first = segment[3] & 0x80;
            if (first && size >= 11) {
                object.width = be16(segment + 7);
                object.height = be16(segment + 9);
                object.rle = QByteArray(reinterpret_cast<const char*>(segment + 11), size - 11);
            } else if (!first) {
                object.rle.append(reinterpret_cast<const char*>(segment + 4), size - 4);
            }
        }
    }
    // The box around every placed object.
    int left = INT32_MAX, top = INT32_MAX, right = 0, bottom = 0;
    for (const Placement& place : placements) {
        const auto found = objects.find(place.objectId);
        if (found == objects.end() || found->second.width == 0)
            continue;
        left = std::min(left, place.x);
        top = std::min(top, place.y);
        right = std::max(right, place.x + found->second.width);
        bottom = std::max(bottom, place.y + found->second.height);
    }
    InkPicture picture;
    if (right <= left || bottom <= top)
        return picture;
    picture.width = right - left;
    picture.height = bottom - top;
    picture.pixels.assign(size_t(picture.width) * size_t(picture.height), 255);
    std::vector<uint8_t> indexes;
    for (const Placement& place : placements) {
        const auto found = objects.find(place.objectId);
        if (found == objects.end() || found->second.width == 0 ||
            !expandRuns(found->second, indexes))
            continue;
        const ObjectData& object = found->second;
        for (int y = 0; y < object.height; ++y) {
            uint8_t* row = picture.pixels.data() +
                           size_t(place.y - top + y) * size_t(picture.width) + (place.x - left);
            for (int x = 0; x < object.width; ++x)
                row[x] =
                    std::min(row[x], ink[indexes[size_t(y) * size_t(object.width) + size_t(x)]]);
        }
    }
    return picture;
}

InkPicture cropToInk(const InkPicture& picture, uint8_t threshold, int margin)
{
    int left = picture.width, top = picture.height, right = -1, bottom = -1;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] < threshold) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    InkPicture cropped;
    if (right < 0)
        return cropped;
    cropped.width = right - left + 1 + 2 * margin;
    cropped.height = bottom - top + 1 + 2 * margin;
    cropped.pixels.assign(size_t(cropped.width) * size_t(cropped.height), 255);
    for (int y = top; y <= bottom; ++y) {
        std::copy_n(picture.pixels.begin() + qsizetype(y) * picture.width + left, right - left + 1,
                    cropped.pixels.begin() + qsizetype(y - top + margin) * cropped.width + margin);
    }
    return cropped;
}

std::vector<std::pair<int, int>> inkLineBands(const InkPicture& picture, uint8_t threshold,
                                              int thinnest)
{
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = picture.pixels.data() + size_t(y) * size_t(picture.width);
        if (std::none_of(row, row + picture.width, [&](uint8_t p) { return p < threshold; }))
            continue;
        if (!bands.empty() && bands.back().second == y)
            bands.back().second = y + 1;
        else
            bands.push_back({y, y + 1});
    }
    for (size_t i = 0; i < bands.size() && bands.size() > 1;) {
        if (bands[i].second - bands[i].first >= thinnest) {
            ++i;
            continue;
        }
        const int above = i > 0 ? bands[i].first - bands[i - 1].second : INT_MAX;
        const int below = i + 1 < bands.size() ? bands[i + 1].first - bands[i].second : INT_MAX;
        const size_t into = above <= below ? i - 1 : i + 1;
        bands[into] = {std::min(bands[into].first, bands[i].first),
                       std::max(bands[into].second, bands[i].second)};
        bands.erase(bands.begin() + std::ptrdiff_t(i));
        i = 0;
    }
    std::vector<std::pair<int, int>> widened;
    for (size_t i = 0; i < bands.size(); ++i)
        widened.push_back(
            {i > 0 ? widened.back().second : 0,
             i + 1 < bands.size() ? (bands[i].second + bands[i + 1].first) / 2 : picture.height});
    return widened;
}

} // namespace dictora
