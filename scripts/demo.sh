#!/usr/bin/env bash
# The README's first command: installs what is missing, builds, generates a small sample server
# (a Wine-style prefix under build/sample-server) and starts Tambrel on it. On a machine without
# a display it runs Tambrel on a virtual one (xvfb-run), saves a screenshot of the filled main
# window as build/demo-screenshot.png and ends it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# Under xvfb-run: start, wait for the main window, let it settle, photograph it, end it.
if [[ ${1:-} == --inside-virtual-display ]]; then
    program=$2
    screenshot=$3
    "$program" &
    pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tambrel$' | head -n 1) || {
        echo "The main window did not appear." >&2
        kill "$pid" 2>/dev/null || true
        exit 1
    }
    sleep 3
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$screenshot"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    exit 0
fi

"$root/scripts/setup.sh"
build_dir=$("$root/scripts/build.sh" | tail -n 1)
server=$build_dir/sample-server
python3 "$root/scripts/make_sample_server.py" "$server" >/dev/null
echo "Sample server: $server (drive C: is $server/drive_c, the registry $server/system.reg)"
export WINEPREFIX=$server

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
    exec "$build_dir/bin/tambrel"
fi

screenshot=$build_dir/demo-screenshot.png
echo "No display here (DISPLAY is not set): running Tambrel under xvfb-run instead."
rm -f "$screenshot"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$0" --inside-virtual-display "$build_dir/bin/tambrel" "$screenshot"
echo "Screenshot of the main window: $screenshot"
