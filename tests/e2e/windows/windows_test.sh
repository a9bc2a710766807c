#!/usr/bin/env bash
# Tambrel for Windows as a user meets it, under Wine on a virtual display: a fresh Wine prefix
# with a generated server whose keys are written by `wine reg add`; the setup program run
# silently; the installed Tambrel.exe started from Program Files. Its greetings and prompts,
# exported through the window's File menu, must be byte for byte what tambrel-cli.exe writes on
# the same server and hold the rows the scan's rules give (worked out by expected_csv.py, and by
# the Linux tambrel-cli on the same server when one is given), in the order of Windows' sorted
# listings. Choosing German in the About
# box must change the main window's captions and the help window's; the help window opens its
# page; Exit ends the process; the silent uninstall leaves Program Files, the Start menu and the
# server as they were before the install. Screenshots of the main window, the German About box
# and the help window go into SCREENSHOTS.
# Usage: windows_test.sh SETUP_EXE CLI_EXE|- LINUX_CLI|- MAKE_SAMPLE_SERVER SCREENSHOTS
# Exit 77: skipped (a tool is missing).
set -euo pipefail
self=$(realpath "$0")
e2e=$(dirname "$(dirname "$self")")

# shellcheck source=tests/e2e/export_grids.sh
source "$e2e/export_grids.sh"

program_files='C:\Program Files\Tambrel'

# Runs a Windows program, its output kept in the log (never in the test's own pipes, which
# Wine's services would otherwise hold open), and waits for it to end.
run_wine() {
    wine "$@" </dev/null >>"$work/wine.log" 2>&1
}

# Clicks menu bar position $1 (pixels from the window's left edge) and then picks item $2 of the
# opened menu (separators are skipped by the arrow keys); prints nothing. Tried again when the
# click came before the window took input.
pick_menu_item() {
    local x=$1 item=$2 before popup attempt
    for attempt in 1 2 3; do
        xdotool windowfocus --sync "$main_window" 2>/dev/null || true
        before=$(visible_windows)
        xdotool mousemove --window "$main_window" "$x" 10 click 1
        popup=
        for _ in $(seq 50); do
            popup=$(comm -13 <(echo "$before") <(visible_windows) | head -n 1)
            [[ -n $popup ]] && break
            sleep 0.1
        done
        if [[ -n $popup ]]; then
            # The menu takes the keys only once it is up and has grabbed the input.
            sleep 0.5
            for _ in $(seq "$item"); do
                xdotool key Down
            done
            xdotool key Return
            return 0
        fi
        echo "attempt $attempt: the menu at $x did not open" >&2
    done
    fail "the menu at $x did not open"
}

