// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/matroska_tracks.h"

#include <optional>

namespace dictora {

namespace {

constexpr uint32_t kEbmlHeader = 0x1A45DFA3;
constexpr uint32_t kSegment = 0x18538067;
constexpr uint32_t kTracks = 0x1654AE6B;
constexpr uint32_t kCluster = 0x1F43B675;
constexpr uint32_t kTrackEntry = 0xAE;
constexpr uint32_t kTrackNumber = 0xD7;
constexpr uint32_t kTrackType = 0x83;
constexpr uint32_t kFlagForced = 0x55AA;

// One element's head: its id (marker bits kept, as the ids are written) and
// where its body starts and ends. A size of all ones is "unknown": the body
// runs to the end of its parent.
struct Element {
    uint32_t id = 0;
    qsizetype body = 0;
    qsizetype end = 0;
};

// A variable-length number at `at` of 1 to `maxLength` bytes: its length from
// the leading zeros of the first byte; nullopt past `limit`.
std::optional<uint64_t> readVariable(const QByteArray& data, qsizetype& at, qsizetype limit,
                                     int maxLength, bool keepMarker, bool& allOnes)
{
    if (at >= limit)
        return std::nullopt;
    const auto first = uint8_t(data[at]);
    int length = 1;
    while (length <= maxLength && !(first & (0x80 >> (length - 1))))
        ++length;
    if (length > maxLength || at + length > limit)
        return std::nullopt;
    uint64_t value = keepMarker ? first : (first & (0xFF >> length));
    bool ones = value == (keepMarker ? first : uint64_t(0xFF >> length));
    for (int i = 1; i < length; ++i) {
        const auto byte = uint8_t(data[at + i]);
        value = (value << 8) | byte;
        ones = ones && byte == 0xFF;
    }
    at += length;
    allOnes = ones;
    return value;
}

// The element at `at`, inside a parent ending at `limit`.
std::optional<Element> readElement(const QByteArray& data, qsizetype at, qsizetype limit)
{
    bool ignored = false;
    const std::optional<uint64_t> id = readVariable(data, at, limit, 4, true, ignored);
    bool unknown = false;
    const std::optional<uint64_t> size = readVariable(data, at, limit, 8, false, unknown);
    if (!id || !size)
        return std::nullopt;
    Element element{uint32_t(*id), at, limit};
    if (!unknown) {
        if (*size > uint64_t(limit - at))
            return std::nullopt;
        element.end = at + qsizetype(*size);
    }
    return element;
}

uint64_t unsignedValue(const QByteArray& data, const Element& element)
{
    uint64_t value = 0;
    for (qsizetype i = element.body; i < element.end && i < element.body + 8; ++i)
        value = (value << 8) | uint8_t(data[i]);
    return value;
}

MatroskaTrackFlags readEntry(const QByteArray& data, const Element& entry)
{
    MatroskaTrackFlags flags;
    for (qsizetype at = entry.body; at < entry.end;) {
        const std::optional<Element> field = readElement(data, at, entry.end);
        if (!field)
            break;
        if (field->id == kTrackNumber)
            flags.number = unsignedValue(data, *field);
        else if (field->id == kTrackType)
            flags.type = unsignedValue(data, *field);
        else if (field->id == kFlagForced)
            flags.forced = unsignedValue(data, *field) != 0;
        at = field->end;
    }
    return flags;
}

} // namespace

std::vector<MatroskaTrackFlags> readMatroskaTrackFlags(const QByteArray& head)
{
    const std::optional<Element> header = readElement(head, 0, head.size());
    if (!header || header->id != kEbmlHeader)
        return {};
    const std::optional<Element> segment = readElement(head, header->end, head.size());
    if (!segment || segment->id != kSegment)
        return {};
    for (qsizetype at = segment->body; at < segment->end;) {
        const std::optional<Element> element = readElement(head, at, segment->end);
        // Past the head, or the first Cluster: the Tracks are not here.
        if (!element || element->id == kCluster)
            return {};
        if (element->id == kTracks) {
            std::vector<MatroskaTrackFlags> tracks;
            for (qsizetype entryAt = element->body; entryAt < element->end;) {
                const std::optional<Element> entry = readElement(head, entryAt, element->end);
                if (!entry)
                    return {};
                if (entry->id == kTrackEntry)
                    tracks.push_back(readEntry(head, *entry));
                entryAt = entry->end;
            }
            return tracks;
        }
        at = element->end;
    }
    return {};
}

uint64_t matroskaTrackNumberOfStream(const QString& streamId)
{
    const QString last = streamId.section(u'/', -1);
    const qsizetype colon = last.indexOf(u':');
    if (colon <= 0)
        return 0;
    bool ok = false;
    const uint64_t number = last.left(colon).toULongLong(&ok);
    return ok ? number : 0;
}

} // namespace dictora
