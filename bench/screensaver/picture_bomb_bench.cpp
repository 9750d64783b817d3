// SPDX-License-Identifier: GPL-3.0-or-later
// A picture bomb in the screensaver: a PNG of about 10 MB that declares
// 60000 x 60000 pixels (3.6 gigapixels). Prints how long the user-interface
// thread is held when the screensaver moves on to it, how long until it is
// refused, and the same for the largest picture that is accepted (10000 x
// 10000), whose decoding runs on the loader's thread while a 10 ms timer on
// the user-interface thread measures its longest pause.
//
// usage: bench_picture_bomb [--old]
//   --old also decodes the bomb the way it was decoded before, on the
//   calling thread with only a scaled size set (slow: half a minute or more).
#include "ui/screensaver/picture_loader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <sys/resource.h>
#include <zlib.h>

#include <cstdio>
#include <ctime>

using namespace dictora;

namespace {

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

void writeChunk(QFile& file, const QByteArray& type, const QByteArray& data)
{
    QByteArray crcInput = type + data;
    const quint32 crc = quint32(
        crc32(0, reinterpret_cast<const Bytef*>(crcInput.constData()), uInt(crcInput.size())));
    file.write(bigEndian(quint32(data.size())) + crcInput + bigEndian(crc));
}

// A black 8-bit RGB PNG of the given size, its rows deflated as they go.
bool writeBlackPng(const QString& path, quint32 width, quint32 height)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QByteArray("\x89PNG\r\n\x1a\n", 8));
    writeChunk(file, "IHDR",
               bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\x00\x00\x00", 5));
    z_stream zs{};
    deflateInit(&zs, Z_BEST_COMPRESSION);
    const QByteArray row(qsizetype(width) * 3 + 1, '\0'); // filter byte 0, then pixels
    QByteArray out(1 << 20, '\0');
    QByteArray idat;
    for (quint32 y = 0; y <= height; ++y) {
        const bool last = y == height;
        zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.constData()));
        zs.avail_in = last ? 0 : uInt(row.size());
        do {
            zs.next_out = reinterpret_cast<Bytef*>(out.data());
            zs.avail_out = uInt(out.size());
            deflate(&zs, last ? Z_FINISH : Z_NO_FLUSH);
            idat.append(out.constData(), out.size() - zs.avail_out);
        } while (zs.avail_out == 0);
        if (idat.size() >= (1 << 20) || last) {
            writeChunk(file, "IDAT", idat);
            idat.clear();
        }
    }
    deflateEnd(&zs);
    writeChunk(file, "IEND", {});
    return file.error() == QFile::NoError;
}

long peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Processor time of the calling thread: a busy machine stretches wall-clock
// pauses, not this.
qint64 threadCpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Loads a picture through the loader as the screensaver does and reports
// the user-interface thread's share and its longest pause meanwhile.
void measure(const char* name, const QString& path, const QSize& screen)
{
    PictureLoader loader;
    QEventLoop loop;
    PictureLoader::Result result;
    QObject::connect(&loader, &PictureLoader::finished, &loop,
                     [&](const QString&, const PictureLoader::Result& r) {
                         result = r;
                         loop.quit();
                     });
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestPause = qMax(longestPause, sinceTick.restart()); });
    ticker.start(10);
    sinceTick.start();

    QElapsedTimer total;
    total.start();
    const qint64 cpuBefore = threadCpuMicroseconds();
    loader.load(path, screen);
    const qint64 dispatchUs = total.nsecsElapsed() / 1000;
    loop.exec();
    const qint64 cpuUs = threadCpuMicroseconds() - cpuBefore;
    const char* outcome = result.outcome == PictureLoader::Outcome::Loaded ? "loaded"
                          : result.outcome == PictureLoader::Outcome::TooLarge
                              ? "refused: too large"
                              : "unreadable";
    std::printf("%s (%d x %d, %lld KB): %s as %d x %d after %lld ms; user-interface thread "
                "held %lld us to start it, used %lld us of processor time till the result, "
                "longest pause meanwhile %lld ms (10 ms timer)\n",
                name, result.declared.width(), result.declared.height(), QFile(path).size() / 1024,
                outcome, result.image.width(), result.image.height(), total.elapsed(), dispatchUs,
                cpuUs, longestPause);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const bool old = app.arguments().contains(QStringLiteral("--old"));
    QTemporaryDir cfg;
    const QString bomb = cfg.filePath(QStringLiteral("dsc-bomb.png"));
    const QString largest = cfg.filePath(QStringLiteral("dsc-largest.png"));
    QElapsedTimer made;
    made.start();
    if (!writeBlackPng(bomb, 60000, 60000) || !writeBlackPng(largest, 10000, 10000)) {
        std::fprintf(stderr, "cannot write the pictures\n");
        return 1;
    }
    std::printf("pictures written in %lld ms\n", made.elapsed());
    const QSize screen(1922, 1082);

    QElapsedTimer header;
    header.start();
    const QSize declared = QImageReader(bomb).size();
    std::printf("reading the bomb's header: %d x %d in %lld us\n", declared.width(),
                declared.height(), header.nsecsElapsed() / 1000);
    measure("the bomb", bomb, screen);
    measure("the largest accepted picture", largest, screen);
    std::printf("peak memory so far: %ld MB\n", peakMegabytes());

    if (old) {
        QElapsedTimer before;
        before.start();
        QImageReader reader(bomb);
        reader.setAutoTransform(true);
        reader.setScaledSize(screen);
        const QImage image = reader.read();
        std::printf("the bomb decoded as before, on the calling thread: %s after %lld ms; "
                    "peak memory %ld MB\n",
                    image.isNull() ? "nothing" : "a picture", before.elapsed(), peakMegabytes());
    }
    return 0;
}
