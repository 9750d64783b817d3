// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/subtitle_films.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gst/gst.h>

#include <array>

namespace dictora::test {

namespace {

void pushBlock(GstElement* source, uint32_t startMs, uint32_t endMs, const QByteArray& bytes)
{
    GstBuffer* buffer = bytes.isEmpty()
                            ? gst_buffer_new()
                            : gst_buffer_new_memdup(bytes.constData(), gsize(bytes.size()));
    GST_BUFFER_PTS(buffer) = GST_BUFFER_DTS(buffer) = startMs * GST_MSECOND;
    GST_BUFFER_DURATION(buffer) = (endMs - startMs) * GST_MSECOND;
    GstFlowReturn flow = GST_FLOW_OK;
    g_signal_emit_by_name(source, "push-buffer", buffer, &flow);
    gst_buffer_unref(buffer);
}

void segment(QByteArray& out, uint8_t type, const QByteArray& data)
{
    out.append(char(type));
    out.append(char(data.size() >> 8));
    out.append(char(data.size() & 0xFF));
    out.append(data);
}

void be16(QByteArray& out, int value)
{
    out.append(char((value >> 8) & 0xFF));
    out.append(char(value & 0xFF));
}

// Run-length coding of one line of palette indexes, as PGS objects hold them.
void encodeLine(QByteArray& out, const std::vector<uint8_t>& line)
{
    size_t x = 0;
    while (x < line.size()) {
        size_t run = 1;
        while (x + run < line.size() && line[x + run] == line[x] && run < 16383)
            ++run;
        const uint8_t colour = line[x];
        if (colour != 0 && run < 3) {
            out.append(QByteArray(int(run), char(colour)));
        } else {
            out.append('\0');
            const int flag = (colour != 0 ? 0x80 : 0) | (run > 63 ? 0x40 : 0);
            if (run > 63) {
                out.append(char(flag | int(run >> 8)));
                out.append(char(run & 0xFF));
            } else {
                out.append(char(flag | int(run)));
            }
            if (colour != 0)
                out.append(char(colour));
        }
        x += run;
    }
    out.append('\0');
    out.append('\0');
}

// `lines` in white letters with a black outline on a transparent ground,
// centred, with 8 pixels around them.
QImage renderedLines(const QStringList& lines, int pixelSize)
{
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(pixelSize);
    const QFontMetrics metrics(font);
    int textWidth = 0;
    for (const QString& line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int objectWidth = textWidth + 16;
    const int objectHeight = int(lines.size()) * metrics.lineSpacing() + 16;
    QImage image(objectWidth, objectHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const int x = (objectWidth - metrics.horizontalAdvance(lines[i])) / 2;
            path.addText(x, 8 + metrics.ascent() + int(i) * metrics.lineSpacing(), font, lines[i]);
        }
        // The outline around the letters, then the letters over it.
        painter.strokePath(path, QPen(Qt::black, pixelSize / 8.0));
        painter.fillPath(path, Qt::white);
    }
    return image;
}

} // namespace

QByteArray pgsDisplaySet(const QStringList& lines, int width, int height, int pixelSize)
{
    QByteArray set;
    QByteArray composition;
    be16(composition, width);
    be16(composition, height);
    composition.append(char(0x10)); // frame rate
    be16(composition, 1);           // composition number
    composition.append(char(0x80)); // epoch start
    composition.append(char(0));    // palette update
    composition.append(char(0));    // palette id
    if (lines.isEmpty()) {
        composition.append(char(0));
        segment(set, 0x16, composition);
        segment(set, 0x80, {});
        return set;
    }
    const QImage image = renderedLines(lines, pixelSize);
    const int objectWidth = image.width();
    const int objectHeight = image.height();
    // Index 1 white letters, 2 their black outline, 0 transparent.
    QByteArray rle;
    std::vector<uint8_t> line(static_cast<size_t>(objectWidth));
    for (int y = 0; y < objectHeight; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < objectWidth; ++x) {
            const QRgb p = pixels[x];
            line[size_t(x)] = qAlpha(p) < 128 ? 0 : (qGray(p) > 128 ? 1 : 2);
        }
        encodeLine(rle, line);
    }
    composition.append(char(1)); // one object
    be16(composition, 0);        // object id
    composition.append(char(0)); // window id
    composition.append(char(0)); // not cropped
    be16(composition, (width - objectWidth) / 2);
    be16(composition, height - objectHeight - 60);
    segment(set, 0x16, composition);

