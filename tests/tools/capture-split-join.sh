#!/bin/sh
# A capture split over processes with GNU parallel and joined with ffmpeg's
# concat demuxer, as the README shows it: parts of [0, 2) at 10 frames a
# second, split unevenly at 0.75 s (between frames 7 and 8) and at 1.25 s,
# joined into one video of exactly 20 frames at k / 10 s and exactly 2 s of
# sound, sample for sample the sound of the same range captured whole.
#
# usage: capture-split-join.sh VEMLODAR-CAPTURE WRITE-TEST-MODULE
set -u
capture=$(realpath "$1")
moduleWriter=$(realpath "$2")
soundtrack="orvanth - fenwarrow_s vessick..mod"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
    echo "FAIL: $*"
    exit 1
}

command -v parallel >/dev/null || fail "GNU parallel is not installed"
"$moduleWriter" "$soundtrack" || fail "cannot write the test module"

# Parts are numbered by parallel's job number ({#}), in the order of the
# ranges; sort -V puts part-10 after part-9. --halt stops everything at the
# first failure.
parallel --will-cite --halt now,fail=1 -j 2 \
    "$capture" --size 512x256 --fps 10 --from {1} --to {2} -o part-{#}.mkv \
    ::: 0 0.75 1.25 :::+ 0.75 1.25 2 || fail "a part failed"
ls part-*.mkv | sort -V | while read -r part; do echo "file '$PWD/$part'"; done >parts.txt
ffmpeg -v error -f concat -safe 0 -i parts.txt -c copy joined.mkv || fail "concat failed"

frames=$(ffprobe -v error -select_streams v:0 -show_entries frame=pts_time -of default=nw=1:nk=1 joined.mkv)
expected=$(awk 'BEGIN { for (k = 0; k < 20; k++) printf "%.3f\n", k / 10 }')
[ "$(printf '%s\n' "$frames" | awk '{ printf "%.3f\n", $1 }')" = "$expected" ] ||
    fail "joined frames at: $(printf '%s ' $frames)"

"$capture" --size 512x256 --fps 10 --from 0 --to 2 -o whole.mkv || fail "whole capture failed"
ffmpeg -v error -i joined.mkv -map 0:a -f s16le joined.pcm || fail "cannot decode the joined sound"
ffmpeg -v error -i whole.mkv -map 0:a -f s16le whole.pcm || fail "cannot decode the whole sound"
bytes=$(wc -c <joined.pcm)
[ "$bytes" -eq $((2 * 44100 * 4)) ] || fail "joined sound has $((bytes / 4)) samples, not 88200"
cmp -s joined.pcm whole.pcm || fail "joined sound differs from the sound captured whole"
# A silent join would agree as well; the chord must be there.
loudest=$(ffmpeg -hide_banner -nostats -f s16le -ar 44100 -ac 2 -i joined.pcm -af volumedetect -f null - 2>&1 |
    sed -n 's/.*max_volume: \(.*\) dB/\1/p')
[ -n "$loudest" ] && awk -v v="$loudest" 'BEGIN { exit !(v > -20) }' || fail "joined sound is silent"
echo "ok: 3 parts joined into 20 frames at k / 10 s and 88200 samples equal to the whole (loudest $loudest dB)"
