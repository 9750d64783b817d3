#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws the pictures in res/png and makes the sounds in res/sound.
# Needs qt6-base-dev and sox. The results are committed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
res="$here/.."
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

g++ -std=c++20 -O1 -fPIC "$here/draw_artwork.cpp" -o "$work/draw_artwork" \
    $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/draw_artwork" "$res/png"

# A note: a sine (or other wave) with a soft start and a quick decay.
note() { # out seconds wave frequency volume
    sox -n -r 44100 -b 16 -c 1 "$1" synth "$2" "$3" "$4" fade q 0.004 "$2" "$(echo "$2*0.7" | bc -l)" vol "$5"
}
cd "$work"
# Tip: two light high notes, a fourth apart.
note t1.wav 0.07 sine 1318.5 0.45
note t2.wav 0.13 sine 1760 0.45
sox t1.wav t2.wav "$res/sound/Tip.wav"
# Error: two low falling notes with a soft edge.
note e1.wav 0.12 triangle 311.1 0.5
note e2.wav 0.22 triangle 233.1 0.5
sox e1.wav e2.wav "$res/sound/Error.wav"
# Match: a bright rising arpeggio.
note m1.wav 0.06 sine 1046.5 0.4
note m2.wav 0.06 sine 1318.5 0.4
note m3.wav 0.06 sine 1568 0.4
note m4.wav 0.2 sine 2093 0.4
sox m1.wav m2.wav m3.wav m4.wav "$res/sound/Match.wav"
# Start of recording: one rising tone.
sox -n -r 44100 -b 16 -c 1 "$res/sound/record-start.wav" synth 0.18 sine 660-990 fade q 0.005 0.18 0.08 vol 0.45
