// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli play, media-info, loudness and record: the media command layer
// from the command line, with the same devices the program uses
// (DICTORA_AUDIO_SINK / DICTORA_AUDIO_SOURCE or the system's own).
#include "cli/cli_command.h"
#include "core/media/loudness_levelling.h"
#include "core/media/padded_span.h"
#include "core/media/playback_settings.h"
#include "platform/media/audio_delivery_meter.h"
#include "platform/media/audio_devices.h"
#include "platform/media/gst_media_commands.h"
#include "platform/media/loudness_meter.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

#include <gst/gst.h>

#include <algorithm>
#include <cmath>

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

// A whole number option within lo..hi.
qint64 takeInRange(QStringList& args, const QString& name, qint64 fallback, qint64 lo, qint64 hi)
{
    const QString text = takeOption(args, name);
    if (text.isEmpty())
        return fallback;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < lo || value > hi)
        throw UsageError{name + QStringLiteral(" wants a whole number from %1 to %2").arg(lo).arg(hi)};
    return value;
}

// JSON null for a value that does not exist (a silent file's loudness).
QJsonValue finiteOrNull(double value)
{
    return std::isfinite(value) ? QJsonValue(value) : QJsonValue();
}

int runPlay(QStringList args)
{
    const qint64 fromMs = takeMs(args, QStringLiteral("--from"), 0);
    const qint64 toMs = takeMs(args, QStringLiteral("--to"), -1);
    const int padStart = int(takeInRange(args, QStringLiteral("--pad-start"), 0, 0,
                                         PlaybackSettings::kMaxPaddingMs));
    const int padEnd = int(takeInRange(args, QStringLiteral("--pad-end"), 0, 0,
                                       PlaybackSettings::kMaxPaddingMs));
    const int repeat = int(takeInRange(args, QStringLiteral("--repeat"), 1,
                                       PlaybackSettings::kMinRepeat, PlaybackSettings::kMaxRepeat));
    const int gapMs = int(takeInRange(args, QStringLiteral("--gap"), 1000,
                                      PlaybackSettings::kMinGapMs, PlaybackSettings::kMaxGapMs));
    const QString speedText = takeOption(args, QStringLiteral("--speed"), QStringLiteral("1"));
    bool speedOk = false;
    const double speed = speedText.toDouble(&speedOk);
    if (!speedOk || speed < 0.5 || speed > 1.0)
        throw UsageError{QStringLiteral("--speed wants a number from 0.5 to 1")};
    const bool level = takeFlag(args, QStringLiteral("--level"));
    const QString file = onlyFile(args);
    if (toMs >= 0 && toMs <= fromMs)
        throw UsageError{QStringLiteral("--to must lie after --from")};

    std::optional<Loudness> loudness;
    if (level) {
        QString error;
        loudness = measureLoudness(file, &error);
        if (!loudness)
            return fail(QStringLiteral("error: ") + error);
    }

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
    const int speedPermille = int(std::lround(speed * 1000));
    if (speedPermille != 1000) {
        reply = commands.send(QStringLiteral("Set MYSHOW Speed %1").arg(speedPermille));
        if (GstMediaCommands::isErrorReply(reply))
            return fail(reply);
    }
    const double gainDb = levellingGainDb(loudness);
    if (level) {
        reply = commands.send(QStringLiteral("SetAudio MYSHOW Volume To %1")
                                  .arg(std::lround(gainFactor(gainDb) * 1000)));
        if (GstMediaCommands::isErrorReply(reply))
            return fail(reply);
    }
    // Padding reaches at most to the media's ends, as in the program.
    const qint64 spanTo = toMs >= 0 ? std::min(toMs, lengthMs) : lengthMs;
    const HeardSpan heard = padSpan(int(fromMs), int(spanTo), padStart, padEnd, SpanNeighbours{},
                                    int(lengthMs > 0 ? lengthMs - 1 : spanTo));
    const bool toEnd = toMs < 0 && padEnd == 0;
    QString play = QStringLiteral("Play MYSHOW From %1").arg(heard.fromMs);
    if (!toEnd)
        play += QStringLiteral(" To %1").arg(heard.toMs);

    const qint64 heardMs = (toEnd ? lengthMs : heard.toMs) - heard.fromMs;
    // What the sink received of each play, and when its first sound came
    // (after the gap that follows the play before).
    QJsonArray eachPlay;
    qint64 firstArrivalUs = -1;
    qint64 samples = 0;
    qint64 deliveredNs = 0;
    qint64 firstSampleNs = -1;
    int sampleRate = 0;
    double peak = 0.0;
    qint64 soundEndUs = -1; // when the play before was heard to its end
    for (int n = 0; n < repeat; ++n) {
        // The gap is silence as heard: it runs from the end of the sound of
        // the play before, which the sink may still hold when the play is
        // reported stopped.
        if (n > 0)
            runEvents(soundEndUs < 0 ? gapMs
                                     : int(std::max<qint64>(
                                           0, (soundEndUs - g_get_monotonic_time()) / 1000 + gapMs)));
        // Counted afresh for each play; what was still on its way from the
        // play before has arrived during the gap.
        meter.reset();
        reply = commands.send(play);
        if (GstMediaCommands::isErrorReply(reply))
            return fail(reply);
        QElapsedTimer waited;
        waited.start();
        while (commands.send(QStringLiteral("Status MYSHOW Mode")) == QLatin1String("playing")) {
            if (waited.elapsed() > qint64(heardMs / speed) + 10000)
                return fail(QStringLiteral("error: the span did not end"));
            runEvents(10);
        }
        // What the sink holds is still to be heard; let it drain.
        runEvents(n + 1 < repeat ? 0 : 300);
        const AudioDeliveryMeter::Delivery delivered = meter.delivery();
        soundEndUs = delivered.firstArrivalUs >= 0
                         ? delivered.firstArrivalUs + delivered.durationNs() / 1000
                         : -1;
        if (firstArrivalUs < 0)
            firstArrivalUs = delivered.firstArrivalUs;
        if (firstSampleNs < 0)
            firstSampleNs = delivered.firstSampleNs;
        samples += delivered.samples;
        deliveredNs += delivered.durationNs();
        sampleRate = std::max(sampleRate, delivered.sampleRate);
        peak = std::max(peak, delivered.peak);
        eachPlay.append(QJsonObject{
            {"startMs", delivered.firstArrivalUs >= 0 && firstArrivalUs >= 0
                            ? QJsonValue(double(delivered.firstArrivalUs - firstArrivalUs) / 1000)
                            : QJsonValue()},
            {"firstSampleMs", delivered.firstSampleNs >= 0
                                  ? QJsonValue(double(delivered.firstSampleNs) / GST_MSECOND)
                                  : QJsonValue()},
            {"deliveredMs", double(delivered.durationNs()) / GST_MSECOND}});
    }
    QJsonObject out{{"file", file},
                    {"fromMs", fromMs},
                    {"toMs", toMs >= 0 ? QJsonValue(toMs) : QJsonValue()},
                    {"heardFromMs", heard.fromMs},
                    {"heardToMs", toEnd ? QJsonValue(lengthMs) : QJsonValue(heard.toMs)},
                    {"speed", speed},
                    {"plays", repeat},
                    {"gapMs", gapMs},
                    {"lengthMs", lengthMs},
                    {"firstSampleMs", firstSampleNs >= 0 ? QJsonValue(double(firstSampleNs) / GST_MSECOND)
                                                         : QJsonValue()},
                    {"deliveredMs", double(deliveredNs) / GST_MSECOND},
                    {"samples", samples},
                    {"sampleRate", sampleRate},
                    {"peakDbfs", finiteOrNull(20.0 * std::log10(peak))},
                    {"eachPlay", eachPlay}};
    if (level) {
        out.insert("integratedLufs", finiteOrNull(loudness->integratedLufs));
        out.insert("truePeakDbtp", finiteOrNull(loudness->truePeakDbtp));
        out.insert("gainDb", gainDb);
    }
    printJson(out);
    return 0;
}

int runLoudness(QStringList args)
{
    const QString file = onlyFile(args);
    QString error;
    const std::optional<Loudness> measured = measureLoudness(file, &error);
    if (!measured)
        return fail(QStringLiteral("error: ") + error);
    printJson({{"file", file},
               {"integratedLufs", finiteOrNull(measured->integratedLufs)},
               {"truePeakDbtp", finiteOrNull(measured->truePeakDbtp)},
               {"levellingGainDb", levellingGainDb(measured)}});
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
     QStringLiteral("play FILE [--from MS] [--to MS] [--pad-start MS] [--pad-end MS] [--speed X] "
                    "[--repeat N] [--gap MS] [--level]   play a span, print what the sink received"),
     runPlay}};
const CommandRegistration loudnessRegistration{
    {QStringLiteral("loudness"),
     QStringLiteral("loudness FILE   integrated loudness (LUFS) and true peak (dBTP) as JSON"),
     runLoudness}};
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