    QByteArray palette;
    palette.append(char(0));
    palette.append(char(0));
    for (const auto& entry :
         {std::array<int, 5>{1, 235, 128, 128, 255}, std::array<int, 5>{2, 16, 128, 128, 255}}) {
        for (const int value : entry)
            palette.append(char(value));
    }
    segment(set, 0x14, palette);

    // The object, split into segments of at most 65,000 bytes.
    const int total = int(rle.size()) + 4;
    int at = 0;
    bool first = true;
    while (first || at < rle.size()) {
        QByteArray object;
        be16(object, 0);
        object.append(char(0)); // version
        const int room = first ? 65000 - 11 : 65000 - 4;
        const bool last = rle.size() - at <= room;
        object.append(char((first ? 0x80 : 0) | (last ? 0x40 : 0)));
        if (first) {
            object.append(char((total >> 16) & 0xFF));
            be16(object, total & 0xFFFF);
            be16(object, objectWidth);
            be16(object, objectHeight);
        }
        object.append(rle.mid(at, room));
        at += room;
        first = false;
        segment(set, 0x15, object);
    }
    segment(set, 0x80, {});
    return set;
}

namespace {

// One row of 2-bit pixel values as hex digits, a digit a nibble: runs of up
// to 255 in codes of one to four nibbles, the row's last run as "to the end
// of the row", and the row padded to whole bytes.
void encodeDvdRow(QString& hex, const uint8_t* row, int width)
{
    for (int x = 0, run = 1; x < width; x += run, run = 1) {
        while (x + run < width && row[x + run] == row[x] && run < 255)
            ++run;
        if (x + run == width && run > 3)
            hex += QString::asprintf("000%x", row[x]);
        else
            hex += QString::asprintf("%0*x",
                                     run < 4    ? 1
                                     : run < 16 ? 2
                                     : run < 64 ? 3
                                                : 4,
                                     (run << 2) | row[x]);
    }
    if (hex.size() % 2)
        hex += u'0';
}

} // namespace

QByteArray vobSubIndexText(int width, int height)
{
    QByteArray text = "# VobSub index file, v7 (do not modify this line!)\n";
    if (width > 0)
        text += QStringLiteral("size: %1x%2\n").arg(width).arg(height).toLatin1();
    text += "org: 0, 0\nscale: 100%, 100%\nalpha: 100%\n"
            "palette: 000000, f0f0f0, 000000, 808080, 3333fa, 1111bb, fa3333, bb1111, 33fa33, "
            "11bb11, fafa33, bbbb11, fa33fa, bb11bb, 33fafa, 11bbbb\n";
    return text;
}

