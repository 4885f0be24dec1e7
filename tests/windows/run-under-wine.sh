#!/bin/sh
# The Windows build of the presentation, checked from the Linux side.
#
#   run-under-wine.sh exe-i686     SOURCE WORK SCREEN_COLOURS PICTURE MODULE_WRITER
#   run-under-wine.sh wine-i686    SOURCE WORK SCREEN_COLOURS PICTURE MODULE_WRITER
#   run-under-wine.sh wine-x86_64  SOURCE WORK SCREEN_COLOURS PICTURE MODULE_WRITER
#
# exe-i686 cross-builds vemlodar.exe and our BASSMOD.dll for 32-bit Windows
# into WORK/i686 and checks the files themselves: a 32-bit GUI PE executable
# that imports only the system's DLLs (no toolchain run-time, no
# BASSMOD.dll), and a 32-bit PE DLL that exports the five music calls under
# their plain names and imports only the system's DLLs.
#
# wine-i686 runs that exe under Wine on a virtual X screen (Xvfb) with Mesa's
# software renderer, three times from a folder of its own:
#   1. no BASSMOD.dll: the window covers the screen, frames are presented,
#      no message box is up; Escape ends the run with exit status 0;
#   2. no BASSMOD.dll: Alt+F4 closes the window; exit status 0;
#   3. a stand-in BASSMOD.dll beside the exe (FakeBassmod.c) records the
#      five music calls: Escape; exit status 0 and the calls as the shell
#      makes them;
#   4. our BASSMOD.dll and the suite's test module (MODULE_WRITER writes it)
#      as the soundtrack, with what Wine plays landing in a file (ALSA's file
#      plugin as the default device of a private ALSA configuration): the
#      output sounds, and still sounds past the module's end, because the
#      shell asks for looping; Escape, exit status 0;
#   5.-7. our BASSMOD.dll with no module, with random bytes as the module,
#      and with the test module but Wine's audio drivers switched off: a
#      silent run that ends with exit status 0 (where a device was there, it
#      must have played silence, so the library was really at work).
# It needs a kernel that runs 32-bit programs, because Wine's 32-bit side is
# one; where the kernel cannot, it exits 77, which CTest shows as skipped.
#
# wine-x86_64 builds the same sources for 64-bit Windows and makes the same
# three runs under wine64, so the shell's use of the real Windows calls is
# exercised on every machine.
#
# PICTURE says what the frame body shows: "swap-only" while it only swaps
# buffers (the screen must then be one flat colour other than the bare
# screen's white), "drawn" once it draws (two screenshots two seconds apart
# must each hold many colours and differ). A mismatch fails either way, so
# the setting cannot silently go stale.
set -u

mode="$1"
source="$2"
work="$3"
screenColours="$4"
picture="$5"
moduleWriter="$6"

screenWidth=800
screenHeight=600
jobs=2
# Generous: a fresh Wine prefix on a loaded two-core machine takes tens of
# seconds, and llvmpipe frames of the finished presentation take seconds.
bootTimeout=300
windowTimeout=120
swapTimeout=120
exitTimeout=60

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

note()
{
    echo "$*"
}

now()
{
    date +%s.%N
}

seconds_since()
{
    awk -v start="$1" -v end="$(now)" 'BEGIN { printf "%.1f", end - start }'
}

require_program()
{
    command -v "$1" >/dev/null 2>&1 ||
        fail "$1 not found; 'make windows-deps' installs the packages the Windows side needs"
}

# Configures and builds vemlodar.exe for one architecture into WORK/ARCH.
build_exe()
{
    arch="$1"
    buildDir="$work/$arch"
    mkdir -p "$buildDir"
    started=$(now)
    cmake -S "$source" -B "$buildDir" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release >"$buildDir.configure.log" 2>&1 ||
        { cat "$buildDir.configure.log" >&2; fail "configuring the $arch Windows build"; }
    cmake --build "$buildDir" --target vemlodar BASSMOD -j "$jobs" >"$buildDir.build.log" 2>&1 ||
        { cat "$buildDir.build.log" >&2; fail "building vemlodar.exe and BASSMOD.dll for $arch"; }
    note "built $buildDir/vemlodar.exe and BASSMOD.dll in $(seconds_since "$started") s" \
        "($(grep -c 'libopenmpt_static.dir' "$buildDir.build.log") libopenmpt files compiled)"
}

