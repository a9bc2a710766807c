#!/usr/bin/env bash
# Starts the real tambrel on a generated sample server on a virtual display: the main window
# must appear titled "Tambrel", Reload Files must scan again, closing the window afterwards (the
# hidden splash screen still loaded) must end the program, and nothing below the server root
# (contents, dates, modes) may have changed.
# Usage: startup_test.sh TAMBREL MAKE_SAMPLE_SERVER CLOSE_WINDOW     Exit 77: skipped.
set -euo pipefail
program=$1
make_server=$2
close_window=$3

for tool in xvfb-run xdotool python3 sox strace; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

# How often the record beep has been opened for reading: once per scan.
scans() {
    grep -c 'RecordBeep\.wav", O_RDONLY' "$trace" || true
}

fail() {
    echo "FAIL: $*"
    kill "$pid" 2>/dev/null || true
    exit 1
}

# Inside xvfb-run: start, find the window, check its title, reload, close it, wait for the end.
if [[ ${4:-} == --inside-virtual-display ]]; then
    trace=$5
    # The splash screen bears the same title and shows first: start_tambrel tells them apart.
    # shellcheck source=tests/e2e/export_grids.sh
    source "$(dirname "$close_window")/export_grids.sh"
    start_tambrel "$program" "$trace"
    pid=$tambrel_pid
    window=$main_window
    title=$(xdotool getwindowname "$window")
    [[ $title == Tambrel ]] || fail "the main window is titled '$title'"
    [[ $(scans) == 1 ]] || fail "$(scans) scans at start-up"

    # Reload Files comes just before Exit, which has the focus at start.
    xdotool windowfocus --sync "$window"
    xdotool key shift+Tab space
    for _ in $(seq 100); do
        [[ $(scans) == 2 ]] && break
        sleep 0.1
    done
    [[ $(scans) == 2 ]] || fail "Reload Files did not scan again"
    sleep 0.5

    python3 "$close_window" "$window"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$pid" 2>/dev/null || fail "the program kept running after its main window closed"
    status=0
    wait "$pid" || status=$?
    [[ $status == 0 ]] || fail "the program ended with status $status"
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/server
python3 "$make_server" "$WINEPREFIX" >/dev/null

# Every entry with its type, size, mode, date to the nanosecond and, for files, its digest.
snapshot() {
    (cd "$WINEPREFIX" && find drive_c system.reg -printf '%p %y %s %m %T@\n' | sort &&
        find drive_c system.reg -type f -print0 | sort -z | xargs -0 sha256sum)
}
snapshot >"$work/before"

xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$0" "$program" "$make_server" "$close_window" --inside-virtual-display "$work/trace"

snapshot >"$work/after"
if ! diff -u "$work/before" "$work/after"; then
    echo "FAIL: the scan changed something below the server root"
    exit 1
fi
echo "PASS: main window titled Tambrel, reloaded, closed, server untouched"