# Exports grid $1 (1 greetings, 2 prompts) through the File menu into the Windows path $2.
export_through_window() {
    local item=$1 target=$2 host dialog box
    host=$WINEPREFIX/drive_c/${target#C:\\}
    host=${host//\\//}
    pick_menu_item "$file_menu_x" "$item"
    dialog=$(wait_for_window 300 '^CSV File Location$') || fail "no save dialog titled CSV File Location"
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$dialog" 2>/dev/null || true
        # The file name box has the focus and holds the proposed name: replace it all (the
        # system's edit box takes no Ctrl+A).
        xdotool key End shift+Home BackSpace
        xdotool type --delay 20 "$target"
        xdotool key Return
        wait_until_gone 100 "$dialog" && break
        echo "the save dialog is still open after Return" >&2
    done
    wait_until_gone 10 "$dialog" || fail "the save dialog stayed open after Return"
    box=$(wait_for_window 600 '^Tambrel$') || fail "no message box after the export"
    [[ -f $host ]] || fail "the export's message came, but there is no file at $host"
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key Return
    wait_until_gone 100 "$box" || fail "the message box stayed open after Return"
}

# In About box $1, picks item $2 of the Change Language menu, takes screenshot $3 and closes the
# box with OK. The menu lists the libraries in the folder's order, which Windows sorts by name:
# Tambrel_DEU, Tambrel_ENU, Tambrel_JPN.
choose_language() {
    local about=$1 item=$2 screenshot=$3 windows languages
    # The Change Language link, 12 by 124 pixels from the box's corner at 96 dpi, opens the
    # language menu.
    languages=
    for _ in 1 2 3; do
        windows=$(visible_windows)
        xdotool mousemove --window "$about" 40 130 click 1
        for _ in $(seq 30); do
            languages=$(comm -13 <(echo "$windows") <(visible_windows) | head -n 1)
            [[ -n $languages ]] && break 2
            sleep 0.1
        done
    done
    [[ -n $languages ]] || fail "the Change Language link opened no menu"
    # The menu takes the keys only once it is up and has grabbed the input.
    sleep 0.5
    for _ in $(seq "$item"); do
        xdotool key Down
    done
    for _ in 1 2 3; do
        xdotool key Return
        wait_until_gone 30 "$languages" && break
    done
    wait_until_gone 10 "$languages" || fail "the language menu stayed open"
    sleep 1
    tambrel_screenshot "$screenshot"
    # OK has the focus; failing that, it is clicked (at the box's lower right).
    xdotool windowfocus --sync "$about" 2>/dev/null || true
    xdotool key Return
    if ! wait_until_gone 30 "$about"; then
        xdotool mousemove --window "$about" 354 196 click 1
        wait_until_gone 100 "$about" || fail "the About box stayed open after OK"
    fi
}

# The files below Program Files and the Start menu, and a digest of every server file: what the
# setup program and its uninstaller may change, and what they must leave alone.
snapshot() {
    (
        cd "$WINEPREFIX/drive_c"
        find "Program Files" "ProgramData/Microsoft/Windows/Start Menu" | sort
        find Corvel -type f -print0 | sort -z | xargs -0 sha256sum
    )
}

server_keys() {
    wine reg query 'HKEY_LOCAL_MACHINE\Software\Quillan' /s </dev/null 2>/dev/null | tr -d '\r'
}

if [[ ${1:-} == --inside-virtual-display ]]; then
    shift
    trap 'fail "line $LINENO: a step failed"' ERR
    setup=$1 cli=$2 linux_cli=$3 make_server=$4 screenshots=$5 work=$6
    export TAMBREL_SCREENSHOTS=$screenshots
    wait_for_display

    setsid wineboot -i </dev/null >>"$work/wine.log" 2>&1
    python3 "$make_server" "$work/server" >/dev/null
    cp -a "$work/server/drive_c/Corvel" "$WINEPREFIX/drive_c/Corvel"
    machine='HKEY_LOCAL_MACHINE\Software\Quillan'
    run_wine reg add "$machine" /v "Build Number" /t REG_DWORD /d 0x00010012 /f
    run_wine reg add "$machine" /v "Version Number" /t REG_DWORD /d 0x00030000 /f
    run_wine reg add "$machine\\Brannock Setup\\1.0\\Properties" /v BrannockRootPath /t REG_SZ \
        /d 'C:\Corvel' /f
    keys_before=$(server_keys)
    [[ $keys_before == *BrannockRootPath* ]] || fail "the server's keys were not written"
    before=$(snapshot)

    # The silent install: the program folder, the shortcut, the Add/Remove Programs entry.
    run_wine "$setup" /S || fail "the silent install failed"
    folder="$WINEPREFIX/drive_c/Program Files/Tambrel"
    for file in Tambrel.exe Tambrel_ENU.dll Tambrel_DEU.dll Tambrel_JPN.dll Tambrel.htm \
        Tambrel_ENU.htm Tambrel_DEU.htm Tambrel_JPN.htm translations/qtbase_de.qm \
        translations/qtbase_ja.qm Uninstall.exe; do
        [[ -f $folder/$file ]] || fail "the install has no $file"
    done
    shortcut=$(find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu" \
        "$WINEPREFIX/drive_c/users" -iname 'Tambrel.lnk' 2>/dev/null | head -n 1)
    [[ -n $shortcut ]] || fail "no Start-menu shortcut Tambrel.lnk"
    uninstall_key='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tambrel'
    entry=$(wine reg query "$uninstall_key" </dev/null 2>/dev/null | tr -d '\r') || true
    grep -q 'UninstallString.*Uninstall.exe' <<<"$entry" ||
        fail "no Add/Remove Programs entry with an uninstaller: $entry"
    [[ $(server_keys) == "$keys_before" ]] || fail "the install changed the server's keys"

    # The installed program on the server. The splash screen bears the same title and, under
    # Wine, no window type of its own; it is a low strip, the main window is not.
    mkdir -p "$WINEPREFIX/drive_c/out"
    wine "$program_files\\Tambrel.exe" </dev/null >>"$work/wine.log" 2>&1 &
    tambrel_pid=$!
    main_window=
    for _ in $(seq 900); do
        for id in $(xdotool search --onlyvisible --name '^Tambrel$' 2>/dev/null); do
            height=$(xwininfo -id "$id" 2>/dev/null | sed -n 's/^ *Height: *//p') || true
            if [[ -n $height ]] && ((height > 300)); then
                main_window=$id
                break 2
            fi
        done
        kill -0 "$tambrel_pid" 2>/dev/null || fail "Tambrel.exe ended before its main window showed"
        sleep 0.1
    done
    [[ -n $main_window ]] || fail "no visible main window titled Tambrel within 90 s"
    # The splash screen goes once the scan is done.
    for _ in $(seq 300); do
        [[ $(xdotool search --onlyvisible --name '^Tambrel$' 2>/dev/null | wc -l) == 1 ]] && break
        sleep 0.1
    done
    # The menu bar's first two titles, File and Help (Datei and Hilfe), begin here.
    file_menu_x=15
    help_menu_x=62
    tambrel_screenshot windows-main-window

    export_through_window 1 'C:\out\greetings-window.csv'
    export_through_window 2 'C:\out\prompts-window.csv'
    out=$WINEPREFIX/drive_c/out
    # The Linux side reads the generated server where it was written (the same files, dates
    # kept): the prefix's own system.reg is written by the wineserver only when it gets round to
    # it.
    for which in greetings prompts; do
        python3 "$e2e/expected_csv.py" "$work/server" "$which" "$out/$which-window.csv" \
            --any-order ||
            fail "the window's $which export is not what the scan gives"
        if [[ $cli != - ]]; then
            run_wine "$cli" "--$which" "C:\\out\\$which-cli.csv" ||
                fail "tambrel-cli.exe --$which failed"
            cmp "$out/$which-window.csv" "$out/$which-cli.csv" ||
                fail "the window's $which export differs from tambrel-cli.exe's"
        fi
        if [[ $linux_cli != - ]]; then
            "$linux_cli" --prefix "$work/server" "--$which" "$work/$which-linux.csv" >/dev/null ||
                fail "the Linux tambrel-cli --$which failed"
            # The same lines; Windows lists a folder sorted by name, Linux in directory order.
            cmp <(sort "$out/$which-window.csv") <(sort "$work/$which-linux.csv") ||
                fail "the window's $which export differs from the Linux build's rows"
        fi
    done
    echo "exports: greetings $(($(wc -l <"$out/greetings-window.csv") - 1)) rows," \
        "prompts $(($(wc -l <"$out/prompts-window.csv") - 1)) rows"

    # German from the About box (the Help menu's second item, after the separator).
    english=$work/main-english.png
    import -window "$main_window" "$english"
    pick_menu_item "$help_menu_x" 2
    about=$(wait_for_window 300 '^Tambrel$') || fail "no About box"
    xdotool windowfocus --sync "$about" 2>/dev/null || true
    choose_language "$about" 1 windows-about-german
    german=$work/main-german.png
    import -window "$main_window" "$german"
    difference=$(compare -metric AE "$english" "$german" null: 2>&1 || true)
    [[ ${difference%% *} != 0 ]] || fail "the main window looks the same in German"
    tambrel_screenshot windows-main-window-german

    # Help, first item of the Help menu: its window bears string 29 in German.
    pick_menu_item "$help_menu_x" 1
    # The X title holds the umlaut in whichever encoding Wine chose for the C locale.
    help=$(wait_for_window 300 '^Lautst.{1,4}rke einstellen$') ||
        fail "no help window with the German caption"
    sleep 2
    tambrel_screenshot windows-help-german
    python3 "$e2e/close_window.py" "$help"
    wait_until_gone 100 "$help" || fail "the help window stayed open"

    # Japanese, for the screenshot: the script's texts in the forms' faces.
    pick_menu_item "$help_menu_x" 2
    about=$(wait_for_window 300 '^Tambrel$') || fail "no About box the second time"
    choose_language "$about" 3 windows-about-japanese
    japanese=$work/main-japanese.png
    import -window "$main_window" "$japanese"
    difference=$(compare -metric AE "$german" "$japanese" null: 2>&1 || true)
    [[ ${difference%% *} != 0 ]] || fail "the main window looks the same in Japanese as in German"
    tambrel_screenshot windows-main-window-japanese

    # Exit, the File menu's last item: the process ends, with status 0.
    pick_menu_item "$file_menu_x" 3
    for _ in $(seq 150); do
        kill -0 "$tambrel_pid" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$tambrel_pid" 2>/dev/null || fail "Tambrel.exe kept running after Exit"
    status=0
    wait "$tambrel_pid" || status=$?
    [[ $status == 0 ]] || fail "Tambrel.exe ended with status $status"
    tambrel_pid=

    # The silent uninstall runs from a copy of itself in the temporary folder: wait for it.
    rm -rf "$WINEPREFIX/drive_c/out"
    run_wine "$program_files\\Uninstall.exe" /S || fail "the silent uninstall failed"
    for _ in $(seq 600); do
        [[ ! -e $folder ]] && break
        sleep 0.1
    done
    [[ ! -e $folder ]] || fail "the uninstall left $(find "$folder" | head -n 5)"
    after=$(snapshot)
    diff <(echo "$before") <(echo "$after") ||
        fail "Program Files, the Start menu or the server differ from before the install"
    if wine reg query "$uninstall_key" </dev/null >/dev/null 2>&1; then
        fail "the Add/Remove Programs entry is still there"
    fi
    [[ $(server_keys) == "$keys_before" ]] || fail "the uninstall changed the server's keys"
    exit 0
fi

require_tools wine wineserver xvfb-run xdotool xwininfo import compare python3 sox
setup=$(realpath "$1")
[[ -f $setup ]] || {
    echo "FAIL: no setup program at $1 (cmake --build <folder> --target package makes it)"
    exit 1
}
cli=$2 linux_cli=$3
make_server=$(realpath "$4")
screenshots=$5
mkdir -p "$screenshots"
rm -f "$screenshots"/windows-*.png "$screenshots/failure.png"
work=$(mktemp -d "${TMPDIR:-/tmp}/tambrel-windows-e2e-XXXXXX")
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
finish() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap finish EXIT
# Dates as expected_csv.py writes them: the C locale's short form, in UTC.
export LC_ALL=C TZ=UTC
unset LANG LANGUAGE LC_TIME
mkdir -p "$WINEPREFIX"
# The prefix's server is started once, detached and silent, for every Wine program of the test.
setsid wineserver -p </dev/null >/dev/null 2>&1

status=0
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24 -noreset" \
    "$self" --inside-virtual-display "$setup" "$cli" "$linux_cli" "$make_server" \
    "$(realpath "$screenshots")" "$work" || status=$?
if [[ $status != 0 ]]; then
    echo "--- Wine's output"
    tail -n 40 "$work/wine.log" 2>/dev/null || true
    exit $status
fi
echo "PASS: installed silently, rows as scanned and as tambrel-cli gives them, German captions," \
    "help page, Exit, uninstalled without a trace"