check_exe()
{
    exe="$work/i686/vemlodar.exe"
    objdump=i686-w64-mingw32-objdump
    require_program "$objdump"
    headers=$("$objdump" -p "$exe") || fail "$objdump cannot read $exe"
    echo "$headers" | grep -q 'file format pei-i386' || fail "$exe is not an i386 PE file"
    echo "$headers" | grep -Eq '^Magic[[:space:]]+010b' || fail "$exe is not PE32"
    echo "$headers" | grep -Eq '^Subsystem[[:space:]]+0+2[[:space:]]' ||
        fail "$exe is not a Windows GUI program"

    imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z')
    [ -n "$imports" ] || fail "$exe imports no DLL at all: objdump's output was not understood"
    for dll in $imports; do
        case "$dll" in
        libgcc_s* | libstdc++* | libwinpthread*)
            fail "$exe imports the toolchain's $dll: the run-time must be linked statically" ;;
        gdi32.dll | glu32.dll | kernel32.dll | msvcrt.dll | opengl32.dll | user32.dll | winmm.dll)
            ;;
        *)
            fail "$exe imports $dll; only the system's DLLs may be imported (BASSMOD.dll is loaded at run time)" ;;
        esac
    done
    note "$exe: PE32, i386, Windows GUI, imports" $imports
}

check_dll()
{
    dll="$work/i686/BASSMOD.dll"
    objdump=i686-w64-mingw32-objdump
    headers=$("$objdump" -p "$dll") || fail "$objdump cannot read $dll"
    echo "$headers" | grep -q 'file format pei-i386' || fail "$dll is not an i386 PE file"
    echo "$headers" | grep -Eq '^Magic[[:space:]]+010b' || fail "$dll is not PE32"
    # IMAGE_FILE_DLL, 0x2000 in the file header's characteristics.
    characteristics=$(echo "$headers" | awk '/^Characteristics/ { print $2; exit }')
    [ $(( characteristics & 0x2000 )) -ne 0 ] || fail "$dll is not marked as a DLL ($characteristics)"

    exports=$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
    expected="BASSMOD_Init BASSMOD_MusicFree BASSMOD_MusicLoad BASSMOD_MusicPlay BASSMOD_MusicStop "
    [ "$exports" = "$expected" ] ||
        fail "$dll exports '$exports', not exactly the five calls undecorated: '$expected'"

    imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z')
    [ -n "$imports" ] || fail "$dll imports no DLL at all: objdump's output was not understood"
    for imported in $imports; do
        case "$imported" in
        kernel32.dll | msvcrt.dll | winmm.dll | ole32.dll | rpcrt4.dll) ;;
        *) fail "$dll imports $imported; only the system's DLLs may be imported" ;;
        esac
    done
    note "$dll: PE32, i386, DLL, exports" $exports "imports" $imports
}

xvfbPid=""
programPid=""
cleanup()
{
    status=$?
    [ -n "$programPid" ] && kill "$programPid" 2>/dev/null
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && timeout 30 "$wineserver" -k 2>/dev/null
    [ -n "$xvfbPid" ] && kill "$xvfbPid" 2>/dev/null
    exit "$status"
}

start_screen()
{
    require_program Xvfb
    displayFile="$work/display-$arch"
    rm -f "$displayFile"
    # -wr: a white bare screen, so that a window that fails to cover it shows.
    Xvfb -displayfd 3 -screen 0 "${screenWidth}x${screenHeight}x24" -nolisten tcp -wr \
        3>"$displayFile" 2>"$work/xvfb-$arch.log" &
    xvfbPid=$!
    waited=0
    while [ ! -s "$displayFile" ]; do
        kill -0 "$xvfbPid" 2>/dev/null || { cat "$work/xvfb-$arch.log" >&2; fail "Xvfb did not start"; }
        [ "$waited" -ge 30 ] && fail "Xvfb gave no display number within 30 s"
        sleep 1
        waited=$((waited + 1))
    done
    DISPLAY=":$(cat "$displayFile")"
    export DISPLAY
}

