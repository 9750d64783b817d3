// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/media_making.h"

#include "support/media_runtime.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

namespace dictora::test {

QString testSignal(int tenths, int rate, const QString& properties)
{
    return QStringLiteral("audiotestsrc %1 num-buffers=%2 samplesperbuffer=%3 ! "
                          "audio/x-raw,format=S16LE,rate=%4,channels=2 ")
        .arg(properties, QString::number(tenths), QString::number(rate / 10),
             QString::number(rate));
}

bool writeWave(const QString& source, const QString& path, int timeoutSeconds)
{
    return runPipeline(source + QStringLiteral("! wavenc ! filesink location=\"%1\"").arg(path),
                       timeoutSeconds);
}

GstElement* makeWaveFileSink(const QString& path, QString* error)
{
    const QByteArray description =
        "audioconvert ! wavenc ! filesink location=\"" + path.toUtf8() + '"';
    GError* parseError = nullptr;
    GstElement* bin = gst_parse_bin_from_description(description.constData(), TRUE, &parseError);
    if (parseError) {
        *error = QString::fromUtf8(parseError->message);
        g_error_free(parseError);
    }
    return bin;
}

bool runLame(const QStringList& arguments, int timeoutMs)
{
    if (QStandardPaths::findExecutable(QStringLiteral("lame")).isEmpty())
        return false;
    QProcess process;
    process.start(QStringLiteral("lame"), QStringList{QStringLiteral("--quiet")} + arguments);
    return process.waitForFinished(timeoutMs) && process.exitCode() == 0;
}

bool statePriming(const QString& plain, const QString& out, int seconds)
{
    QByteArray bytes;
    {
        QFile in(plain);
        if (plain.isEmpty() || !in.open(QIODevice::ReadOnly))
            return false;
        bytes = in.readAll();
    }
    const qsizetype mvhd = bytes.indexOf("mvhd");
    const qsizetype tkhd = bytes.indexOf("tkhd");
    const qsizetype elst = bytes.indexOf("elst");
    if (mvhd < 0 || tkhd < 0 || elst < 0 ||
        qFromBigEndian<quint32>(bytes.constData() + elst + 8) != 1)
        return false;
    const quint32 movieScale = qFromBigEndian<quint32>(bytes.constData() + mvhd + 16);
    const quint32 duration = quint32(seconds) * movieScale;
    qToBigEndian(duration, bytes.data() + mvhd + 20);
    qToBigEndian(duration, bytes.data() + tkhd + 24);
    qToBigEndian(duration, bytes.data() + elst + 12);
    qToBigEndian(quint32(1024), bytes.data() + elst + 16);
    QFile file(out);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace dictora::test
