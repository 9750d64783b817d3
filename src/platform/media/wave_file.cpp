// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/wave_file.h"

#include <QSaveFile>
#include <QtEndian>

namespace dictora {

namespace {

void appendLittle32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendLittle16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

bool writeWaveFile(const QString& path, const QByteArray& pcm, const PcmFormat& format,
                   QString* error)
{
    // Whole frames only: a torn last frame would shift the channels of a reader.
    const qint64 frameBytes = format.bytesPerFrame();
    const qint64 dataBytes = frameBytes > 0 ? pcm.size() / frameBytes * frameBytes : 0;
    if (dataBytes + 36 > qint64(0xFFFFFFFFu)) {
        if (error)
            *error = QStringLiteral("the recording is too long for a WAVE file");
        return false;
    }
    QByteArray header;
    header.append("RIFF", 4);
    appendLittle32(header, quint32(36 + dataBytes));
    header.append("WAVEfmt ", 8);
    appendLittle32(header, 16);
    appendLittle16(header, 1); // PCM
    appendLittle16(header, quint16(format.channels));
    appendLittle32(header, quint32(format.sampleRate));
    appendLittle32(header, quint32(format.sampleRate * frameBytes));
    appendLittle16(header, quint16(frameBytes));
    appendLittle16(header, quint16(format.bitsPerSample));
    header.append("data", 4);
    appendLittle32(header, quint32(dataBytes));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size() ||
        file.write(pcm.constData(), dataBytes) != dataBytes || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace dictora
