#!/bin/sh
# Synthesises Pavix's six default event sounds with sox.
#
#     make_sounds.sh [OUTPUT_DIR]      (default: resources/se beside this script's parent)
#
# match     a soft rising blip            (every accepted key)
# mismatch  a low two-step buzz going down
# abort     a quick descending pair
# timeout   a soft low tone
# enable    a rising two-note chime
# disable   the same chime falling
#
# All are 16-bit PCM mono at 22050 Hz, 0.1-0.4 s long, with short fades so that no note starts or
# stops with a click, and normalised to a modest peak. Dithering is off, so running the script
# again reproduces the committed files byte for byte.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../resources/se}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

format="-D -r 22050 -c 1 -b 16 -e signed-integer"

# note FILE SECONDS FADE_IN FADE_OUT SYNTH_ARGS...: one note with its own envelope.
note() {
    file=$1 seconds=$2 fade_in=$3 fade_out=$4
    shift 4
    sox -n $format "$work/$file" synth "$seconds" "$@" fade q "$fade_in" "$seconds" "$fade_out"
}

# rest FILE SECONDS: silence between two notes.
rest() {
    sox -n $format "$work/$1" trim 0 "$2"
}

# finish NAME PEAK_DB PARTS...: joins the parts and normalises the peak to PEAK_DB dBFS.
finish() {
    name=$1 peak=$2
    shift 2
    parts=""
    for part in "$@"; do
        parts="$parts $work/$part"
    done
    sox $parts $format "$out/$name.wav" gain -n "$peak"
}

# with_octave FILE SECONDS FADE_IN FADE_OUT HZ: a sine with a third as loud sine an octave above,
# which sounds rounder than a bare sine; both share one envelope.
with_octave() {
    note "base_$1" "$2" "$3" "$4" sine "$5"
    note "octave_$1" "$2" "$3" "$4" sine "$(($5 * 2))"
    sox -m -v 1 "$work/base_$1" -v 0.33 "$work/octave_$1" $format "$work/$1"
}

note match.raw.wav 0.11 0.008 0.06 sine 660:1100
finish match -9 match.raw.wav

note buzz_high.wav 0.1 0.008 0.03 square 233 lowpass 1400
note buzz_low.wav 0.14 0.01 0.07 square 175 lowpass 1200
finish mismatch -13 buzz_high.wav buzz_low.wav

note abort_high.wav 0.07 0.006 0.03 triangle 880
rest abort_gap.wav 0.025
note abort_low.wav 0.09 0.008 0.05 triangle 587
finish abort -10 abort_high.wav abort_gap.wav abort_low.wav

with_octave timeout.raw.wav 0.34 0.05 0.2 294
finish timeout -11 timeout.raw.wav

# The chimes: a short first note, then a longer one left to ring out.
with_octave chime_low_short.wav 0.11 0.006 0.06 659
with_octave chime_high_long.wav 0.24 0.006 0.2 988
with_octave chime_high_short.wav 0.11 0.006 0.06 988
with_octave chime_low_long.wav 0.24 0.006 0.2 659
finish enable -9 chime_low_short.wav chime_high_long.wav
finish disable -9 chime_high_short.wav chime_low_long.wav
