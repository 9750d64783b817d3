// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

typedef struct _GstElement GstElement;

namespace dictora {

// The audio output and input every pipeline of the program uses. By default
// the system's own (autoaudiosink, autoaudiosrc); DICTORA_AUDIO_SINK and
// DICTORA_AUDIO_SOURCE may name others as a bin description in gst-launch-1.0
// syntax ("fakesink sync=true", "audiotestsrc is-live=true",
// "audioconvert ! wavenc ! filesink location=out.wav"), so tests and machines
// without a sound card run the real pipeline.
//
// Each returns a new floating element, or nullptr with *error set when the
// description does not parse. gst_init must have run.
GstElement* createAudioSink(QString* error = nullptr);
GstElement* createAudioSource(QString* error = nullptr);

// True when the source is the system default (no DICTORA_AUDIO_SOURCE).
bool audioSourceIsSystemDefault();

// autoaudiosrc quietly falls back to a silent test source when it finds no
// capture device. Call after the source has reached READY or beyond: true when
// the source (or an element inside it) is such a stand-in, so the caller can
// say that no microphone was found instead of recording silence.
bool isSilentStandInSource(GstElement* source);

} // namespace dictora
