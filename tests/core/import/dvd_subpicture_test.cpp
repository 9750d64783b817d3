// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/import/dvd_subpicture.h"

#include <QRandomGenerator>
#include <QString>

#include <gtest/gtest.h>

using namespace dictora;

namespace {

// A 6 x 4 picture: letters (value 1) inside an outline (value 2) on the
// transparent ground (value 0), run-length coded by hand, row by row:
//   0 2 2 2 2 0   runs 1x0, 4x2, 1x0      nibbles 4 12 4
//   0 2 1 1 2 0   runs 1x0, 1x2, 2x1, 1x2, 1x0  nibbles 4 6 9 6 4 (+ pad)
const QByteArray kEdgeRow = QByteArray::fromHex("4124");
const QByteArray kLetterRow = QByteArray::fromHex("469640");
const QByteArray kTopField = kEdgeRow + kLetterRow;    // rows 0 and 2
const QByteArray kBottomField = kLetterRow + kEdgeRow; // rows 1 and 3
const std::vector<uint8_t> kInk{
    255, 255, 255, 255, 255, 255, //
    255, 255, 0,   0,   255, 255, //
    255, 255, 0,   0,   255, 255, //
    255, 255, 255, 255, 255, 255,
};

// Shows the picture at (left, top), value 1 as palette entry 1 and value 2
// as entry 2, all visible but the ground; the fields start at 4 and 9.
QByteArray showCommands(int left = 0, int top = 0)
{
    return QByteArray::fromHex(QString::asprintf("01 033210 04fff0 05%03x%03x%03x%03x 0600040009",
                                                 left, left + 5, top, top + 3)
                                   .toLatin1());
}

// A unit of the picture and control sequences (a delay in ticks of 1024/90
// ms, commands), each sequence closed by the end command and linked to the
// next.
QByteArray unit(const std::vector<std::pair<int, QByteArray>>& sequences)
{
    QByteArray out = QByteArray(4, 0) + kTopField + kBottomField;
    const int control = int(out.size());
    for (size_t i = 0; i < sequences.size(); ++i) {
        const int at = int(out.size());
        const int next = i + 1 < sequences.size() ? at + 5 + int(sequences[i].second.size()) : at;
        out +=
            QByteArray::fromHex(QString::asprintf("%04x%04x", sequences[i].first, next).toLatin1());
        out += sequences[i].second + char(0xFF);
    }
    return QByteArray::fromHex(QString::asprintf("%04x%04x", int(out.size()), control).toLatin1()) +
           out.mid(4);
}

VobSubIndex indexOf(const char* text)
{
    return parseVobSubIndex(QByteArray(text));
}

const char* const kWhiteOnBlack = "palette: 000000, ffffff, 000000, 808080, 0, 0, 0, 0, "
                                  "0, 0, 0, 0, 0, 0, 0, 0\n";
const char* const kBlackOnWhite = "palette: 000000, 000000, ffffff, 808080, 0, 0, 0, 0, "
                                  "0, 0, 0, 0, 0, 0, 0, 0\n";

} // namespace

TEST(DvdSubpicture, ReadsSizeAndPaletteOfTheIndexText)
{
    struct Case {
        QByteArray text;
        int width, height;
        bool hasPalette;
        uint32_t second; // palette entry 1
    };
    const Case cases[] = {
        {"# VobSub index file, v7\nsize: 720x576\norg: 0, 0\npalette: 000000, f0f0f0, cccccc, "
         "999999, 3333fa, 1111bb, fa3333, bb1111, 33fa33, 11bb11, fafa33, bbbb11, fa33fa, "
         "bb11bb, 33fafa, 11bbbb\n",
         720, 576, true, 0xf0f0f0},
        {"size: 1920x1080\r\npalette: 000000,ffffff,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n", 1920, 1080,
         true, 0xffffff},
        {kWhiteOnBlack, 0, 0, true, 0xffffff},                      // no size line
        {"size: 0x576\npalette: 000000, ffffff\n", 0, 0, false, 0}, // 2 of 16 colours
        {"palette: 000000, zzzzzz, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0\n", 0, 0, false, 0},
        {"", 0, 0, false, 0},
        {vobSubPaletteLine({0x108080, 0xeb8080, 0x515af0}), 0, 0, true, 0xebebeb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.constData());
        const VobSubIndex index = parseVobSubIndex(c.text);
        EXPECT_EQ(index.width, c.width);
        EXPECT_EQ(index.height, c.height);
        EXPECT_EQ(index.hasPalette, c.hasPalette);
        EXPECT_EQ(index.palette[1], c.second);
    }
}

