#!/bin/sh
# Pictures from vemlodar-capture: equal times give byte-identical PNGs in
# separate runs, and a sequence frame equals the single picture at its time;
# a sequence of 2 s at 10 frames a second is frames 0 to 19, named by frame
# number; and ranges captured apart, split evenly or not, add up to the
# whole, file for file and byte for byte, with no frame missing or twice.
# Different times must give different pictures, so a renderer that draws
# nothing cannot pass.
#
# usage: capture-pictures.sh VEMLODAR-CAPTURE
set -u
capture=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
    echo "FAIL: $*"
    exit 1
}

# The smallest window keeps the renders cheap on a software renderer.
run() {
    "$capture" --size 512x256 "$@" || fail "vemlodar-capture $* ended with status $?"
}

run --time 1.5 -o once.png
run --time 1.5 -o again.png
cmp -s once.png again.png || fail "two captures at 1.5 s differ"
run --time 1.6 -o later.png
cmp -s once.png later.png && fail "the pictures at 1.5 s and 1.6 s are the same"

run --from 0 --to 2 --fps 10 -o whole/
expected=$(seq 0 19 | while read -r k; do printf 'frame-%06d.png\n' "$k"; done)
[ "$(ls -A whole)" = "$expected" ] || fail "2 s at 10 fps wrote: $(ls -A whole | tr '\n' ' ')"
cmp -s whole/frame-000015.png once.png ||
    fail "frame 15 at 10 fps is not the picture at 1.5 s"

# 0.35 s falls between frames 3 and 4: the first range ends after frame 3
# and the second starts at frame 4.
run --from 0 --to 1 --fps 10 -o halves/
run --from 1 --to 2 --fps 10 -o halves/
run --from 0 --to 0.35 --fps 10 -o uneven/
run --from 0.35 --to 2 --fps 10 -o uneven/
for parts in halves uneven; do
    [ "$(ls -A $parts)" = "$expected" ] ||
        fail "$parts hold: $(ls -A $parts | tr '\n' ' ')"
    for frame in $expected; do
        cmp -s "whole/$frame" "$parts/$frame" || fail "$parts/$frame differs from the whole"
    done
done
echo "ok: equal times equal bytes; 20 frames; halves and uneven parts equal the whole"
