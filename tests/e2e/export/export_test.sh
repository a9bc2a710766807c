#!/usr/bin/env bash
# Both export commands of the real tambrel on a generated sample server, on a virtual display:
# the greetings to a file name typed into the save dialog (a folder outside the server), the
# prompts to the proposed c:\PromptCodecData.csv, which must land on the prefix's drive C:, and
# the prompts once more to a typed name. Each file must hold exactly the rows that the scan's
# rules give for the server (worked out by expected_csv.py, not by the program). Exporting over
# an existing file asks first: No leaves it as it was, Yes replaces it. Where strace is
# installed, nothing below the server root nor a registry file may have been written.
# Usage: export_test.sh TAMBREL MAKE_SAMPLE_SERVER CLOSE_WINDOW     Exit 77: skipped.
set -euo pipefail
program=$(realpath "$1")
make_server=$(realpath "$2")
close_window=$(realpath "$3")
self=$(realpath "$0")
e2e=$(dirname "$(dirname "$self")")

# shellcheck source=tests/e2e/export_grids.sh
source "$e2e/export_grids.sh"
require_tools xvfb-run xdotool python3 sox

# Inside xvfb-run: the exports, each file checked as soon as it is written.
if [[ ${4:-} == --inside-virtual-display ]]; then
    work=$5
    trace=$6
    out=$work/out
    start_tambrel "$program" "$trace"

    export_grid 1 "$out/greetings-export.csv" "$out/greetings-export.csv"
    python3 "$e2e/expected_csv.py" "$WINEPREFIX" greetings "$out/greetings-export.csv" ||
        fail "the greetings file is not what the scan gives"

    export_grid 2 "" "$WINEPREFIX/drive_c/PromptCodecData.csv"
    python3 "$e2e/expected_csv.py" "$WINEPREFIX" prompts "$WINEPREFIX/drive_c/PromptCodecData.csv" ||
        fail "the prompts file at the proposed path is not what the scan gives"

    export_grid 2 "$out/prompts-export.csv" "$out/prompts-export.csv"
    python3 "$e2e/expected_csv.py" "$WINEPREFIX" prompts "$out/prompts-export.csv" ||
        fail "the prompts file is not what the scan gives"

    # Over the greetings file, answered No: no change, no further message.
    printf 'kept\r\n' >"$out/greetings-export.csv"
    dialog=$(open_save_dialog 1) || fail "no save dialog for the second greetings export"
    accept_save_dialog "$dialog" "$out/greetings-export.csv"
    question=$(wait_for_window 300 '^Overwrite File\?$') ||
        fail "no question titled Overwrite File? before replacing a file"
    xdotool windowfocus --sync "$question" 2>/dev/null || true
    xdotool key alt+n
    wait_until_gone 100 "$question" || fail "the overwrite question stayed open after No"
    if wait_for_window 10 '^Tambrel$' >/dev/null; then
        fail "a message followed the answer No"
    fi
    [[ $(cat "$out/greetings-export.csv") == $'kept\r' ]] || fail "No still replaced the file"

    # The same, answered Yes: the file is replaced and the export completes.
    dialog=$(open_save_dialog 1) || fail "no save dialog for the third greetings export"
    accept_save_dialog "$dialog" "$out/greetings-export.csv"
    question=$(wait_for_window 300 '^Overwrite File\?$') ||
        fail "no question titled Overwrite File? before replacing a file"
    xdotool windowfocus --sync "$question" 2>/dev/null || true
    xdotool key alt+y
    wait_until_gone 100 "$question" || fail "the overwrite question stayed open after Yes"
    box=$(wait_for_window 600 '^Tambrel$') || fail "no message box after replacing the file"
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key Return
    wait_until_gone 100 "$box" || fail "the message box stayed open after Return"
    python3 "$e2e/expected_csv.py" "$WINEPREFIX" greetings "$out/greetings-export.csv" ||
        fail "the replaced greetings file is not what the scan gives"

    close_tambrel "$close_window"
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/server
python3 "$make_server" "$WINEPREFIX" >/dev/null
mkdir "$work/out" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
# Dates in the C locale's short form and in UTC, as expected_csv.py writes them; Qt's own save
# dialog (no desktop's), and its settings kept in the temporary folder.
export LC_ALL=C TZ=UTC HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
export XDG_RUNTIME_DIR=$work/runtime
unset LANG LANGUAGE LC_TIME XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME DESKTOP_SESSION

trace=
if command -v strace >/dev/null; then
    trace=$work/trace
else
    echo "NOTE: strace is not installed; what the program writes is not traced"
fi

# Relative paths in the trace are taken from here. The display number is looked for from a
# random start, so that tests run side by side rarely reach for the same one; the server does
# not reset between the clients that come and go before the program connects.
cd "$work"
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24 -noreset" \
    "$self" "$program" "$make_server" "$close_window" --inside-virtual-display "$work" "$trace"

if [[ -n $trace ]]; then
    python3 "$e2e/trace_writes.py" "$trace" "$WINEPREFIX/drive_c/Corvel" \
        "$WINEPREFIX/system.reg" "$WINEPREFIX/user.reg" "$WINEPREFIX/userdef.reg" ||
        fail "the program wrote below the server root or to a registry file"
fi
echo "PASS: both grids exported to typed and proposed names, overwrite asked, files as scanned"