# A private prefix, made afresh: nothing from an earlier run can help or harm.
boot_wine()
{
    WINEPREFIX="$work/wine-prefix-$arch"
    export WINEPREFIX
    rm -rf "$WINEPREFIX"
    started=$(now)
    timeout "$bootTimeout" "$wineLoader" wineboot --init >"$work/wineboot-$arch.log" 2>&1 ||
        { cat "$work/wineboot-$arch.log" >&2; fail "wineboot did not finish within $bootTimeout s"; }
    # Without a window manager on the virtual screen, Wine sizes and places
    # every window itself; a managed maximised window would stay 1 x 1.
    timeout "$bootTimeout" "$wineLoader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$work/wineboot-$arch.log" 2>&1 || fail "could not set Wine's X11 driver to unmanaged windows"
    timeout "$bootTimeout" "$wineserver" -w
    note "wineboot of a fresh $arch prefix: $(seconds_since "$started") s"
}

# The top-level X windows of the program, one line each, as xwininfo writes them.
program_windows()
{
    xwininfo -root -children 2>/dev/null | grep '("vemlodar.exe" "vemlodar.exe")'
}

# Named top-level windows of the program other than Wine's input-method one:
# message boxes, whose names are their captions.
message_boxes()
{
    program_windows | grep -v '(has no name)' | grep -v '"Default IME"'
}

swap_count()
{
    grep -c 'SwapBuffers' "$runDir/wine.log"
}

# Fails, naming the box, when the program shows a message box.
check_no_message_box()
{
    boxes=$(message_boxes)
    [ -z "$boxes" ] || fail "the program shows a message box: $boxes"
}

wait_for_presentation_window()
{
    waited=0
    while :; do
        kill -0 "$programPid" 2>/dev/null || {
            wait "$programPid"
            status=$?
            programPid=""
            cat "$runDir/wine.log" | grep -v 'trace:wgl' >&2
            fail "vemlodar.exe ended during start-up with exit status $status"
        }
        check_no_message_box
        window=$(program_windows | grep '(has no name)' |
            grep " ${screenWidth}x${screenHeight}+0+0 " | awk '{ print $1 }' | head -n 1)
        if [ -n "$window" ] && xwininfo -id "$window" | grep -q 'Map State: IsViewable'; then
            presentationWindow="$window"
            return
        fi
        [ "$waited" -ge "$windowTimeout" ] && {
            program_windows >&2
            fail "no window of ${screenWidth}x${screenHeight} at 0,0 (the whole screen) within $windowTimeout s"
        }
        sleep 1
        waited=$((waited + 1))
    done
}

wait_for_swaps()
{
    wanted="$1"
    waited=0
    while [ "$(swap_count)" -lt "$wanted" ]; do
        kill -0 "$programPid" 2>/dev/null || fail "vemlodar.exe ended while its frames were awaited"
        [ "$waited" -ge "$swapTimeout" ] && fail "fewer than $wanted buffer swaps within $swapTimeout s"
        sleep 1
        waited=$((waited + 1))
    done
}

screenshot()
{
    xwd -root -silent >"$1" || fail "xwd could not take a screenshot"
    "$screenColours" "$1" || fail "could not judge the screenshot $1"
}

