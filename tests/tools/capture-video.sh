#!/bin/sh
# Video from vemlodar-capture: a 3-second capture at 10 frames a second is
# 30 frames of H.264 in yuv420p lasting 3 s, with 3 s of 44,100 Hz stereo
# sound (within one frame) that is not silent when the test module is in the
# current folder; its frames are the pictures the tool makes at those times,
# the right way up. Without the module the video has no sound stream and the
# tool says so.
#
# usage: capture-video.sh VEMLODAR-CAPTURE WRITE-TEST-MODULE
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

# stream_field FILE STREAM FIELD: one field of the first video (v) or audio
# (a) stream, as ffprobe reports it.
stream_field() {
    ffprobe -v error -select_streams "$2:0" -show_entries "stream=$3" -of default=nw=1:nk=1 "$1"
}

# within A B LIMIT: |A - B| <= LIMIT.
within() {
    awk -v a="$1" -v b="$2" -v limit="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= limit) }'
}

"$moduleWriter" "$soundtrack" || fail "cannot write the test module"
"$capture" --from 0 --to 3 --fps 10 --size 512x256 -o film.mp4 2>stderr.txt ||
    fail "capture ended with status $?: $(cat stderr.txt)"
[ -s stderr.txt ] && fail "a capture with its soundtrack said: $(cat stderr.txt)"
ls -A | grep -q partial && fail "left a temporary file: $(ls -A)"

[ "$(stream_field film.mp4 v codec_name)" = h264 ] || fail "video is not H.264"
[ "$(stream_field film.mp4 v pix_fmt)" = yuv420p ] || fail "video is not yuv420p"
[ "$(stream_field film.mp4 v width)x$(stream_field film.mp4 v height)" = 512x256 ] ||
    fail "video is not 512x256"
[ "$(stream_field film.mp4 v nb_frames)" = 30 ] || fail "video has $(stream_field film.mp4 v nb_frames) frames"
videoSeconds=$(stream_field film.mp4 v duration)
within "$videoSeconds" 3 0.001 || fail "video lasts $videoSeconds s"

[ "$(stream_field film.mp4 a sample_rate)" = 44100 ] || fail "sound is not at 44,100 Hz"
[ "$(stream_field film.mp4 a channels)" = 2 ] || fail "sound is not stereo"
audioSeconds=$(stream_field film.mp4 a duration)
within "$audioSeconds" "$videoSeconds" 0.1 ||
    fail "sound lasts $audioSeconds s and the video $videoSeconds s"
loudest=$(ffmpeg -hide_banner -nostats -i film.mp4 -map 0:a -af volumedetect -f null - 2>&1 |
    sed -n 's/.*max_volume: \(.*\) dB/\1/p')
[ -n "$loudest" ] && awk -v v="$loudest" 'BEGIN { exit !(v > -20) }' ||
    fail "the sound is silent (loudest ${loudest:-?} dB)"

# Frame 15 of the video against the picture at 1.5 s: through the encoder
# the grain comes out at about 31 dB; the neighbouring frame's picture gives
# about 17 dB and the right one upside down about 8.
"$capture" --time 1.5 --size 512x256 -o picture.png || fail "no picture at 1.5 s"
ffmpeg -v error -i film.mp4 -vf "select=eq(n\,15)" -frames:v 1 decoded.png || fail "cannot decode frame 15"
psnr=$(ffmpeg -hide_banner -nostats -i decoded.png -i picture.png -lavfi psnr -f null - 2>&1 |
    sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p')
[ -n "$psnr" ] && awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p > 25) }' ||
    fail "frame 15 of the video is not the picture at 1.5 s (PSNR ${psnr:-?} dB)"

rm -f "$soundtrack"
"$capture" --from 0 --to 1 --fps 10 --size 512x256 -o silent.mp4 2>stderr.txt ||
    fail "silent capture ended with status $?: $(cat stderr.txt)"
grep -q "no sound" stderr.txt || fail "the tool did not say the video is silent: $(cat stderr.txt)"
[ -z "$(stream_field silent.mp4 a codec_name)" ] || fail "the silent video has a sound stream"
[ "$(stream_field silent.mp4 v nb_frames)" = 10 ] || fail "the silent video has not 10 frames"
echo "ok: video ${videoSeconds} s, sound ${audioSeconds} s, loudest ${loudest} dB, frame 15 at ${psnr} dB; silent without the module"