TEST(DvdSubpicture, DrawsTheLettersAsInkWhateverTheirColour)
{
    struct Case {
        const char* what;
        const char* index;
        QByteArray unit;
        std::optional<int> stopMs;
    };
    const Case cases[] = {
        {"white letters, black edge", kWhiteOnBlack, unit({{0, showCommands()}, {135, "\x02"}}),
         1536},
        {"black letters, white edge", kBlackOnWhite, unit({{0, showCommands()}, {135, "\x02"}}),
         1536},
        {"no palette, no stop", "", unit({{0, showCommands()}}), std::nullopt},
        {"1080p area, no size line", kWhiteOnBlack, unit({{0, showCommands(1800, 1000)}}),
         std::nullopt},
        {"forced start", kWhiteOnBlack,
         unit({{0, QByteArray(1, char(0)) + showCommands().mid(1)}, {90, "\x02"}}), 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DvdSubpicture read = decodeDvdSubpicture(c.unit, indexOf(c.index));
        EXPECT_FALSE(read.damaged);
        EXPECT_EQ(read.picture.width, 6);
        EXPECT_EQ(read.picture.height, 4);
        EXPECT_EQ(read.picture.pixels, kInk);
        EXPECT_EQ(read.stopMs, c.stopMs);
    }
}

TEST(DvdSubpicture, DamagedUnitsAreToldAndUnitsThatClearShowNothing)
{
    const QByteArray good = unit({{0, showCommands()}, {135, "\x02"}});
    const QByteArray shortArea = unit({{0, showCommands().left(9)}}); // the area cut short
    QByteArray badField = good;
    badField[good.indexOf('\x06') + 1] = char(0x7F); // the top field far past the unit
    QByteArray looping = unit({{0, showCommands()}, {135, "\x02"}});
    const int second = looping.size() - 6;
    looping[second + 2] = looping[2]; // the second sequence links back to the first
    looping[second + 3] = looping[3];
    struct Case {
        const char* what;
        QByteArray unit;
        const char* index;
        bool damaged;
        bool shows;
    };
    const Case cases[] = {
        {"cut short", good.left(good.size() - 3), "", true, false},
        {"under four bytes", QByteArray::fromHex("0003"), "", true, false},
        {"control offset inside the header", QByteArray::fromHex("000a0002000000000000"), "", true,
         false},
        {"area command cut short", shortArea, "", true, false},
        {"field offset past the unit", badField, "", true, false},
        {"area below a 720x576 frame", unit({{0, showCommands(0, 1000)}}), "size: 720x576", true,
         false},
        {"sequences linked in a loop", looping, "", false, true},
        {"only a stop: clears the screen", unit({{0, "\x02"}}), "", false, false},
        {"all colours transparent", unit({{0, showCommands() + QByteArray::fromHex("040000")}}), "",
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DvdSubpicture read = decodeDvdSubpicture(c.unit, indexOf(c.index));
        EXPECT_EQ(read.damaged, c.damaged);
        EXPECT_EQ(!cropToInk(read.picture, 128, 0).empty(), c.shows);
    }
    // Any cut or changed byte of a good unit is read without fault.
    QRandomGenerator random(7);
    for (qsizetype length = 0; length <= good.size(); ++length)
        decodeDvdSubpicture(good.left(length), {});
    for (int round = 0; round < 2000; ++round) {
        QByteArray changed = good;
        changed[random.bounded(int(changed.size()))] = char(random.bounded(256));
        decodeDvdSubpicture(changed, indexOf(kWhiteOnBlack));
    }
}

TEST(DvdSubpicture, APictureEndsAtItsStopElseItsBlockElseTheNextPicture)
{
    struct Case {
        const char* what;
        std::optional<uint32_t> stop, blockEnd, nextStart;
        uint32_t end;
    };
    // Every picture starts at 10,000 ms.
    const Case cases[] = {
        {"own stop", 12500, 13000, 20000, 12500},
        {"block duration", {}, 13000, 20000, 13000},
        {"next picture", {}, {}, 11800, 11800},
        {"next picture far away: capped", {}, {}, 60000, 10000 + kLongestUntimedPictureMs},
        {"last picture, nothing known", {}, {}, {}, 10000 + kLongestUntimedPictureMs},
        {"stop past the next picture", 15000, {}, 12000, 12000},
        {"stop at the start: the block decides", 10000, 11000, {}, 11000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(pictureEndMs(10000, c.stop, c.blockEnd, c.nextStart), c.end);
    }
}
