#!/bin/sh
# Starts the presentation on the current display, or, where there is none,
# on a virtual 1920 x 1080 one of its own.
program="$1"
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then
    exec "$program"
fi
echo "no display found: running on a virtual 1920x1080 display (Xvfb)" >&2
exec xvfb-run -a -s "-screen 0 1920x1080x24" "$program"
