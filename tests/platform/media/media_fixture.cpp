// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_fixture.h"

#include "support/media_making.h"

#include <QDir>
#include <QTest>

namespace dictora::test {

namespace {

GeneratedMedia makeMedia()
{
    ensureMediaRuntime();
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/dictora media XXXXXX"));
    GeneratedMedia media;
    media.folder = dir.path();
    const QString wav = dir.filePath(QStringLiteral("tone two.wav"));
    if (writeWave(testSignal(20, 48000), wav))
        media.wav = wav;
    const QString ogg = dir.filePath(QStringLiteral("tone.ogg"));
    if (runPipeline(testSignal(20, 44100) +
                    QStringLiteral("! audioconvert ! vorbisenc ! oggmux ! filesink location=\"%1\"")
                        .arg(ogg)))
        media.ogg = ogg;
    const QString wav44 = dir.filePath(QStringLiteral("tone44.wav"));
    if (writeWave(testSignal(20, 44100), wav44)) {
        const QString cbr = dir.filePath(QStringLiteral("tone cbr.mp3"));
        if (runLame({QStringLiteral("-b"), QStringLiteral("128"), wav44, cbr}))
            media.mp3Cbr = cbr;
        const QString bare = dir.filePath(QStringLiteral("tone-vbr-bare.mp3"));
        if (runLame({QStringLiteral("-V"), QStringLiteral("2"), QStringLiteral("-t"), wav44, bare}))
            media.mp3VbrBare = bare;
    }
    const QString mkv = dir.filePath(QStringLiteral("clip.mkv"));
    if (runPipeline(QStringLiteral("matroskamux name=mux ! filesink location=\"%1\" "
                                   "videotestsrc num-buffers=25 ! video/x-raw,width=160,height=120,"
                                   "framerate=25/1 ! jpegenc ! queue ! mux. ")
                        .arg(mkv) +
                    testSignal(10, 48000) + QStringLiteral("! queue ! mux.")))
        media.mkvVideo = mkv;
    const QString m4a = dir.filePath(QStringLiteral("tone.m4a"));
    if (runPipeline(testSignal(20, 44100) + QStringLiteral("! audioconvert ! avenc_aac ! mp4mux ! "
                                                           "filesink location=\"%1\"")
                                                .arg(m4a)) &&
        statePriming(m4a, m4a, 2))
        media.aacStated = m4a;
    return media;
}

} // namespace

const GeneratedMedia& generatedMedia()
{
    static const GeneratedMedia media = makeMedia();
    return media;
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    return QTest::qWaitFor(done, timeoutMs);
}

} // namespace dictora::test