QByteArray dvdSubpicture(const QStringList& lines, int width, int height, int pixelSize,
                         std::optional<uint32_t> stopMs, bool darkLetters)
{
    const QImage image = renderedLines(lines, pixelSize);
    const int areaWidth = std::min(image.width(), width);
    const int areaHeight = std::min(image.height(), height);
    std::vector<uint8_t> values(size_t(areaWidth) * size_t(areaHeight));
    for (int y = 0; y < areaHeight; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < areaWidth; ++x) {
            const QRgb p = pixels[x];
            values[size_t(y) * size_t(areaWidth) + size_t(x)] = qAlpha(p) < 128  ? 0
                                                                : qGray(p) > 170 ? 1
                                                                : qGray(p) < 85  ? 2
                                                                                 : 3;
        }
    }
    QString fields[2];
    for (int y = 0; y < areaHeight; ++y)
        encodeDvdRow(fields[y % 2], values.data() + size_t(y) * size_t(areaWidth), areaWidth);
    const int bottomField = 4 + int(fields[0].size()) / 2;
    const int control = bottomField + int(fields[1].size()) / 2;
    const int left = (width - areaWidth) / 2, right = left + areaWidth - 1;
    const int top = height - areaHeight - height / 20, bottom = top + areaHeight - 1;
    // Start display; palette entries of values 3 (shading), 2, 1 and 0;
    // all opaque but the ground; the area; the fields. Then the stop.
    const int stopAt = control + 24;
    QString hex = QString::asprintf("%04x%04x", stopAt + (stopMs ? 6 : 0), control) + fields[0] +
                  fields[1] +
                  QString::asprintf("0000%04x 01 033%x%x0 04fff0 05%03x%03x%03x%03x 060004%04x ff",
                                    stopMs ? stopAt : control, darkLetters ? 1 : 2,
                                    darkLetters ? 2 : 1, left, right, top, bottom, bottomField);
    if (stopMs)
        hex += QString::asprintf("%04x%04x 02 ff", (*stopMs * 90 + 512) / 1024, stopAt);
    const QByteArray unit = QByteArray::fromHex(hex.toLatin1());
    return unit.size() <= 0xFFFF ? unit : QByteArray();
}

