// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/matroska_tracks.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace dictora;

namespace {

// An element with a one-byte size, or with `size` written out ("unknown": 01FFFFFFFFFFFFFF).
QByteArray element(const char* id, const QByteArray& body, const char* size = nullptr)
{
    return QByteArray::fromHex(id) +
           (size ? QByteArray::fromHex(size) : QByteArray(1, char(0x80 | body.size()))) + body;
}

QByteArray entry(char track, char type, const QByteArray& more = {})
{
    return element("AE", element("D7", {1, track}) + element("83", {1, type}) + more);
}

} // namespace

TEST(MatroskaTracks, ReadsTheForcedFlagsFromTheHeadOfTheFile)
{
    const QByteArray header = element("1A45DFA3", element("4282", "matroska"));
    const QByteArray info = element("1549A966", element("2AD7B1", {1, 1}));
    const QByteArray tracks =
        element("1654AE6B", entry(1, 1) + entry(2, 0x11, element("55AA", {1, 1})) +
                                entry(3, 0x11, element("55AA", {1, 0})) + entry(4, 0x11));
    const QByteArray cluster = element("1F43B675", element("E7", {1, 0}));
    const QByteArray unknownSize = header + element("18538067", info + tracks, "01FFFFFFFFFFFFFF");
    const char* const all = "1:1:0 2:17:1 3:17:0 4:17:0";
    struct Case {
        const char* what;
        QByteArray head;
        const char* flags; // number:type:forced of each entry
    };
    const Case cases[] = {
        {"tracks after the info", header + element("18538067", info + tracks + cluster), all},
        {"a segment of unknown size", unknownSize, all},
        {"the head cut inside the tracks", unknownSize.left(unknownSize.size() - 3), ""},
        {"a cluster before the tracks", header + element("18538067", info + cluster + tracks), ""},
        {"not Matroska", QByteArray("RIFF....AVI LIST"), ""},
        {"a size past the data", header + element("18538067", info, "4140"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList flags;
        for (const MatroskaTrackFlags& track : readMatroskaTrackFlags(c.head))
            flags << QStringLiteral("%1:%2:%3")
                         .arg(track.number)
                         .arg(track.type)
                         .arg(int(track.forced));
        EXPECT_EQ(flags.join(' ').toStdString(), c.flags);
    }
}
