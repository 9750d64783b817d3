// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <gst/gst.h>

namespace dictora::test {

// The start of a pipeline description: audiotestsrc with the given
// properties, in `tenths` buffers of 100 ms (so the length is exact) of
// 16-bit stereo at rate Hz. Ends in a blank, ready for "! element".
QString testSignal(int tenths, int rate,
                   const QString& properties = QStringLiteral("wave=sine freq=440"));

// Runs source into a WAV file at path; false on failure.
bool writeWave(const QString& source, const QString& path, int timeoutSeconds = 60);

// A sink bin that writes what it is given into a WAVE file at path, for
// speech output in tests instead of the sink of the environment; nullptr with
// error set when the bin cannot be made.
GstElement* makeWaveFileSink(const QString& path, QString* error);

// Runs lame --quiet with arguments; false when lame is missing or fails.
bool runLame(const QStringList& arguments, int timeoutMs = 60000);

// mp4mux's edit list starts at media time 0, so the encoder's 1024 samples of
// priming would count as media; real encoders state them with an edit that
// starts at 1024 and lasts the source's length. Writes the plain file (one
// track, version 0 boxes) with its boxes rewritten that way to out, which may
// be plain itself.
bool statePriming(const QString& plain, const QString& out, int seconds);

} // namespace dictora::test