namespace {

// One EBML element: its ID as written, a size of eight bytes, its body.
QByteArray element(const QByteArray& id, const QByteArray& body)
{
    QByteArray out = id;
    out.append(char(0x01));
    for (int shift = 48; shift >= 0; shift -= 8)
        out.append(char((quint64(body.size()) >> shift) & 0xFF));
    return out + body;
}

QByteArray unsignedBody(quint64 value, int bytes)
{
    QByteArray out;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
    return out;
}

QByteArray id(const char* hex)
{
    return QByteArray::fromHex(hex);
}

bool writePictureMatroska(const QString& path, const QByteArray& codecId,
                          const QByteArray& codecPrivate, const QByteArray& language,
                          const std::vector<MuxedCue>& cues, bool compressed, bool forced)
{
    const QByteArray header = element(
        id("1A45DFA3"),
        element(id("4286"), unsignedBody(1, 1)) + element(id("42F7"), unsignedBody(1, 1)) +
            element(id("42F2"), unsignedBody(4, 1)) + element(id("42F3"), unsignedBody(8, 1)) +
            element(id("4282"), "matroska") + element(id("4287"), unsignedBody(4, 1)) +
            element(id("4285"), unsignedBody(2, 1)));
    const QByteArray info =
        element(id("1549A966"), element(id("2AD7B1"), unsignedBody(1000000, 3)) +
                                    element(id("4D80"), "dictora test") +
                                    element(id("5741"), "dictora test"));
    QByteArray entry = element(id("D7"), unsignedBody(1, 1)) +
                       element(id("73C5"), unsignedBody(1, 1)) +
                       element(id("83"), unsignedBody(0x11, 1)) + element(id("86"), codecId) +
                       element(id("22B59C"), language);
    if (!codecPrivate.isEmpty())
        entry += element(id("63A2"), codecPrivate);
    if (forced)
        entry += element(id("55AA"), unsignedBody(1, 1));
    if (compressed) {
        const QByteArray compression = element(id("5034"), element(id("4254"), unsignedBody(0, 1)));
        entry +=
            element(id("6D80"),
                    element(id("6240"), element(id("5031"), unsignedBody(0, 1)) +
                                            element(id("5032"), unsignedBody(1, 1)) +
                                            element(id("5033"), unsignedBody(0, 1)) + compression));
    }
    const QByteArray tracks = element(id("1654AE6B"), element(id("AE"), entry));
    QByteArray clusters;
    for (const MuxedCue& cue : cues) {
        // qCompress writes the length before the zlib stream.
        const QByteArray data = compressed ? qCompress(cue.payload).mid(4) : cue.payload;
        QByteArray block;
        block.append(char(0x81));         // track 1
        block.append(unsignedBody(0, 2)); // at the cluster's time
        block.append(char(0));            // flags
        block.append(data);
        QByteArray group = element(id("A1"), block);
        if (cue.endMs > cue.startMs)
            group += element(id("9B"), unsignedBody(cue.endMs - cue.startMs, 4));
        clusters += element(id("1F43B675"), element(id("E7"), unsignedBody(cue.startMs, 4)) +
                                                element(id("A0"), group));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(header + element(id("18538067"), info + tracks + clusters)) > 0 &&
           file.flush();
}

} // namespace

bool writePgsMatroska(const QString& path, const QByteArray& language,
                      const std::vector<MuxedCue>& cues, bool compressed, bool forced)
{
    return writePictureMatroska(path, "S_HDMV/PGS", {}, language, cues, compressed, forced);
}

bool writeVobSubMatroska(const QString& path, const QByteArray& language,
                         const QByteArray& indexText, const std::vector<MuxedCue>& cues,
                         bool compressed)
{
    return writePictureMatroska(path, "S_VOBSUB", indexText, language, cues, compressed, false);
}

namespace {

QByteArray box(const char* type, const QByteArray& body)
{
    return unsignedBody(quint64(body.size()) + 8, 4) + type + body;
}

// A box of version 0 and the given flags.
QByteArray fullBox(const char* type, int flags, const QByteArray& body)
{
    return box(type, unsignedBody(quint64(flags), 4) + body);
}

} // namespace

bool writeVobSubMp4(const QString& path, const QByteArray& language,
                    const std::vector<MuxedCue>& cues)
{
    // Samples follow each other: empty ones fill the gaps before the cues.
    QByteArray data, times, sizes;
    uint32_t at = 0;
    for (size_t i = 0; i < cues.size(); ++i) {
        const uint32_t end = i + 1 < cues.size() ? cues[i + 1].startMs : cues[i].endMs;
        for (const auto& [ms, bytes] : {std::pair{cues[i].startMs - at, QByteArray()},
                                        std::pair{end - cues[i].startMs, cues[i].payload}}) {
            times += unsignedBody(1, 4) + unsignedBody(ms, 4);
            sizes += unsignedBody(quint64(bytes.size()), 4);
            data += bytes;
        }
        at = end;
    }
    const uint32_t samples = uint32_t(2 * cues.size());
    const QByteArray identity = QByteArray::fromHex("00010000 00000000 00000000 00000000 00010000 "
                                                    "00000000 00000000 00000000 40000000");
    // Black, white, black and grey as Y'CrCb, as the sample entry keeps them.
    const QByteArray palette =
        QByteArray::fromHex("00108080 00eb8080 00108080 007e8080") + QByteArray(48, 0);
    const QByteArray esds =
        fullBox("esds", 0,
                QByteArray::fromHex("0357 0001 00 044f e0e1 000000 00000000 00000000 0540") +
                    palette + QByteArray::fromHex("060102"));
    const QByteArray entry = box("mp4s", QByteArray(6, 0) + unsignedBody(1, 2) + esds);
    const auto moov = [&](quint64 dataAt) {
        const QByteArray table =
            fullBox("stsd", 0, unsignedBody(1, 4) + entry) +
            fullBox("stts", 0, unsignedBody(samples, 4) + times) +
            fullBox("stsc", 0,
                    unsignedBody(1, 4) + unsignedBody(1, 4) + unsignedBody(samples, 4) +
                        unsignedBody(1, 4)) +
            fullBox("stsz", 0, unsignedBody(0, 4) + unsignedBody(samples, 4) + sizes) +
            fullBox("stco", 0, unsignedBody(1, 4) + unsignedBody(dataAt, 4));
        const int packed =
            ((language[0] - 0x60) << 10) | ((language[1] - 0x60) << 5) | (language[2] - 0x60);
        const QByteArray media =
            fullBox("mdhd", 0,
                    QByteArray(8, 0) + unsignedBody(1000, 4) + unsignedBody(at, 4) +
                        unsignedBody(quint64(packed), 2) + QByteArray(2, 0)) +
            fullBox("hdlr", 0, QByteArray(4, 0) + "subp" + QByteArray(12, 0) + "sub" + '\0') +
            box("minf",
                fullBox("nmhd", 0, {}) +
                    box("dinf", fullBox("dref", 0, unsignedBody(1, 4) + fullBox("url ", 1, {}))) +
                    box("stbl", table));
        const QByteArray track =
            fullBox("tkhd", 3,
                    QByteArray(8, 0) + unsignedBody(1, 4) + QByteArray(4, 0) + unsignedBody(at, 4) +
                        QByteArray(16, 0) + identity + QByteArray(8, 0)) +
            box("mdia", media);
        return box("moov", fullBox("mvhd", 0,
                                   QByteArray(8, 0) + unsignedBody(1000, 4) + unsignedBody(at, 4) +
                                       QByteArray::fromHex("000100000100") + QByteArray(10, 0) +
                                       identity + QByteArray(24, 0) + unsignedBody(2, 4)) +
                               box("trak", track));
    };
    const QByteArray type = box("ftyp", QByteArray("isom") + unsignedBody(0, 4) + "isommp41");
    const QByteArray head = type + moov(0);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(type + moov(quint64(head.size()) + 8) + box("mdat", data)) > 0 &&
           file.flush();
}

bool writeSubtitleFilm(const QString& path, bool mp4, const std::vector<MuxedTrack>& tracks,
                       QString* error)
{
    QString description = QStringLiteral("%1 name=mux ! filesink location=\"%2\"")
                              .arg(mp4 ? "qtmux" : "matroskamux", path);
    for (size_t i = 0; i < tracks.size(); ++i) {
        description +=
            QStringLiteral(" appsrc name=s%1 format=time caps=\"%2\"").arg(i).arg(tracks[i].caps);
        if (!tracks[i].tags.isEmpty())
            description += QStringLiteral(" ! taginject tags=\"%1\"").arg(tracks[i].tags);
        // The muxer's pad by kind: at parse time the queue's caps say nothing.
        const QString kind = tracks[i].caps.startsWith("audio/")   ? QStringLiteral("audio")
                             : tracks[i].caps.startsWith("video/") ? QStringLiteral("video")
                                                                   : QStringLiteral("subtitle");
        description += QStringLiteral(" ! queue ! mux.%1_%2").arg(kind).arg(i);
    }
    GError* parseError = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &parseError);
    if (!pipeline) {
        if (error)
            *error = QString::fromUtf8(parseError ? parseError->message : "no pipeline");
        g_clear_error(&parseError);
        return false;
    }
    for (size_t i = 0; i < tracks.size(); ++i) {
        GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline),
                                                 QStringLiteral("s%1").arg(i).toUtf8().constData());
        uint32_t lastEnd = 0;
        for (const MuxedCue& cue : tracks[i].cues) {
            if (mp4 && cue.startMs > lastEnd)
                pushBlock(source, lastEnd, cue.startMs, {});
            pushBlock(source, cue.startMs, cue.endMs, cue.payload);
            lastEnd = cue.endMs;
        }
        GstFlowReturn flow = GST_FLOW_OK;
        g_signal_emit_by_name(source, "end-of-stream", &flow);
        gst_object_unref(source);
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (!ok && error) {
        *error = QStringLiteral("muxing timed out");
        if (message) {
            GError* failure = nullptr;
            gst_message_parse_error(message, &failure, nullptr);
            *error = QString::fromUtf8(failure->message);
            g_clear_error(&failure);
        }
    }
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

} // namespace dictora::test
