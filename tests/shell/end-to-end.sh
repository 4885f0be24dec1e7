#!/bin/sh
# The real presentation on a virtual display with Mesa's software renderer:
# it starts, presents frames, and ends with status 0 on Escape and when its
# window is closed. Run from a folder without the soundtrack, so the run is
# silent. Mesa's heads-up display counts the frames the driver presented.
#
# With the test module beside it, what it played goes through SDL's disk
# audio driver to a file, which must not be silent; with a directory of the
# module's name in its place, the run is silent and otherwise the same.
#
# Two screenshots 2 s apart must show a drawn picture: many colours, and a
# picture that moves (the heads-up display alone changes a few thousand
# bytes of a screenshot, the grain and the scene most of them).
#
# usage: end-to-end.sh VEMLODAR CLOSE-WINDOW WRITE-TEST-MODULE SCREEN-COLOURS
set -u
program=$(realpath "$1")
closer=$(realpath "$2")
moduleWriter=$(realpath "$3")
screenColours=$(realpath "$4")
soundtrack="orvanth - fenwarrow_s vessick..mod"

if [ -z "${END_TO_END_DISPLAY_READY:-}" ]; then
    END_TO_END_DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1280x720x24" "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_HUD=fps
export GALLIUM_HUD_PERIOD=0.25

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to $2 seconds for the command $1 to succeed.
wait_for() {
    tries=$(($2 * 10))
    while [ $tries -gt 0 ]; do
        if eval "$1"; then
            return 0
        fi
        sleep 0.1
        tries=$((tries - 1))
    done
    return 1
}

# Share of clearly audible 16-bit samples in a raw file, in percent.
loud_percent() {
    od -An -v -td2 -w2 "$1" | awk '{ n++; if ($1 > 256 || $1 < -256) loud++ }
        END { if (n == 0) print 0; else printf "%d", 100 * loud / n }'
}

run_case() {
    how=$1
    folder=$2
    hud="$work/hud-$how-$folder"
    mkdir -p "$hud" "$work/$folder"
    played="$work/played-$folder.raw"
    case $folder in
    soundtrack) "$moduleWriter" "$work/$folder/$soundtrack" || fail "could not write the module" ;;
    directory) mkdir "$work/$folder/$soundtrack" ;;
    esac
    (cd "$work/$folder" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$played" \
        GALLIUM_HUD_DUMP_DIR="$hud" exec "$program" 2>"$work/stderr-$how-$folder") &
    pid=$!

    wait_for "xdotool search --onlyvisible --class vemlodar >/dev/null 2>&1" 30 ||
        fail "$how: no window appeared"
    size=$(xwininfo -id "$(xdotool search --onlyvisible --class vemlodar | head -n 1)" |
        awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$size" = "1280x720" ] || fail "$how: window is $size, not the whole 1280x720 screen"

    # Some frames, as counted by the driver: at least two periods of the HUD
    # with a frame rate above zero.
    wait_for "[ \$(awk '\$1 > 0' '$hud/fps' 2>/dev/null | wc -l) -ge 2 ]" 30 ||
        fail "$how: no frames were presented"
    kill -0 "$pid" 2>/dev/null || fail "$how: the presentation ended by itself"

    xwd -root -silent >"$work/screen-1.xwd" || fail "$how: no screenshot"
    sleep 2
    xwd -root -silent >"$work/screen-2.xwd" || fail "$how: no screenshot"
    screen=$("$screenColours" "$work/screen-2.xwd") || fail "$how: could not judge the screenshot"
    colours=$(echo "$screen" | awk '{ print $3 }')
    [ "$colours" -ge 1000 ] || fail "$how: the picture holds only $colours colours ($screen)"
    bytes=$(wc -c <"$work/screen-2.xwd")
    changed=$(cmp -l "$work/screen-1.xwd" "$work/screen-2.xwd" | wc -l)
    [ $((changed * 4)) -ge "$bytes" ] || fail "$how: only $changed of $bytes bytes of the screen changed in 2 s"
    kill -0 "$pid" 2>/dev/null || fail "$how: the presentation ended by itself"

    case $how in
    escape) xdotool key Escape ;;
    close) "$closer" vemlodar || fail "close: could not ask the window to close" ;;
    esac

    wait_for "! kill -0 $pid 2>/dev/null" 30 || {
        kill "$pid"
        fail "$how: still running 30 s after being asked to end"
    }
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "$how: exit status $status"
    frames=$(awk '{ n += $1 * 0.25 } END { printf "%d", n }' "$hud/fps")
    loud=$(loud_percent "$played")
    case $folder in
    soundtrack) [ "$loud" -ge 30 ] || fail "$how: the soundtrack was not played ($loud % audible)" ;;
    *) [ "$loud" -eq 0 ] || fail "$how: sound without a soundtrack ($loud % audible)" ;;
    esac
    # The presentation writes nothing to the console.
    if [ -s "$work/stderr-$how-$folder" ]; then
        cat "$work/stderr-$how-$folder" >&2
        fail "$how: the presentation wrote to standard error"
    fi
    echo "$how, $folder: window $size, about $frames frames presented, $colours colours, $changed of $bytes screenshot bytes changed in 2 s, $loud % of samples audible, exit status $status"
}

run_case escape empty
run_case close soundtrack
run_case escape directory
echo "end to end: passed"