check_picture()
{
    firstShot="$runDir/screen-1.xwd"
    secondShot="$runDir/screen-2.xwd"
    swapsBefore=$(swap_count)
    first=$(screenshot "$firstShot") || exit 1
    sleep 2
    second=$(screenshot "$secondShot") || exit 1
    swapsAfter=$(swap_count)
    note "screen: $first"
    note "screen 2 s later: $second"
    note "buffer swaps in between: $((swapsAfter - swapsBefore))"
    [ "$swapsAfter" -gt "$swapsBefore" ] || fail "no frame was presented in 2 s"

    colours=$(echo "$second" | awk '{ print $3 }')
    dominant=$(echo "$second" | awk '{ print $5 }')
    case "$picture" in
    swap-only)
        # The frame body draws nothing: what the swaps show is the untouched
        # back buffer, one colour, and never the bare white screen, which
        # would mean the window does not cover it.
        [ "$colours" -eq 1 ] || fail "the picture is no longer one flat colour, so the frame body draws now: set windowsPictureCheck to drawn in tests/windows/Windows.cmake"
        [ "$dominant" != ffffff ] || fail "the screen shows only the bare white screen: the window does not show what it presents"
        note "picture not judged: the frame body only swaps buffers, so the screen is one flat colour ($dominant)"
        ;;
    drawn)
        [ "$colours" -ge 16 ] || fail "the picture holds only $colours colours"
        cmp -s "$firstShot" "$secondShot" && fail "the picture did not change in 2 s"
        note "picture: $colours colours, changing"
        ;;
    *)
        fail "unknown picture expectation '$picture'" ;;
    esac
}

wait_for_exit()
{
    waited=0
    while kill -0 "$programPid" 2>/dev/null; do
        [ "$waited" -ge "$exitTimeout" ] && fail "vemlodar.exe still runs $exitTimeout s after $1"
        sleep 1
        waited=$((waited + 1))
    done
    wait "$programPid"
    status=$?
    programPid=""
    [ "$status" -eq 0 ] || fail "vemlodar.exe ended with exit status $status after $1, not 0"
    timeout "$exitTimeout" "$wineserver" -w
}

soundtrack="orvanth - fenwarrow_s vessick..mod"
# The capture file holds 16-bit stereo at this rate, whatever Wine mixes at:
# the private ALSA configuration converts to it.
captureRate=44100
audioDriver=unset

# Wine's audio driver for the runs that follow: alsa, or none at all.
use_wine_audio()
{
    [ "$audioDriver" = "$1" ] && return
    value=alsa
    [ "$1" = none ] && value=""
    timeout "$bootTimeout" "$wineLoader" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "$value" /f \
        >>"$work/wineboot-$arch.log" 2>&1 || fail "could not set Wine's audio driver to '$1'"
    timeout "$bootTimeout" "$wineserver" -w
    audioDriver="$1"
}

# An ALSA configuration of the run's own, in place of the system's: the
# default device writes what it is given to RUN/played.raw, converted to
# 16-bit stereo at captureRate, and plays it nowhere.
write_alsa_configuration()
{
    cat >"$runDir/asound.conf" <<ALSA
pcm.!default {
    type plug
    slave {
        pcm "captured"
        format S16_LE
        rate $captureRate
        channels 2
    }
}
pcm.captured {
    type file
    slave.pcm "discarded"
    file "$runDir/played.raw"
    format "raw"
}
pcm.discarded {
    type null
}
ALSA
}

# What the capture file holds, as "SAMPLES FIRST SOUNDING AFTER_END": its
# samples, the first audible one (-1 if none), and the share of audible
# samples 0.2-1.5 s after it and 2.2-2.8 s after it, past the 1.92 s test
# module's end. Audible is beyond 256 of 32,767, as in the Linux tests.
audio_levels()
{
    [ -f "$1" ] || { echo "0 -1 0 0"; return; }
    od -An -v -td2 "$1" | awk -v second=$((captureRate * 2)) '
        function loud(v) { return v > 256 || v < -256 }
        {
            for (i = 1; i <= NF; i++) {
                n++
                if (first < 0) {
                    if (loud($i))
                        first = n
                    continue
                }
                t = (n - first) / second
                if (t >= 0.2 && t < 1.5) { early++; earlyLoud += loud($i) }
                if (t >= 2.2 && t < 2.8) { late++; lateLoud += loud($i) }
            }
        }
        BEGIN { first = -1 }
        END {
            printf "%d %d %.3f %.3f\n", n, first, early ? earlyLoud / early : 0,
                late ? lateLoud / late : 0
        }'
}

