// SPDX-License-Identifier: GPL-3.0-or-later
// dictora-cli say and voices: the speech worker from the command line, on the
// program's audio output (DICTORA_AUDIO_SINK or the system's own) or into a
// WAVE file.
#include "cli/cli_command.h"
#include "platform/speech/speech_worker.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <mutex>

namespace dictora::cli {

namespace {

using namespace std::chrono_literals;

int takeNumber(QStringList& args, const QString& name, int fallback, int lowest, int highest)
{
    const QString text = takeOption(args, name);
    if (text.isEmpty())
        return fallback;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest)
        throw UsageError{QStringLiteral("%1 wants a whole number from %2 to %3")
                             .arg(name)
                             .arg(lowest)
                             .arg(highest)};
    return value;
}

// audioconvert ! wavenc ! filesink, built element by element so that any
// file name works.
GstElement* makeWaveFileSink(const QString& path, QString* error)
{
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* encoder = gst_element_factory_make("wavenc", nullptr);
    GstElement* file = gst_element_factory_make("filesink", nullptr);
    if (!convert || !encoder || !file) {
        for (GstElement* element : {convert, encoder, file}) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        gst_object_unref(gst_object_ref_sink(bin));
        *error = QStringLiteral("GStreamer cannot write WAVE files here");
        return nullptr;
    }
    g_object_set(file, "location", QFile::encodeName(path).constData(), nullptr);
    gst_bin_add_many(GST_BIN(bin), convert, encoder, file, nullptr);
    gst_element_link_many(convert, encoder, file, nullptr);
    GstPad* input = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", input));
    gst_object_unref(input);
    return bin;
}

int runSay(QStringList args)
{
    const QString voiceName = takeOption(args, QStringLiteral("--voice"));
    const int rate = takeNumber(args, QStringLiteral("--rate"), 0, -10, 10);
    const int volume = takeNumber(args, QStringLiteral("--volume"), 100, 0, 100);
    const QString wavPath = takeOption(args, QStringLiteral("--wav"));
    if (args.size() != 1)
        throw UsageError{QStringLiteral("wants one TEXT (quote it)")};
    const QString text = args.at(0);

    // The file sink reports a file it cannot make only on its pipeline's
    // bus; make sure beforehand that the file can be written at all.
    if (!wavPath.isEmpty()) {
        QFile probe(wavPath);
        if (!probe.open(QIODevice::WriteOnly)) {
            printError(QStringLiteral("cannot write %1: %2").arg(wavPath, probe.errorString()));
            return 1;
        }
    }
    gst_init(nullptr, nullptr);
    std::mutex failureLock;
    QString failure;
    SpeechWorker::Options options;
    if (!wavPath.isEmpty()) {
        const QString path = QFileInfo(wavPath).absoluteFilePath();
        options.makeSink = [path](QString* error) { return makeWaveFileSink(path, error); };
    }
    options.reportFailure = [&](const QString& message, const QString& reason) {
        std::lock_guard lock(failureLock);
        failure = message + QStringLiteral(" (") + reason + u')';
    };
    SpeechWorker worker(options);
    worker.setRate(rate);
    worker.setVolume(volume);
    if (!voiceName.isEmpty()) {
        const QList<SpeechVoice> voices = worker.voices();
        const int found = findVoice(voices, voiceName);
        if (found < 0)
            throw UsageError{
                QStringLiteral("no voice '%1' (see dictora-cli voices)").arg(voiceName)};
        worker.setEnglishVoice(voices[found].identifier);
        worker.setChineseVoice(voices[found].identifier);
    }

    const auto start = std::chrono::steady_clock::now();
    worker.setSpeechText(text);
    worker.requestSpeech();
    // A long text may take a while; the bound only guards against a stuck output.
    const auto bound = 30s + std::chrono::milliseconds(500 * text.size());
    const bool done =
        worker.waitUntil([&] { return !worker.speechPending(); },
                         std::chrono::duration_cast<std::chrono::milliseconds>(bound));
    const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    {
        std::lock_guard lock(failureLock);
        if (!failure.isEmpty()) {
            printError(failure);
            return 1;
        }
    }
    if (!done) {
        printError(QStringLiteral("the speech output did not finish"));
        return 1;
    }
    // A WAVE file holds a 44-byte header before its samples.
    if (!wavPath.isEmpty() && QFileInfo(wavPath).size() <= 44) {
        printError(QStringLiteral("no speech was written to %1").arg(wavPath));
        return 1;
    }
    QJsonObject result;
    result[QStringLiteral("voice")] = worker.voiceFor(text);
    result[QStringLiteral("characters")] = int(text.size());
    result[QStringLiteral("position")] = worker.speechPos();
    result[QStringLiteral("elapsedMs")] = qint64(elapsedMs.count());
    if (!wavPath.isEmpty())
        result[QStringLiteral("wav")] = QFileInfo(wavPath).absoluteFilePath();
    printJson(result);
    return 0;
}

int runVoices(QStringList args)
{
    if (!args.isEmpty())
        throw UsageError{QStringLiteral("takes no arguments")};
    gst_init(nullptr, nullptr);
    SpeechWorker worker;
    const QList<SpeechVoice> voices = worker.voices();
    for (const SpeechVoice& voice : voices) {
        QString mark;
        if (voice.identifier == worker.englishVoice())
            mark = QStringLiteral("\t(English choice)");
        else if (voice.identifier == worker.chineseVoice())
            mark = QStringLiteral("\t(Chinese choice)");
        printOut(voice.identifier + u'\t' + voice.language + u'\t' + voice.name + mark);
    }
    if (voices.isEmpty()) {
        printError(QStringLiteral("no voices installed; speech uses the engine's default voice"));
        return 1;
    }
    return 0;
}

const CommandRegistration sayCommand{
    {QStringLiteral("say"),
     QStringLiteral("say TEXT [--voice NAME] [--rate -10..10] [--volume 0..100] [--wav OUT]"),
     [](const QStringList& args) { return runSay(args); }}};

const CommandRegistration voicesCommand{{QStringLiteral("voices"),
                                         QStringLiteral("voices   the installed speech voices"),
                                         [](const QStringList& args) { return runVoices(args); }}};

} // namespace

} // namespace dictora::cli
