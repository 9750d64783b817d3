// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/media_player.h"

#include "core/media/media_commands.h"
#include "core/media/span_scaling.h"
#include "core/media/speech_output.h"
#include "core/media/video_surface.h"
#include "core/study/number_text.h"
#include "core/study/sentence_table.h"
#include "core/study/study_state.h"
#include "core/study/unit_library.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cmath>

#include <algorithm>

namespace dictora {

namespace {

// The child-window style bit the open command passes with the surface.
constexpr uint32_t kChildStyle = 1073741824u;
// Share of a span the learner hears before typing unlocks: the golden section.
constexpr double kUnlockFraction = 0.618;

} // namespace

MediaPlayer::MediaPlayer(StudyState& state, SentenceTable& table, ProgramFolder folder,
                         MediaCommands& commands, SpeechOutput& speech, VideoSurface* surface)
    : state_(state), table_(table), folder_(std::move(folder)), commands_(commands),
      speech_(speech), surface_(surface), pause_([](int ms) { QThread::msleep(ulong(ms)); }),
      clock_([] {
          static QElapsedTimer started = [] {
              QElapsedTimer t;
              t.start();
              return t;
          }();
          return started.elapsed();
      })
{
}

bool MediaPlayer::hasOpenMedia() const
{
    return state_.openMediaLengthMs > 0;
}

void MediaPlayer::closeMedia()
{
    if (surface_)
        surface_->hideVideo();
    declaredLengthMs_ = kNone;
    state_.openMediaLengthMs = kNone;
}

void MediaPlayer::stopMedia()
{
    commands_.send(QStringLiteral("Stop MYSHOW "));
}

void MediaPlayer::closeMediaFile()
{
    commands_.send(QStringLiteral("Close MYSHOW "));
    closeMedia();
}

void MediaPlayer::openMedia()
{
    state_.openMediaLengthMs = kNone;
    commands_.send(QStringLiteral("Close MYSHOW "));
    if (state_.mediaFilePath.isEmpty() || !QFileInfo(state_.mediaFilePath).isFile()) {
        closeMedia();
        return;
    }
    const uint32_t parent = surface_ ? surface_->surfaceId() : 0;
    commands_.send(QStringLiteral("Open %1 Type MPEGVideo Alias MYSHOW Parent %2 Style %3 Notify")
                       .arg(quotedPath(state_.mediaFilePath))
                       .arg(parent)
                       .arg(kChildStyle));
    const int length = textToInt(commands_.send(QStringLiteral("Status MYSHOW Length")));
    state_.openMediaLengthMs = length > 0 ? length : kNone;
    paused_ = false;
    // A newly opened device plays at the normal speed and volume.
    deviceSpeed_ = 1000;
    deviceVolume_ = 1000;
}

QString MediaPlayer::mediaPathOfRow(int row) const
{
    const QString path = table_.field(row, MediaPath);
    if (path != u"..")
        return path;
    const QString unit = state_.isNotebook ? table_.field(row, SectionTitle)
                         : library_           ? library_->unitName()
                                              : QString();
    return folder_.mediaFolder() + unit + u'/' + table_.field(row, MediaName);
}

int MediaPlayer::playRow(bool& advancing)
{
    // The flag belongs to the one selection NextLine made; a flag left over
    // from a row that was spoken or changed media must not keep a later click
    // from restarting playback.
    const bool wasAdvancing = std::exchange(advancing, false);
    const int row = state_.currentRow;
    if (row < 0) {
        for (int r = 0; r < table_.rowCount(); ++r) {
            if (table_.isSentence(r))
                return r;
        }
        return kNone;
    }
    if (!table_.isValidRow(row))
        return kNone;

    const QString path = mediaPathOfRow(row);
    if (path.isEmpty()) {
        state_.mediaFilePath.clear();
        openMedia();
        startRepeats();
        playSpan(false);
        return kNone;
    }
    const bool sameMedia = path == state_.mediaFilePath;
    if (!sameMedia) {
        state_.mediaFilePath = path;
        openMedia();
        const int stated = textToInt(table_.field(row, MediaLengthMs));
        declaredLengthMs_ = stated > 0 ? stated : state_.openMediaLengthMs;
    }
    const int realMs = state_.openMediaLengthMs;
    if (realMs <= 0) {
        startRepeats();
        playSpan(false);
        return kNone;
    }
    if (declaredLengthMs_ <= 0)
        declaredLengthMs_ = realMs;

    const bool lastOfSection = row + 1 >= table_.rowCount() || table_.isTitleRow(row + 1);
    // A media file shorter than 10 ms would otherwise store a wrapped, huge end.
    if (lastOfSection && textToInt(table_.field(row, EndMs)) <= 0)
        table_.setField(row, EndMs, uintText(uint32_t(std::max(declaredLengthMs_ - 10, 0))));

    const int from = scaleToMedia(textToInt(table_.field(row, StartMs)), realMs, declaredLengthMs_);
    const int to = scaleToMedia(textToInt(table_.field(row, EndMs)), realMs, declaredLengthMs_);
    const int mediaEnd = scaleToMedia(declaredLengthMs_ - 10, realMs, declaredLengthMs_);

    // In 64 bits: stored times are unsigned text and may read back negative.
    if (int64_t(to) - from < kShortestPlayedSpanMs) {
        // Spoken with the device closed: left open it would play on under the
        // voice, and position and mode would come from the wrong source.
        state_.mediaFilePath.clear();
        openMedia();
        startRepeats();
        playSpan(true);
        return kNone;
    }

    const bool spanUnderWay = state_.playFromMs >= 0 && state_.playFromMs < state_.playToMs;
    if (state_.lineByLineMode && sameMedia && spanUnderWay) {
        const bool isLast = row + 1 >= table_.rowCount();
        const bool nextStartsLater = !isLast && table_.isSentence(row + 1) &&
                                     scaleToMedia(textToInt(table_.field(row + 1, StartMs)), realMs,
                                                  declaredLengthMs_) > from;
        const bool mayGoOn = isLast || nextStartsLater;
        if (wasAdvancing) {
            state_.spanEndMs = to;
            if (mayGoOn)
                return kNone;
        } else if (to == state_.spanEndMs && mayGoOn) {
            return kNone;
        }
    }

    state_.playFromMs = from;
    state_.playToMs = state_.lineByLineMode ? mediaEnd : to;
    state_.spanEndMs = to;
    neighbours_ = neighboursOf(row, path);
    wantedSpeed_ = 1000;
    startRepeats();
    if (from >= 0 && from < state_.playToMs)
        playSpan(false);
    return kNone;
}

void MediaPlayer::startRepeats()
{
    // Line-by-line play runs on through the media; only single sentences
    // repeat, spoken or played alike.
    if (state_.lineByLineMode)
        repeat_.stop();
    else
        repeat_.start(settings_.repeatCount, settings_.repeatGapMs);
}

SpanNeighbours MediaPlayer::neighboursOf(int row, const QString& path) const
{
    SpanNeighbours n;
    const int realMs = state_.openMediaLengthMs;
    auto sameMediaSentence = [&](int r) {
        return table_.isValidRow(r) && table_.field(r, Kind) == u"1" && mediaPathOfRow(r) == path;
    };
    if (sameMediaSentence(row - 1))
        n.previousEndMs =
            scaleToMedia(textToInt(table_.field(row - 1, EndMs)), realMs, declaredLengthMs_);
    if (sameMediaSentence(row + 1))
        n.nextStartMs =
            scaleToMedia(textToInt(table_.field(row + 1, StartMs)), realMs, declaredLengthMs_);
    // An open end (0) or a time wrapped negative names no neighbour.
    if (n.previousEndMs <= 0)
        n.previousEndMs = kNone;
    if (n.nextStartMs < 0)
        n.nextStartMs = kNone;
    return n;
}

HeardSpan MediaPlayer::heardSpan() const
{
    // Line-by-line play already runs to the media's end; only its start is padded.
    const int tail = state_.lineByLineMode ? 0 : settings_.tailMs;
    return padSpan(state_.playFromMs, state_.playToMs, settings_.leadInMs, tail, neighbours_,
                   state_.openMediaLengthMs - 1);
}

void MediaPlayer::prepareDevice()
{
    if (wantedSpeed_ != deviceSpeed_) {
        commands_.send(QStringLiteral("Set MYSHOW Speed %1").arg(wantedSpeed_));
        deviceSpeed_ = wantedSpeed_;
    }
    int volume = 1000;
    if (settings_.levelLoudness && loudness_)
        volume = int(std::lround(gainFactor(levellingGainDb(loudness_(state_.mediaFilePath))) * 1000));
    if (volume != deviceVolume_) {
        commands_.send(QStringLiteral("SetAudio MYSHOW Volume To %1").arg(volume));
        deviceVolume_ = volume;
    }
}

void MediaPlayer::playSpan(bool forceSpeech)
{
    if (playBusy_)
        return;
    if (surface_) {
        if (isAudioPath(state_.mediaFilePath) || forceSpeech)
            surface_->hideVideo();
        else
            surface_->showVideo();
        placeVideo();
    }
    if (!state_.soundOn)
        return;
    if (state_.openMediaLengthMs < 1 || forceSpeech)
        speakSpan();
    else
        playMediaSpan();
}

void MediaPlayer::speakSpan()
{
    spanPlaying_ = false;
    speaking_ = false;
    playBusy_ = true;
    speech_.requestSpeech();
    state_.playFromMs = 0;
    state_.playToMs = int(speech_.speechText().size());
    playBusy_ = false;
    speaking_ = true;
}

void MediaPlayer::playMediaSpan()
{
    if (state_.openMediaLengthMs < state_.playToMs) {
        state_.playToMs = state_.openMediaLengthMs - 1;
        if (state_.playToMs < state_.playFromMs)
            state_.playFromMs = state_.playToMs - 1;
    }
    if (state_.playFromMs < 0 || state_.playFromMs >= state_.playToMs)
        return;
    // The voice must not talk over the media, even when two rows share a text.
    speech_.stopSpeaking();
    speech_.clearSpeechPending();
    spanPlaying_ = false;
    speaking_ = false;
    paused_ = false;
    prepareDevice();
    // The device plays the padded span; the rules go on counting the
    // sentence's own span (playFromMs..playToMs) in the media's time.
    const HeardSpan heard = heardSpan();
    commands_.send(QStringLiteral("Play MYSHOW From %1 To %2")
                       .arg(uint32_t(heard.fromMs))
                       .arg(uint32_t(heard.toMs)));
    playBusy_ = true;
    // A device that never reports "playing" (a broken file) must not hang the
    // window: after the bound the span counts as started.
    for (int waited = 0; waited < kPlayStartWaitMs; waited += kPollStepMs) {
        if (mediaMode() == u"playing")
            break;
        pause_(kPollStepMs);
    }
    playBusy_ = false;
    spanPlaying_ = true;
}

void MediaPlayer::replaySentence()
{
    if (!state_.soundOn)
        return;
    commands_.send(QStringLiteral("Stop RECORD"));
    repeat_.stop();
    wantedSpeed_ = 1000;
    playSpan(false);
}

void MediaPlayer::replayFree(bool slow)
{
    if (!state_.soundOn)
        return;
    repeat_.stop();
    wantedSpeed_ = slow ? settings_.slowPermille : 1000;
    playSpan(false);
}

void MediaPlayer::loopSentence()
{
    if (!state_.soundOn || state_.lineByLineMode)
        return;
    wantedSpeed_ = 1000;
    playSpan(false);
    repeat_.loop(settings_.repeatGapMs);
}

void MediaPlayer::pauseMedia()
{
    if (mediaMode() != u"playing")
        return;
    paused_ = true;
    if (hasOpenMedia())
        commands_.send(QStringLiteral("Pause MYSHOW "));
    else
        speaking_ = false;
}

void MediaPlayer::resumeMedia()
{
    if (!state_.soundOn)
        return;
    paused_ = false;
    if (hasOpenMedia()) {
        commands_.send(QStringLiteral("Resume MYSHOW "));
    } else {
        speaking_ = true;
        speech_.clearSpeechPending();
    }
}

QString MediaPlayer::mediaMode()
{
    if (hasOpenMedia()) {
        const QString mode = commands_.send(QStringLiteral("Status MYSHOW Mode"));
        if (mode == u"stopped")
            paused_ = false;
        return mode;
    }
    switch (speech_.speechState()) {
    case 0:
    case 1:
        return QStringLiteral("stopped");
    case 2:
    case 3:
        return QStringLiteral("playing");
    default:
        return {};
    }
}

int MediaPlayer::playPosition()
{
    if (!hasOpenMedia())
        return speech_.speechPos();
    const QString mode = mediaMode();
    if (mode == u"stopped")
        return 0;
    if (mode != u"playing" && mode != u"paused")
        return state_.playFromMs;
    // The device's own position, in the media's time: line-by-line play and
    // the unlock follow the sound to the millisecond.
    // Right after the seek that starts a span the device may not know its
    // position yet; the sound cannot be before the span's start.
    bool ok = false;
    const int position = commands_.send(QStringLiteral("Status MYSHOW Position")).toInt(&ok);
    return ok ? std::max(position, state_.playFromMs) : state_.playFromMs;
}

MediaTickDecision MediaPlayer::tick(int recordStatus)
{
    MediaTickDecision decision;
    if (!repeatsGoOn(state_.soundOn, state_.lineByLineMode, state_.playFromMs,
                     state_.playToMs)) {
        repeat_.stop();
    } else if (repeat_.playsLeft() != 0 &&
               repeat_.tick(clock_(), sentenceSoundEnded({hasOpenMedia(),
                                                          hasOpenMedia() && mediaMode() == u"stopped",
                                                          speech_.speechPending()}))) {
        const bool wasSpanPlaying = spanPlaying_;
        const bool wasSpeaking = speaking_;
        playSpan(false);
        // A repeat does not count as a new start: the unlock already saw
        // the first play.
        spanPlaying_ = wasSpanPlaying;
        speaking_ = wasSpeaking;
    }
    if (state_.lineByLineMode && state_.soundOn) {
        if (speaking_ && !speech_.speechPending())
            decision.nextLine = true;
        else if (spanPlaying_ && (playPosition() >= state_.spanEndMs || mediaMode() == u"stopped"))
            decision.nextLine = true;
    }
    if (state_.dictationMode) {
        if (state_.soundOn && (spanPlaying_ || speaking_)) {
            const int from = state_.playFromMs;
            const int to = state_.playToMs;
            if (from < 0 || to <= from) {
                decision.unlockTyping = true;
            } else {
                const double heard = double(playPosition() - from) / double(to - from);
                // A span that ended between two ticks (a short sentence, a
                // busy machine) reports no position any more: it was heard.
                const bool spanOver = spanPlaying_ && hasOpenMedia() && mediaMode() == u"stopped";
                if (heard > kUnlockFraction || spanOver ||
                    (!hasOpenMedia() && !speech_.speechPending())) {
                    spanPlaying_ = false;
                    speaking_ = false;
                    decision.unlockTyping = true;
                }
            }
        } else if (recordStatus >= 2) {
            decision.unlockTyping = true;
        }
    }
    return decision;
}

void MediaPlayer::placeVideo()
{
    if (!surface_ || !surface_->isVideoShown())
        return;
    const QSize size = surface_->windowSize();
    commands_.send(QStringLiteral("Put MYSHOW Window At 0 0 %1 %2")
                       .arg(size.width() - 5)
                       .arg(size.height() - 5));
}

} // namespace dictora