# Waits until the capture holds 3 s past the first audible sample.
wait_for_sound()
{
    waited=0
    while :; do
        set -- $(audio_levels "$runDir/played.raw")
        [ "$2" -ge 0 ] && [ "$1" -ge $(( $2 + 3 * captureRate * 2 )) ] && return
        kill -0 "$programPid" 2>/dev/null || fail "vemlodar.exe ended while its sound was awaited"
        [ "$waited" -ge "$swapTimeout" ] &&
            fail "no 3 s of sound within $swapTimeout s (capture: $1 samples, first audible: $2)"
        sleep 1
        waited=$((waited + 1))
    done
}

check_sound()
{
    set -- $(audio_levels "$runDir/played.raw")
    note "$name: captured $(( $1 / 2 )) frames; audible from frame $(( $2 / 2 )), share audible" \
        "0.2-1.5 s later $3, 2.2-2.8 s later (past the module's end) $4"
    awk -v share="$3" 'BEGIN { exit !(share > 0.5) }' || fail "the module was not heard while it played"
    awk -v share="$4" 'BEGIN { exit !(share > 0.5) }' ||
        fail "silence after the module's end: the music did not loop"
}

# Silence: nothing audible at all, and, where a device was there to play on,
# at least a second of it, so the library was loaded and at work.
check_silence()
{
    set -- $(audio_levels "$runDir/played.raw")
    [ "$2" -lt 0 ] || fail "sound at frame $(( $2 / 2 )) of a run that should be silent"
    if [ "$audioDriver" = alsa ]; then
        [ "$1" -ge $(( captureRate * 2 )) ] ||
            fail "only $(( $1 / 2 )) frames of silence were played: was BASSMOD.dll used?"
    else
        [ ! -f "$runDir/played.raw" ] || fail "something was played with Wine's audio switched off"
    fi
    note "$name: silent ($(( $1 / 2 )) frames of silence played)"
}

# One run of the exe from a folder of its own, which is also its current
# directory: run NAME END [LIBRARY [MODULE [AUDIO]]]. END is escape or close;
# LIBRARY none, fake (the stand-in) or ours; MODULE none, test or bad
# (random bytes); AUDIO alsa (into the capture file) or none.
run_presentation()
{
    name="$1"
    ending="$2"
    library="${3:-none}"
    module="${4:-none}"
    use_wine_audio "${5:-alsa}"
    runDir="$work/run-$arch-$name"
    rm -rf "$runDir"
    mkdir -p "$runDir"
    cp "$exe" "$runDir/vemlodar.exe"
    case "$library" in
    fake) cp "$fakeBassmod" "$runDir/BASSMOD.dll" ;;
    ours) cp "$ourBassmod" "$runDir/BASSMOD.dll" ;;
    esac
    case "$module" in
    test) "$moduleWriter" "$runDir/$soundtrack" || fail "could not write the test module" ;;
    bad) head -c 65536 /dev/urandom >"$runDir/$soundtrack" ;;
    esac
    write_alsa_configuration

    started=$(now)
    # The swaps are counted from the X11 driver's OpenGL trace; every other
    # channel stays quiet.
    (cd "$runDir" && exec env WINEDEBUG=-all,+wgl LIBGL_ALWAYS_SOFTWARE=1 \
        ALSA_CONFIG_PATH="$runDir/asound.conf" \
        "$wineLoader" ./vemlodar.exe >"$runDir/wine.log" 2>&1) &
    programPid=$!
    wait_for_presentation_window
    wait_for_swaps 10
    check_no_message_box
    note "$name: window up and presenting after $(seconds_since "$started") s;" \
        "$(grep -m 1 'GL renderer' "$runDir/wine.log" | sed 's/.*GL renderer *: *//')"
    [ "$name" = picture ] && check_picture
    [ "$library" = ours ] && [ "$module" = test ] && [ "$audioDriver" = alsa ] && wait_for_sound

    # Input through the X server, as a keyboard gives it, to the focused window.
    xdotool windowfocus --sync "$presentationWindow" 2>/dev/null || xdotool windowfocus "$presentationWindow"
    case "$ending" in
    escape) xdotool key Escape ;;
    close) xdotool key alt+F4 ;;
    esac
    wait_for_exit "$ending"
    note "$name: ended by $ending with exit status 0, $(swap_count) frames, $(seconds_since "$started") s in all"
    if [ "$library" = ours ]; then
        if [ "$module" = test ] && [ "$audioDriver" = alsa ]; then
            check_sound
        else
            check_silence
        fi
    fi
}

