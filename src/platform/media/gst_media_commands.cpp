// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/gst_media_commands.h"

#include "platform/media/audio_devices.h"
#include "platform/media/media_command_line.h"
#include "platform/media/media_device.h"
#include "platform/media/media_file_device.h"
#include "platform/media/media_length.h"
#include "platform/media/video_frame_sink.h"
#include "platform/media/voice_recorder_device.h"

#include <QMutex>
#include <QObject>

#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace dictora {

namespace {

// The program's audio device, or nullptr with a warning saying why not.
GstElement* audioDeviceOrWarn(GstElement* (*create)(QString*), const char* what)
{
    QString error;
    GstElement* element = create(&error);
    if (!element)
        g_warning("%s: %s", what, qPrintable(error));
    return element;
}

std::optional<qint64> number(const QString& text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

// The newest frame per surface, handed from GStreamer threads to the
// user-interface thread; older frames still waiting are replaced. Each
// opening of a device on a surface has its own number; only frames of the
// opening now showing there are taken in, so nothing decoded before a Close
// reaches the surface after it, however late its thread delivers it.
struct GstMediaCommands::FrameMailbox {
    QMutex mutex;
    QHash<quint32, QImage> waiting;
    QHash<quint32, quint64> showing;
    quint64 lastOpening = 0;
};

// A media file opening on a thread of its own. The thread writes device
// and error, then sets finished and posts collectOpenings.
struct GstMediaCommands::Opening {
    QString command;
    QString alias;
    std::function<void(const QString&)> done;
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    std::unique_ptr<MediaFileDevice> device;
    QString error;
    std::thread thread;
};

GstMediaCommands::GstMediaCommands() : GstMediaCommands(Options{}) {}

GstMediaCommands::GstMediaCommands(Options options)
    : options_(std::move(options)), lengths_(std::make_unique<MediaLengthCache>()),
      frames_(std::make_shared<FrameMailbox>()), context_(std::make_unique<QObject>())
{
    if (!gst_is_initialized())
        gst_init(nullptr, nullptr);
    if (!options_.makeAudioSink)
        options_.makeAudioSink = [] { return audioDeviceOrWarn(createAudioSink, "audio output"); };
    if (!options_.makeAudioSource)
        options_.makeAudioSource = [] {
            return audioDeviceOrWarn(createAudioSource, "audio input");
        };
}

GstMediaCommands::~GstMediaCommands()
{
    // Openings end first: they post to the context.
    for (const auto& opening : openings_)
        opening->cancel = true;
    for (const auto& opening : openings_)
        opening->thread.join();
    openings_.clear();
    // Pipelines stop before the mailbox and the context they post to go.
    devices_.clear();
}

void GstMediaCommands::setCommandObserver(
    std::function<void(const QString&, const QString&)> observer)
{
    observer_ = std::move(observer);
}

void GstMediaCommands::registerVideoSink(quint32 surfaceId, VideoFrameSink* sink)
{
    videoSinks_.insert(surfaceId, sink);
}

void GstMediaCommands::unregisterVideoSink(quint32 surfaceId)
{
    videoSinks_.remove(surfaceId);
}

std::optional<bool> GstMediaCommands::hasVideo(const QString& alias) const
{
    MediaDevice* found = device(alias);
    return found ? std::optional<bool>(found->hasVideo()) : std::nullopt;
}

QString GstMediaCommands::send(const QString& command)
{
    log_.append(command);
    serviceDevices();
    const QString reply = execute(command);
    if (observer_)
        observer_(command, reply);
    return reply;
}

void GstMediaCommands::openInBackground(const QString& command,
                                        std::function<void(const QString&)> done)
{
    const MediaCommandLine line = MediaCommandLine::split(command);
    OpenRequest request;
    const bool mediaFile = line.size() >= 2 && line.is(0, QLatin1String("open")) &&
                           readOpen(line, request).isEmpty() && !request.surface &&
                           !opensRecorder(request);
    if (!mediaFile) {
        MediaCommands::openInBackground(command, std::move(done));
        return;
    }
    log_.append(command);
    serviceDevices();
    auto opening = std::make_unique<Opening>();
    opening->command = command;
    opening->alias = request.alias;
    opening->done = std::move(done);
    MediaFileDevice::Setup setup;
    setup.path = request.path;
    setup.audioSink = options_.makeAudioSink();
    setup.wake = wakeCall();
    setup.lengths = lengths_.get();
    setup.cancel = &opening->cancel;
    opening->thread = std::thread([this, context = context_.get(), opened = opening.get(),
                                   setup = std::move(setup)]() mutable {
        opened->device = MediaFileDevice::open(std::move(setup), &opened->error);
        opened->finished = true;
        QMetaObject::invokeMethod(
            context, [this] { collectOpenings(); }, Qt::QueuedConnection);
    });
    openings_.push_back(std::move(opening));
}

void GstMediaCommands::collectOpenings()
{
    std::vector<std::unique_ptr<Opening>> finished;
    for (auto it = openings_.begin(); it != openings_.end();) {
        if ((*it)->finished) {
            (*it)->thread.join();
            finished.push_back(std::move(*it));
            it = openings_.erase(it);
        } else {
            ++it;
        }
    }
    // Callers may send commands from done: every opening is settled first.
    std::vector<std::pair<Opening*, QString>> replies;
    for (const auto& opening : finished) {
        QString reply;
        if (!opening->device)
            reply = errorReply(opening->error);
        else
            devices_[opening->alias] = std::move(opening->device);
        replies.emplace_back(opening.get(), reply);
    }
    for (const auto& [opening, reply] : replies) {
        if (observer_)
            observer_(opening->command, reply);
        if (opening->done)
            opening->done(reply);
    }
}

MediaDevice* GstMediaCommands::device(const QString& alias) const
{
    const auto found = devices_.find(alias.toUpper());
    return found == devices_.end() ? nullptr : found->second.get();
}

QString GstMediaCommands::execute(const QString& command)
{
    const MediaCommandLine line = MediaCommandLine::split(command);
    if (line.size() < 2)
        return errorReply(QStringLiteral("incomplete command \"%1\"").arg(command));
    const QString verb = line.word(0).toLower();
    if (verb == QLatin1String("open"))
        return open(line);
    if (verb == QLatin1String("set") && line.is(1, QLatin1String("wave")))
        return setWave(line);

    const QString alias = line.word(1).toUpper();
    MediaDevice* target = device(alias);
    if (verb == QLatin1String("close")) {
        if (!target)
            return errorReply(QStringLiteral("no device %1").arg(alias));
        VideoFrameSink* sink = videoSinkOf(alias);
        if (const auto use = surfaceOfAlias_.find(alias); use != surfaceOfAlias_.end()) {
            stopShowing(use->second);
            surfaceOfAlias_.erase(use);
        }
        devices_.erase(alias);
        if (sink)
            sink->clearVideo();
        return {};
    }
    if (!target)
        return errorReply(QStringLiteral("no device %1").arg(alias));

    if (verb == QLatin1String("play")) {
        std::optional<qint64> from;
        std::optional<qint64> to;
        for (qsizetype i = 2; i + 1 < line.size(); i += 2) {
            const std::optional<qint64> value = number(line.word(i + 1));
            if (!value)
                return errorReply(QStringLiteral("not a number: %1").arg(line.word(i + 1)));
            if (line.is(i, QLatin1String("from")))
                from = value;
            else if (line.is(i, QLatin1String("to")))
                to = value;
            else
                return errorReply(QStringLiteral("unknown play option %1").arg(line.word(i)));
        }
        return target->play(from, to);
    }
    if (verb == QLatin1String("set") && line.is(2, QLatin1String("speed"))) {
        // Set A Speed N: thousandths of the normal speed for the next plays.
        const std::optional<qint64> value = number(line.word(3));
        if (!value)
            return errorReply(QStringLiteral("Set Speed needs a number"));
        return target->setSpeed(int(std::clamp<qint64>(*value, -1, 1000000)));
    }
    if (verb == QLatin1String("setaudio")) {
        // SetAudio A Volume To N: thousandths of the recorded level.
        if (!line.is(2, QLatin1String("volume")) || !line.is(3, QLatin1String("to")))
            return errorReply(QStringLiteral("SetAudio needs Volume To N"));
        const std::optional<qint64> value = number(line.word(4));
        if (!value)
            return errorReply(QStringLiteral("SetAudio Volume needs a number"));
        return target->setVolume(int(std::clamp<qint64>(*value, -1, 1000000)));
    }
    if (verb == QLatin1String("pause"))
        return target->pause();
    if (verb == QLatin1String("resume"))
        return target->resume();
    if (verb == QLatin1String("stop"))
        return target->stop();
    if (verb == QLatin1String("record"))
        return target->record();
    if (verb == QLatin1String("save")) {
        const QString path = line.span(2, -1);
        if (path.isEmpty())
            return errorReply(QStringLiteral("Save needs a file name"));
        return target->save(path);
    }
    if (verb == QLatin1String("status")) {
        if (line.is(2, QLatin1String("mode")))
            return target->mode();
        if (line.is(2, QLatin1String("length")))
            return QString::number(target->lengthMs());
        if (line.is(2, QLatin1String("position")))
            return QString::number(target->positionMs());
        return errorReply(QStringLiteral("unknown status item %1").arg(line.word(2)));
    }
    if (verb == QLatin1String("put")) {
        // Put A Window At x y w h
        if (line.size() < 8 || !line.is(2, QLatin1String("window")) ||
            !line.is(3, QLatin1String("at")))
            return errorReply(QStringLiteral("Put needs Window At x y w h"));
        int values[4];
        for (int i = 0; i < 4; ++i) {
            const std::optional<qint64> value = number(line.word(4 + i));
            if (!value)
                return errorReply(QStringLiteral("not a number: %1").arg(line.word(4 + i)));
            values[i] = int(*value);
        }
        const QRect area(values[0], values[1], values[2], values[3]);
        if (VideoFrameSink* sink = videoSinkOf(alias))
            sink->placeVideo(area);
        return {};
    }
    return errorReply(QStringLiteral("unknown command %1").arg(line.word(0)));
}

QString GstMediaCommands::readOpen(const MediaCommandLine& line, OpenRequest& request) const
{
    // The path runs up to the first keyword, so an unquoted path may hold blanks.
    const qsizetype firstKeyword =
        line.find(2, {QLatin1String("type"), QLatin1String("alias"), QLatin1String("parent"),
                      QLatin1String("style"), QLatin1String("notify"), QLatin1String("wait"),
                      QLatin1String("shareable")});
    request.path = line.span(1, firstKeyword);
    for (qsizetype i = firstKeyword < 0 ? line.size() : firstKeyword; i < line.size(); ++i) {
        if (line.is(i, QLatin1String("alias")))
            request.alias = line.word(++i).toUpper();
        else if (line.is(i, QLatin1String("type")))
            request.type = line.word(++i).toLower();
        else if (line.is(i, QLatin1String("parent"))) {
            bool ok = false;
            const quint32 id = line.word(++i).toUInt(&ok);
            if (ok)
                request.surface = id;
        } else if (line.is(i, QLatin1String("style")))
            ++i;
    }
    if (request.alias.isEmpty())
        request.alias = request.path.toUpper();
    if (request.path.isEmpty() || request.alias.isEmpty())
        return errorReply(QStringLiteral("Open needs a file and an alias"));
    const bool opening = std::any_of(openings_.begin(), openings_.end(),
                                     [&](const auto& o) { return o->alias == request.alias; });
    if (devices_.count(request.alias) || opening)
        return errorReply(QStringLiteral("the alias %1 is already open").arg(request.alias));
    return {};
}

bool GstMediaCommands::opensRecorder(const OpenRequest& request)
{
    return request.type == QLatin1String("waveaudio") &&
           request.path.compare(QLatin1String("new"), Qt::CaseInsensitive) == 0;
}

std::function<void()> GstMediaCommands::wakeCall()
{
    // Devices end before the context (see the destructor), so GStreamer
    // threads may post to it for as long as they run.
    return [context = context_.get(), this] {
        QMetaObject::invokeMethod(
            context, [this] { serviceDevices(); }, Qt::QueuedConnection);
    };
}

QString GstMediaCommands::open(const MediaCommandLine& line)
{
    OpenRequest request;
    if (const QString refused = readOpen(line, request); !refused.isEmpty())
        return refused;
    const QString& path = request.path;
    const QString& alias = request.alias;
    const std::optional<quint32>& surface = request.surface;
    const auto wake = wakeCall();

    if (opensRecorder(request)) {
        VoiceRecorderDevice::Setup setup;
        setup.format.bitsPerSample = waveFormat_.bitsPerSample;
        setup.format.sampleRate = waveFormat_.samplesPerSecond;
        setup.format.channels = waveFormat_.channels;
        setup.makeSource = options_.makeAudioSource;
        setup.makeSink = options_.makeAudioSink;
        setup.sourceIsSystemDefault = audioSourceIsSystemDefault();
        setup.wake = wake;
        devices_[alias] = std::make_unique<VoiceRecorderDevice>(std::move(setup));
        return {};
    }

    MediaFileDevice::Setup setup;
    setup.path = path;
    setup.audioSink = options_.makeAudioSink();
    setup.wake = wake;
    setup.lengths = lengths_.get();
    SurfaceUse use;
    if (surface) {
        const quint32 id = *surface;
        use.surfaceId = id;
        {
            QMutexLocker lock(&frames_->mutex);
            use.opening = ++frames_->lastOpening;
            // The preroll frame arrives while the file opens: it is shown.
            frames_->showing.insert(id, use.opening);
            frames_->waiting.remove(id);
        }
        setup.presentFrame = [frames = frames_, context = context_.get(), id, opening = use.opening,
                              this](const QImage& frame) {
            QMutexLocker lock(&frames->mutex);
            if (frames->showing.value(id) != opening)
                return;
            const bool posted = frames->waiting.contains(id);
            frames->waiting.insert(id, frame);
            if (!posted)
                QMetaObject::invokeMethod(
                    context, [this, id] { deliverFrame(id); }, Qt::QueuedConnection);
        };
    }
    QString error;
    std::unique_ptr<MediaFileDevice> opened = MediaFileDevice::open(std::move(setup), &error);
    if (!opened) {
        if (surface)
            stopShowing(use);
        return errorReply(error);
    }
    devices_[alias] = std::move(opened);
    if (surface)
        surfaceOfAlias_[alias] = use;
    return {};
}

VideoFrameSink* GstMediaCommands::videoSinkOf(const QString& alias) const
{
    const auto use = surfaceOfAlias_.find(alias);
    return use == surfaceOfAlias_.end() ? nullptr : videoSinks_.value(use->second.surfaceId);
}

void GstMediaCommands::stopShowing(const SurfaceUse& use)
{
    QMutexLocker lock(&frames_->mutex);
    // Another opening may have taken the surface since; its frames stay.
    if (frames_->showing.value(use.surfaceId) != use.opening)
        return;
    frames_->showing.remove(use.surfaceId);
    frames_->waiting.remove(use.surfaceId);
}

void GstMediaCommands::deliverFrame(quint32 surfaceId)
{
    QImage frame;
    {
        QMutexLocker lock(&frames_->mutex);
        frame = frames_->waiting.take(surfaceId);
    }
    if (VideoFrameSink* sink = videoSinks_.value(surfaceId); sink && !frame.isNull())
        sink->presentFrame(frame);
}

QString GstMediaCommands::setWave(const MediaCommandLine& line)
{
    // Set Wave Bitpersample 16 / Samplespersec 48000 / Channels 2: the format
    // of recorders opened from now on.
    WaveFormat format = waveFormat_;
    for (qsizetype i = 2; i + 1 < line.size(); i += 2) {
        const std::optional<qint64> value = number(line.word(i + 1));
        if (!value)
            return errorReply(QStringLiteral("not a number: %1").arg(line.word(i + 1)));
        if (line.is(i, QLatin1String("bitpersample"))) {
            if (*value != 8 && *value != 16)
                return errorReply(QStringLiteral("only 8 or 16 bits per sample"));
            format.bitsPerSample = int(*value);
        } else if (line.is(i, QLatin1String("samplespersec"))) {
            if (*value < 8000 || *value > 192000)
                return errorReply(QStringLiteral("unsupported sample rate %1").arg(*value));
            format.samplesPerSecond = int(*value);
        } else if (line.is(i, QLatin1String("channels"))) {
            if (*value != 1 && *value != 2)
                return errorReply(QStringLiteral("only 1 or 2 channels"));
            format.channels = int(*value);
        } else {
            return errorReply(QStringLiteral("unknown wave setting %1").arg(line.word(i)));
        }
    }
    waveFormat_ = format;
    return {};
}

void GstMediaCommands::serviceDevices()
{
    for (auto& [alias, device] : devices_)
        device->serviceBus();
}

} // namespace dictora
