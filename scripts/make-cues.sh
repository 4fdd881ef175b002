#!/usr/bin/env bash
# Synthesises the five sound cues into resources/cues with sox: 16-bit mono 44.1 kHz, each with a
# soft attack and release so that nothing clicks. The output is the same on every run.
set -euo pipefail
cd "$(dirname "$0")/../resources/cues"

# Every cue: no dither (repeatable bytes), mono, 16 bits, 44.1 kHz.
make() {
    local name=$1
    shift
    sox -D -n -r 44100 -c 1 -b 16 "$name" "$@"
}

# A rising sweep with a soft octave above it: breathe in.
make Inhale.wav synth 0.9 sine 330-495 sine 660-990 remix 1v0.8,2v0.2 \
    fade h 0.08 0.9 0.3 gain -n -6

# The same voice falling: breathe out.
make Exhale.wav synth 1.0 sine 495-330 sine 990-660 remix 1v0.8,2v0.2 \
    fade h 0.08 1.0 0.4 gain -n -6

# One soft tone that dies away: hold the breath.
make Check.wav synth 0.7 sine 587.33 sine 1174.66 remix 1v0.9,2v0.1 \
    fade q 0.02 0.7 0.6 gain -n -8

# Two short low taps: the practice is about to begin.
make Delay.wav synth 0.18 sine 392 fade q 0.01 0.18 0.14 pad 0 0.1 repeat 1 gain -n -7

# A rising major arpeggio that rings out together: the practice is over.
make Exit.wav synth 1.25 sine 523.25 sine 659.25 sine 783.99 sine 1046.5 \
    fade q 0.01 1.25 1.0 delay 0 0.11 0.22 0.33 remix 1v0.3,2v0.25,3v0.25,4v0.2 \
    fade q 0 1.45 0.1 gain -n -6
