// SPDX-License-Identifier: GPL-3.0-or-later
#include "media_window_fixture.h"

#include "support/media_making.h"
#include "support/media_runtime.h"
#include "ui/media/media_window.h"

#include <gst/gst.h>

namespace dictora::test {

namespace {

QString makeVideoClip()
{
    ensureMediaRuntime();
    static QTemporaryDir clipDir;
    const QString clip = clipDir.filePath(QStringLiteral("clip one.mkv"));
    const bool made =
        runPipeline(QStringLiteral("matroskamux name=mux ! filesink location=\"%1\" "
                                   "videotestsrc num-buffers=50 ! video/x-raw,width=160,height=120,"
                                   "framerate=25/1 ! jpegenc ! queue ! mux. ")
                        .arg(clip) +
                    testSignal(20, 48000) + QStringLiteral("! queue ! mux."));
    return made ? clip : QString();
}

} // namespace

const QString& videoClip()
{
    static const QString clip = makeVideoClip();
    return clip;
}

MediaWindowFixture::MediaWindowFixture(bool speechOutputFails)
    : speechFile(dir.filePath(QStringLiteral("speech.wav")))
{
    ensureMediaRuntime();
    media = std::make_unique<GstMediaCommands>();
    SpeechWorker::Options speechOptions;
    speechOptions.makeSink = [path = speechFile, speechOutputFails](QString* error) -> GstElement* {
        if (speechOutputFails) {
            *error = QStringLiteral("no sound card");
            return nullptr;
        }
        return makeWaveFileSink(path, error);
    };
    // Each utterance gets an output (and so a file) of its own.
    speechOptions.idleRelease = std::chrono::milliseconds(1);
    speech = std::make_unique<SpeechWorker>(speechOptions);
    buildStudyScreen({.media = media.get(),
                      .speech = speech.get(),
                      .library = false,
                      .recorder = true,
                      .size = QSize(1000, 700)});
}

MediaWindowFixture::~MediaWindowFixture()
{
    closeStudyScreen();
}

void MediaWindowFixture::loadClipSection()
{
    SentenceRow title = makeTitleRow(QStringLiteral("Clip"));
    title[MediaPath] = videoClip();
    title[MediaName] = QStringLiteral("clip one.mkv");
    title[MediaLengthMs] = QStringLiteral("2000");
    table.appendRow(title);
    const auto sentence = [&](const char* start, const char* end, const char* text) {
        SentenceRow row = title;
        row[Kind] = QStringLiteral("1");
        row[StartMs] = QString::fromLatin1(start);
        row[EndMs] = QString::fromLatin1(end);
        row[Text] = QString::fromLatin1(text);
        table.appendRow(row);
    };
    sentence("0", "1000", "The bars are bright.");
    sentence("1000", "1990", "The tone goes on.");
    SentenceRow spoken = makeSentenceRow();
    spoken[Text] = QStringLiteral("Good morning, class.");
    table.appendRow(spoken);
}

void MediaWindowFixture::playRow(int row)
{
    state.currentRow = row;
    speech->setSpeechText(table.field(row, Text)); // as LoadRow does
    bool advancing = false;
    panel->mediaWindow()->PlayRow(advancing);
}

} // namespace dictora::test
