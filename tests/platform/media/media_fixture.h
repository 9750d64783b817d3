// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/media_runtime.h"

#include <QString>
#include <QTemporaryDir>

#include <functional>

namespace dictora::test {

// Media files made once per test program in a temporary folder, each a few
// seconds long. Empty path when the encoder is missing.
struct GeneratedMedia {
    QString wav;        // 2000 ms, 48 kHz stereo
    QString ogg;        // 2000 ms Vorbis
    QString mp3Cbr;     // 2000 ms, lame -b 128 (LAME/Info header)
    QString mp3VbrBare; // 2000 ms, lame -V 2 -t (no Xing header)
    QString mkvVideo;   // 1000 ms, 25 fps 160x120 video and audio
    QString aacStated;  // 2000 ms AAC in MP4 whose edit list states the encoder priming
    QString folder;
};
const GeneratedMedia& generatedMedia();

// Processes events until done() or timeoutMs has passed; returns done().
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

} // namespace dictora::test
