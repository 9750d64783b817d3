// dictora-cli play, media-info and record: the media command layer from the
// command line, with the same devices the program uses (DICTORA_AUDIO_SINK /
// DICTORA_AUDIO_SOURCE or the system's own).
#include "cli/cli_command.h"
#include "platform/media/audio_delivery_meter.h"
#include "platform/media/audio_devices.h"
#include "platform/media/gst_media_commands.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonObject>
#include <QTimer>

#include <gst/gst.h>

namespace dictora::cli {

namespace {

// Runs the event loop for ms milliseconds, so that bus news and frames arrive.
void runEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

qint64 takeMs(QStringList& args, const QString& name, qint64 fallback)
{
    const QString text = takeOption(args, name);
    if (text.isEmpty())
        return fallback;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < 0)
        throw UsageError{name + QStringLiteral(" wants a number of milliseconds")};
    return value;
}

QString onlyFile(const QStringList& args)
{
    if (args.size() != 1)
        throw UsageError{QStringLiteral("wants one file")};
    return QFileInfo(args.at(0)).absoluteFilePath();
}

int fail(const QString& reply)
{
    printError(reply);
    return 1;
}

int runPlay(QStringList args)
{
    const qint64 fromMs = takeMs(args, QStringLiteral("--from"), 0);
    const qint64 toMs = takeMs(args, QStringLiteral("--to"), -1);
    const QString file = onlyFile(args);
    if (toMs >= 0 && toMs <= fromMs)
        throw UsageError{QStringLiteral("--to must lie after --from")};

    AudioDeliveryMeter meter;
    GstMediaCommands::Options options;
    options.makeAudioSink = [&meter]() -> GstElement* {
        QString error;
        GstElement* sink = createAudioSink(&error);
        if (!sink)
            printError(error);
        else
            meter.attach(sink);
        return sink;
    };
    GstMediaCommands commands(options);
    QString reply = commands.send(QStringLiteral("Open ") + quotedPath(file) +
                                  QStringLiteral(" Type MPEGVideo Alias MYSHOW"));
    if (GstMediaCommands::isErrorReply(reply))
        return fail(reply);
    const qint64 lengthMs = commands.send(QStringLiteral("Status MYSHOW Length")).toLongLong();
    meter.reset();
    QString play = QStringLiteral("Play MYSHOW From %1").arg(fromMs);
    if (toMs >= 0)
        play += QStringLiteral(" To %1").arg(toMs);
    reply = commands.send(play);
    if (GstMediaCommands::isErrorReply(reply))
        return fail(reply);
    const qint64 spanMs = (toMs >= 0 ? std::min(toMs, lengthMs) : lengthMs) - fromMs;
    QElapsedTimer waited;
    waited.start();
    while (commands.send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("playing")) {
        if (waited.elapsed() > spanMs + 10000)
            return fail(QStringLiteral("error: the span did not end"));
        runEvents(10);
    }
    // What the sink holds is still to be heard; let it drain.
    runEvents(300);
    const AudioDeliveryMeter::Delivery delivered = meter.delivery();
    printJson({{"file", file},
               {"fromMs", fromMs},
               {"toMs", toMs >= 0 ? QJsonValue(toMs) : QJsonValue()},
               {"lengthMs", lengthMs},
               {"firstSampleMs", delivered.firstSampleNs >= 0
                                     ? QJsonValue(double(delivered.firstSampleNs) / GST_MSECOND)
                                     : QJsonValue()},
               {"deliveredMs", double(delivered.durationNs()) / GST_MSECOND},
               {"samples", delivered.samples},
               {"sampleRate", delivered.sampleRate}});
    return 0;
}

int runMediaInfo(QStringList args)
{
    const QString file = onlyFile(args);
    GstMediaCommands::Options options;
    // Nothing is played: a silent sink keeps the sound card out of it.
    options.makeAudioSink = [] { return gst_element_factory_make("fakesink", nullptr); };
    GstMediaCommands commands(options);
    const QString reply = commands.send(QStringLiteral("Open ") + quotedPath(file) +
                                        QStringLiteral(" Type MPEGVideo Alias MYSHOW"));
    if (GstMediaCommands::isErrorReply(reply))
        return fail(reply);
    printJson({{"file", file},
               {"lengthMs", commands.send(QStringLiteral("Status MYSHOW Length")).toLongLong()},
               {"hasVideo", commands.hasVideo(QStringLiteral("MYSHOW")).value_or(false)}});
    return 0;
}

int runRecord(QStringList args)
{
    const QString secondsText = takeOption(args, QStringLiteral("--seconds"), QStringLiteral("5"));
    bool ok = false;
    const double seconds = secondsText.toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 3600)
        throw UsageError{QStringLiteral("--seconds wants a number between 0 and 3600")};
    const QString file = onlyFile(args);

    GstMediaCommands commands;
    commands.send(QStringLiteral("Set Wave Bitpersample 16 "));
    commands.send(QStringLiteral("Set Wave Samplespersec 48000 "));
    commands.send(QStringLiteral("Set Wave Channels 2 "));
    commands.send(QStringLiteral("Open New Type WAVEaudio Alias RECORD"));
    QString reply = commands.send(QStringLiteral("Record RECORD"));
    if (GstMediaCommands::isErrorReply(reply))
        return fail(reply);
    QElapsedTimer recording;
    recording.start();
    while (recording.elapsed() < qint64(seconds * 1000) &&
           commands.send(QStringLiteral("Status RECORD Mode")) == QLatin1String("recording"))
        runEvents(20);
    commands.send(QStringLiteral("Stop RECORD "));
    const qint64 lengthMs = commands.send(QStringLiteral("Status RECORD Length")).toLongLong();
    reply = commands.send(QStringLiteral("Save RECORD ") + quotedPath(file));
    if (GstMediaCommands::isErrorReply(reply))
        return fail(reply);
    printJson({{"file", file}, {"lengthMs", lengthMs}});
    return 0;
}

const CommandRegistration playRegistration{
    {QStringLiteral("play"),
     QStringLiteral("play FILE [--from MS] [--to MS]   play a span, print what the sink received"),
     runPlay}};
const CommandRegistration mediaInfoRegistration{
    {QStringLiteral("media-info"),
     QStringLiteral("media-info FILE   length in ms as Status Length reports it, and video"),
     runMediaInfo}};
const CommandRegistration recordRegistration{
    {QStringLiteral("record"),
     QStringLiteral("record [--seconds N] OUT.wav   record from the audio source into a WAVE file"),
     runRecord}};

} // namespace

} // namespace dictora::cli
