#!/bin/sh
# Bad arguments to vemlodar-capture: each is refused with its own message and
# a non-zero status, and leaves nothing in the folder it ran in, not even a
# temporary file. --help is no error.
#
# usage: capture-arguments.sh VEMLODAR-CAPTURE
set -u
capture=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1


# A file where a folder is needed.
touch not-a-folder

# expected status | expected words in the message | arguments (shell words)
cases='
2|unknown option|--time 1 --bogus -o x.png
2|unexpected argument|--time 1 x.png
2|no output|--time 1
2|needs a value|--time 1 -o
2|needs a value|-o x.png --time
2|cannot be negative|--time -0.5 -o x.png
2|finite number|--time twelve -o x.png
2|finite number|--time 12s -o x.png
2|finite number|--time "" -o x.png
2|finite number|--time nan -o x.png
2|finite number|--time inf -o x.png
2|finite number|--time 1e400 -o x.png
2|cannot be negative|--from -1 --to 2 -o frames/
2|finite number|--to infinity -o frames/
2|is too small|--time 1 --size 511x256 -o x.png
2|is too small|--time 1 --size 512x255 -o x.png
2|is too small|--time 1 --size 0x0 -o x.png
2|WIDTHxHEIGHT|--time 1 --size 1920 -o x.png
2|WIDTHxHEIGHT|--time 1 --size 1920x-1080 -o x.png
2|larger than this renderer draws|--time 1 --size 60000x300 -o x.png
2|larger than this renderer draws|--time 1 --size 600x60000 -o x.png
2|must come after --from|--from 2 --to 2 --fps 10 -o frames/
2|must come after --from|--from 3 --to 2 --fps 10 -o frames/
2|must come after --from|--from 231 -o frames/
2|positive number of frames|--from 0 --to 1 --fps 0 -o frames/
2|positive number of frames|--from 0 --to 1 --fps -30 -o frames/
2|positive number of frames|--from 0 --to 1 --fps thirty -o frames/
2|positive number of frames|--from 0 --to 1 --fps nan -o frames/
2|no frame time|--from 0.01 --to 0.02 --fps 10 -o frames/
2|beyond frame 999999999|--from 0 --to 1e9 --fps 60 -o frames/
2|one picture needs --time|-o x.png
2|make a sequence|--time 1 --fps 10 -o x.png
2|is for one picture|--time 1 -o frames/
2|is for one picture|--time 1 -o film.mp4
2|cannot tell what to write|--time 1 -o x.jpg
2|even width and height|--from 0 --to 1 --fps 10 --size 513x256 -o film.mp4
2|frame. or .background.|--time 1 --layer grain -o x.png
2|takes no value|--time 1 --progress=yes -o x.png
1|No such file or directory|--time 1 -o missing/x.png
1|Not a directory|--time 1 -o not-a-folder/x.png
1|Not a directory|--from 0 --to 1 --fps 10 -o not-a-folder/frames/
1|No such file or directory|--from 0 --to 1 --fps 10 --size 512x256 -o missing/film.mp4
1|none on PATH|PATH=/nonexistent|--from 0 --to 1 --fps 10 --size 512x256 -o film.mp4
'

listing() {
    ls -A | grep -vx not-a-folder
}

failures=0
while IFS= read -r line; do
    [ -z "$line" ] && continue
    expected=${line%%|*}
    rest=${line#*|}
    words=${rest%%|*}
    arguments=${rest#*|}
    environment=
    case $arguments in
    PATH=*) environment=${arguments%%|*}; arguments=${arguments#*|} ;;
    esac
    eval "set -- $arguments"
    if [ -n "$environment" ]; then
        env "$environment" "$capture" "$@" >stdout.txt 2>stderr.txt
    else
        "$capture" "$@" >stdout.txt 2>stderr.txt
    fi
    status=$?
    message=$(cat stderr.txt)
    rm -f stdout.txt stderr.txt
    left=$(listing)
    if [ "$status" != "$expected" ]; then
        echo "FAIL [$arguments]: status $status, expected $expected ($message)"
        failures=$((failures + 1))
    elif ! printf '%s' "$message" | grep -q -e "$words"; then
        echo "FAIL [$arguments]: message '$message' does not say '$words'"
        failures=$((failures + 1))
    elif [ -n "$left" ]; then
        echo "FAIL [$arguments]: left behind: $left"
        failures=$((failures + 1))
    else
        echo "ok   [$arguments]: $message"
    fi
    rm -rf $left
done <<EOF_CASES
$cases
EOF_CASES

if [ "$failures" -gt 0 ]; then
    echo "$failures cases failed"
    exit 1
fi

# --help is an answer, not an error, and shows how the tool is used.
if ! "$capture" --help >help.txt 2>&1 || ! grep -q "^Examples:" help.txt ||
    ! grep -q -e "--time 12.5 --size 1920x1080 -o frame.png" help.txt; then
    echo "FAIL --help: status or text"
    cat help.txt
    exit 1
fi
echo "ok   --help"
exit 0