check_bassmod_calls()
{
    expected="BASSMOD_Init -1 44100 16
BASSMOD_MusicLoad 0 \"orvanth - fenwarrow_s vessick..mod\" 0 0 4
BASSMOD_MusicPlay
BASSMOD_MusicStop
BASSMOD_MusicFree"
    [ -f "$runDir/bassmod-calls.txt" ] || fail "BASSMOD.dll beside the exe was never called"
    calls=$(tr -d '\r' <"$runDir/bassmod-calls.txt")
    [ "$calls" = "$expected" ] || {
        printf 'expected:\n%s\ngot:\n%s\n' "$expected" "$calls" >&2
        fail "the music calls reached BASSMOD.dll otherwise than expected"
    }
    note "BASSMOD.dll beside the exe got the five calls in order"
}

build_fake_bassmod()
{
    fakeBassmod="$work/$arch-fake-bassmod/BASSMOD.dll"
    mkdir -p "$(dirname "$fakeBassmod")"
    # --kill-at: the plain export names the real library has.
    "$arch-w64-mingw32-gcc-win32" -shared -O2 -static-libgcc -Wl,--kill-at \
        -o "$fakeBassmod" "$source/tests/windows/FakeBassmod.c" ||
        fail "building the stand-in BASSMOD.dll"
}

run_all()
{
    ourBassmod="$work/$arch/BASSMOD.dll"
    [ -f "$ourBassmod" ] || fail "$ourBassmod is missing"
    for program in xwd xwininfo xdotool od "$wineLoader" "$screenColours" "$moduleWriter"; do
        require_program "$program"
    done
    trap cleanup EXIT
    trap 'exit 1' INT TERM
    build_fake_bassmod
    start_screen
    boot_wine
    run_presentation picture escape
    run_presentation close close
    run_presentation music escape fake
    check_bassmod_calls
    run_presentation sound escape ours test
    run_presentation no-module escape ours none
    run_presentation bad-module escape ours bad
    run_presentation no-device escape ours test none
}

wineserver=/usr/lib/wine/wineserver
mkdir -p "$work"
case "$mode" in
exe-i686)
    require_program i686-w64-mingw32-g++-win32
    build_exe i686
    check_exe
    check_dll
    ;;
wine-i686)
    arch=i686
    exe="$work/i686/vemlodar.exe"
    [ -f "$exe" ] || fail "$exe is missing: the windows_exe test builds it"
    wineLoader=/usr/lib/wine/wine
    [ -x "$wineLoader" ] || fail "$wineLoader not found: wine32:i386 is not installed ('make windows-deps')"
    if ! loaderMessage=$("$wineLoader" --version 2>&1); then
        echo "SKIPPED: this machine's kernel does not run 32-bit programs, and Wine's 32-bit side is one:"
        echo "  $wineLoader --version: $loaderMessage"
        dmesg 2>/dev/null | grep -m 1 -i '32-bit emulation' | sed 's/^/  kernel: /'
        echo "  vemlodar.exe is still built and checked (windows_exe), and the same source runs"
        echo "  under wine64 (windows_wine_x86_64); the 32-bit exe itself was NOT run here."
        exit 77
    fi
    WINEARCH=win32
    export WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
    run_all
    ;;
wine-x86_64)
    arch=x86_64
    require_program x86_64-w64-mingw32-g++-win32
    build_exe x86_64
    exe="$work/x86_64/vemlodar.exe"
    wineLoader=/usr/lib/wine/wine64
    WINEARCH=win64
    export WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
    run_all
    ;;
*)
    fail "unknown mode '$mode'"
    ;;
esac
echo "windows $mode: passed"
