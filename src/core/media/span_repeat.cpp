// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/media/span_repeat.h"

#include <algorithm>

namespace dictora {

bool sentenceSoundEnded(const SentenceSound& sound)
{
    return sound.mediaOpen ? sound.mediaStopped : !sound.speechPending;
}

bool repeatsGoOn(bool soundOn, bool lineByLine, int playFromMs, int playToMs)
{
    return soundOn && !lineByLine && playFromMs >= 0 && playFromMs < playToMs;
}

void SpanRepeat::start(int playCount, int gapMs)
{
    left_ = std::max(playCount - 1, 0);
    gapMs_ = std::max(gapMs, 0);
    looping_ = false;
    endedAtMs_ = -1;
}

void SpanRepeat::loop(int gapMs)
{
    gapMs_ = std::max(gapMs, 0);
    looping_ = true;
    left_ = 0;
    endedAtMs_ = -1;
}

void SpanRepeat::stop()
{
    left_ = 0;
    looping_ = false;
    endedAtMs_ = -1;
}

bool SpanRepeat::tick(qint64 nowMs, bool spanEnded)
{
    if (!looping_ && left_ <= 0)
        return false;
    if (!spanEnded) {
        endedAtMs_ = -1;
        return false;
    }
    if (endedAtMs_ < 0)
        endedAtMs_ = nowMs;
    if (nowMs - endedAtMs_ < gapMs_)
        return false;
    endedAtMs_ = -1;
    if (!looping_)
        --left_;
    return true;
}

} // namespace dictora
