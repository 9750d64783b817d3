#include "media_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QtEndian>

#include <gst/gst.h>

namespace dictora::test {

void ensureMediaRuntime()
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_platform_media";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
}

bool runPipeline(const QString& description)
{
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (error) {
        g_error_free(error);
        if (pipeline)
            gst_object_unref(pipeline);
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 60 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

namespace {

QString tone(int seconds10, int rate)
{
    // 100 ms buffers, so the length is exact.
    return QStringLiteral("audiotestsrc wave=sine freq=440 num-buffers=%1 samplesperbuffer=%2 ! "
                          "audio/x-raw,format=S16LE,rate=%3,channels=2 ")
        .arg(seconds10)
        .arg(rate / 10)
        .arg(rate);
}

bool lame(const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(QStringLiteral("lame")).isEmpty())
        return false;
    QProcess process;
    process.start(QStringLiteral("lame"), QStringList{QStringLiteral("--quiet")} + arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

// mp4mux's edit list starts at media time 0, so the encoder's 1024 samples
// of priming would count as media; real encoders state them with an edit
// that starts at 1024. Rewrites the plain file's boxes that way (one track).
bool statePriming(const QString& path, int seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    const qsizetype mvhd = bytes.indexOf("mvhd");
    const qsizetype tkhd = bytes.indexOf("tkhd");
    const qsizetype elst = bytes.indexOf("elst");
    if (mvhd < 0 || tkhd < 0 || elst < 0 ||
        qFromBigEndian<quint32>(bytes.constData() + elst + 8) != 1)
        return false;
    const quint32 duration =
        quint32(seconds) * qFromBigEndian<quint32>(bytes.constData() + mvhd + 16);
    qToBigEndian(duration, bytes.data() + mvhd + 20);
    qToBigEndian(duration, bytes.data() + tkhd + 24);
    qToBigEndian(duration, bytes.data() + elst + 12);
    qToBigEndian(quint32(1024), bytes.data() + elst + 16);
    return file.seek(0) && file.write(bytes) == bytes.size();
}

GeneratedMedia makeMedia()
{
    ensureMediaRuntime();
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/dictora media XXXXXX"));
    GeneratedMedia media;
    media.folder = dir.path();
    const QString wav = dir.filePath(QStringLiteral("tone two.wav"));
    if (runPipeline(tone(20, 48000) +
                    QStringLiteral("! wavenc ! filesink location=\"%1\"").arg(wav)))
        media.wav = wav;
    const QString ogg = dir.filePath(QStringLiteral("tone.ogg"));
    if (runPipeline(tone(20, 44100) +
                    QStringLiteral("! audioconvert ! vorbisenc ! oggmux ! filesink location=\"%1\"")
                        .arg(ogg)))
        media.ogg = ogg;
    const QString wav44 = dir.filePath(QStringLiteral("tone44.wav"));
    if (runPipeline(tone(20, 44100) +
                    QStringLiteral("! wavenc ! filesink location=\"%1\"").arg(wav44))) {
        const QString cbr = dir.filePath(QStringLiteral("tone cbr.mp3"));
        if (lame({QStringLiteral("-b"), QStringLiteral("128"), wav44, cbr}))
            media.mp3Cbr = cbr;
        const QString bare = dir.filePath(QStringLiteral("tone-vbr-bare.mp3"));
        if (lame({QStringLiteral("-V"), QStringLiteral("2"), QStringLiteral("-t"), wav44, bare}))
            media.mp3VbrBare = bare;
    }
    const QString mkv = dir.filePath(QStringLiteral("clip.mkv"));
    if (runPipeline(QStringLiteral("matroskamux name=mux ! filesink location=\"%1\" "
                                   "videotestsrc num-buffers=25 ! video/x-raw,width=160,height=120,"
                                   "framerate=25/1 ! jpegenc ! queue ! mux. ")
                        .arg(mkv) +
                    tone(10, 48000) + QStringLiteral("! queue ! mux.")))
        media.mkvVideo = mkv;
    const QString m4a = dir.filePath(QStringLiteral("tone.m4a"));
    if (runPipeline(tone(20, 44100) + QStringLiteral("! audioconvert ! avenc_aac ! mp4mux ! "
                                                     "filesink location=\"%1\"")
                                          .arg(m4a)) &&
        statePriming(m4a, 2))
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
