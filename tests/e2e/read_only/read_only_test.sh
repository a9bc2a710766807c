#!/usr/bin/env bash
# The real tambrel scans a generated sample server and exports both grids to a folder outside
# the Wine prefix, on a virtual display; afterwards nothing in the prefix (the server below
# drive_c, the registry files system.reg, user.reg and userdef.reg, the drive links) may have
# been created, changed or removed: every entry with its type, size, mode, inode, link target,
# modification and change dates to the nanosecond and, for files, its digest is the same as
# before. Where strace is installed, no call may even have tried to change anything in the
# prefix: no open with O_WRONLY, O_RDWR, O_CREAT or O_TRUNC, no rename, unlink, mkdir or write
# (see trace_writes.py), seen through dosdevices/c: as well.
# Usage: read_only_test.sh TAMBREL MAKE_SAMPLE_SERVER CLOSE_WINDOW     Exit 77: skipped.
set -euo pipefail
program=$(realpath "$1")
make_server=$(realpath "$2")
close_window=$(realpath "$3")
self=$(realpath "$0")
e2e=$(dirname "$(dirname "$self")")

# shellcheck source=tests/e2e/export_grids.sh
source "$e2e/export_grids.sh"
require_tools xvfb-run xdotool python3 sox

# Inside xvfb-run: scan, export both grids to typed names, close.
if [[ ${4:-} == --inside-virtual-display ]]; then
    out=$5
    trace=$6
    start_tambrel "$program" "$trace"
    export_grid 1 "$out/greetings.csv" "$out/greetings.csv"
    export_grid 2 "$out/prompts.csv" "$out/prompts.csv"
    close_tambrel "$close_window"
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/server
python3 "$make_server" "$WINEPREFIX" >/dev/null
# A prefix that Wine has run in holds the user's registry files too; the program must leave
# them alone as well.
for registry in user.reg userdef.reg; do
    [[ -e $WINEPREFIX/$registry ]] ||
        printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n' \
            >"$WINEPREFIX/$registry"
done
mkdir "$work/out" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
# Qt's own save dialog (no desktop's), with its settings kept in the temporary folder.
export LC_ALL=C TZ=UTC HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
export XDG_RUNTIME_DIR=$work/runtime
unset LANG LANGUAGE LC_TIME XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME DESKTOP_SESSION

# Every entry of the prefix, the prefix itself included, and the digest of every file.
snapshot() {
    (cd "$WINEPREFIX" && find . -printf '%p %y %s %m %i %l %T@ %C@\n' | sort &&
        find . -type f -print0 | sort -z | xargs -0 sha256sum)
}
snapshot >"$work/before"
for registry in system.reg user.reg userdef.reg; do
    grep -q "^\./$registry f " "$work/before" || fail "the prefix has no $registry"
done

trace=
if command -v strace >/dev/null; then
    trace=$work/trace
else
    echo "NOTE: strace is not installed; only the snapshots are compared"
fi

# Relative paths in the trace are taken from here. The display number is looked for from a
# random start, so that tests run side by side rarely reach for the same one; the server does
# not reset between the clients that come and go before the program connects.
cd "$work"
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24 -noreset" \
    "$self" "$program" "$make_server" "$close_window" --inside-virtual-display "$work/out" "$trace"

snapshot >"$work/after"
diff -u "$work/before" "$work/after" || fail "the program changed something in the prefix"
for grid in greetings prompts; do
    python3 "$e2e/expected_csv.py" "$WINEPREFIX" "$grid" "$work/out/$grid.csv" ||
        fail "the $grid file is not what the scan gives"
done

if [[ -n $trace ]]; then
    # The trace must see the scan's reads and the exports' writes, or it proves nothing.
    grep -q 'RecordBeep\.wav", O_RDONLY' "$trace" || fail "the trace shows no scan"
    # Refused io_uring (export_grids.sh), the scan read with its threads: where it would have.
    grep -q 'io_uring_setup.*(INJECTED)' "$trace" ||
        fail "the trace shows no refused io_uring_setup: the scan never reached for the ring"
    grep -q 'system\.reg", O_RDONLY' "$trace" || fail "the trace shows no reading of system.reg"
    status=0
    python3 "$e2e/trace_writes.py" "$trace" "$work/out" >/dev/null || status=$?
    [[ $status == 1 ]] || fail "the trace shows no writing of the exported files"
    python3 "$e2e/trace_writes.py" "$trace" "$WINEPREFIX" ||
        fail "the program tried to change something in the prefix"
fi
echo "PASS: scanned and exported both grids; the prefix is as it was${trace:+, and was never opened for writing}"
