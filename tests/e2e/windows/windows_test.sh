#!/usr/bin/env bash
# Tambrel for Windows as an administrator deploys it and a user meets it, under Wine on a
# virtual display: a fresh Wine prefix with a generated server whose keys are written by
# `wine reg add`; the Windows Installer package installed silently (msiexec /i /qn), which
# must bring the program folder, a Start-menu shortcut to Tambrel.exe, the folder on the
# system PATH and one Add/Remove Programs entry with version, publisher and icon. Tambrel.exe
# is started from the shortcut's target. Its greetings and prompts, exported through the
# window's File menu, must be byte for byte what tambrel-cli writes on the same server when
# started by name from PATH, and hold the rows the scan's rules give (worked out by
# expected_csv.py, and by the Linux tambrel-cli on the same server when one is given), in the
# order of Windows' sorted listings. Choosing German in the About box must change the main
# window's captions and the help window's; the help window opens its page; Exit ends the
# process. A package of a higher version installed over it must leave exactly that version;
# its silent removal (msiexec /x /qn) must leave Program Files, the Start menu, PATH, the
# uninstall entries and the server as they were before the install. Screenshots of the main
# window, the German About box and the help window go into SCREENSHOTS.
# Usage: windows_test.sh MSI UPGRADE_MSI LINUX_CLI|- MAKE_SAMPLE_SERVER SCREENSHOTS
# Exit 77: skipped (a tool is missing).
set -euo pipefail
self=$(realpath "$0")
self_dir=$(dirname "$self")
e2e=$(dirname "$self_dir")

# shellcheck source=tests/e2e/export_grids.sh
source "$e2e/export_grids.sh"

program_files='C:\Program Files\Tambrel'
uninstall_root='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# Runs a Windows program, its output kept in the log (never in the test's own pipes, which
# Wine's services would otherwise hold open), and waits for it to end.
run_wine() {
    wine "$@" </dev/null >>"$work/wine.log" 2>&1
}

# Clicks menu bar position $1 (pixels from the window's left edge) and then picks item $2 of the
# opened menu (separators are skipped by the arrow keys); prints nothing. With a third argument
# "last", Left then moves to the menu bar's last menu (Help), which opens with its first item
# highlighted, and item $2 is picked there. Tried again when the click came before the window
# took input.
pick_menu_item() {
    local x=$1 item=$2 last=${3:-} before popup attempt downs first now
    for attempt in 1 2 3; do
        xdotool windowfocus --sync "$main_window" 2>/dev/null || true
        before=$(visible_windows)
        xdotool mousemove --window "$main_window" "$x" 10 click 1 2>/dev/null || true
        popup=
        for _ in $(seq 50); do
            popup=$(comm -13 <(echo "$before") <(visible_windows) | head -n 1)
            [[ -n $popup ]] && break
            sleep 0.1
        done
        if [[ -n $popup ]]; then
            # The menu takes the keys only once it is up and has grabbed the input.
            sleep 0.5
            downs=$item
            if [[ $last == last ]]; then
                # The first menu closes and the last one opens as a window of its own; keys
                # sent before that would go to the first, so its opening is awaited.
                first=$popup
                popup=
                xdotool key Left
                for _ in $(seq 50); do
                    now=$(visible_windows)
                    if ! grep -qx "$first" <<<"$now"; then
                        popup=$(comm -13 <(echo "$before") <(echo "$now") | head -n 1)
                        [[ -n $popup ]] && break
                    fi
                    sleep 0.1
                done
                if [[ -z $popup ]]; then
                    echo "attempt $attempt: Left did not open the last menu" >&2
                    xdotool key Escape Escape
                    sleep 0.5
                    continue
                fi
                sleep 0.5
                downs=$((item - 1))
            fi
            for _ in $(seq "$downs"); do
                xdotool key Down
            done
            xdotool key Return
            # The item's window is awaited by the caller; the menu must be gone first, or it
            # would be taken for that window (both bear the program's name).
            wait_until_gone 50 "$popup" && return 0
            echo "attempt $attempt: the menu stayed open after Return" >&2
            xdotool key Escape Escape
            sleep 0.5
            continue
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
        xdotool mousemove --window "$about" 40 130 click 1 2>/dev/null || true
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

# The files below Program Files and the Start menus (Wine puts a per-machine package's
# shortcuts into the user's), and a digest of every server file: what the package may change
# while installed, and what it must leave alone.
snapshot() {
    (
        cd "$WINEPREFIX/drive_c"
        find "Program Files" "ProgramData/Microsoft/Windows/Start Menu" \
            users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu | sort
        find Corvel -type f -print0 | sort -z | xargs -0 sha256sum
    )
}

# The system's PATH, one folder a line, empty parts left out.
system_path() {
    wine reg query 'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Session Manager\Environment' \
        /v Path </dev/null 2>/dev/null | tr -d '\r' | sed -n 's/^ *Path *REG_[A-Z_]* *//p' |
        tr ';' '\n' | sed '/^$/d'
}

# How often the program folder is on the system's PATH (with or without a final backslash).
path_entries() {
    system_path | grep -ciFx -e "$program_files" -e "$program_files\\" || true
}

# "version<TAB>publisher<TAB>product code" of every Add/Remove Programs entry named Tambrel.
installed_entries() {
    wine reg query "$uninstall_root" /s </dev/null 2>/dev/null | tr -d '\r' | awk '
        /^HKEY_/ { if (name == "Tambrel") print version "\t" publisher "\t" key
                   key = $0; sub(/.*\\/, "", key); name = version = publisher = "" }
        $1 == "DisplayName" { name = $3 }
        $1 == "DisplayVersion" { version = $3 }
        $1 == "Publisher" { publisher = $0; sub(/^ *Publisher *REG_SZ */, "", publisher) }
        END { if (name == "Tambrel") print version "\t" publisher "\t" key }'
}

# The version a package installs, read from the package itself.
package_version() {
    msiinfo export "$1" Property | tr -d '\r' | awk -F '\t' '$1 == "ProductVersion" { print $2 }'
}

# Checks what an installed package must have brought: the files, the shortcut to Tambrel.exe,
# the folder once on PATH, and one Add/Remove Programs entry of version $1 with its icon.
# Sets shortcut_target.
check_installed() {
    local version=$1 file shortcut entries product icon
    for file in Tambrel.exe tambrel-cli.exe Tambrel_ENU.dll Tambrel_DEU.dll Tambrel_JPN.dll \
        Tambrel.htm Tambrel_ENU.htm Tambrel_DEU.htm Tambrel_JPN.htm tambrel.txt tambrel-cli.txt \
        translations/qtbase_de.qm translations/qtbase_ja.qm; do
        [[ -f $folder/$file ]] || fail "the install of $version has no $file"
    done
    shortcut=$(find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu" \
        "$WINEPREFIX/drive_c/users" -iname 'Tambrel.lnk' 2>/dev/null)
    [[ $(grep -c . <<<"$shortcut") == 1 ]] || fail "not one Start-menu shortcut Tambrel.lnk: $shortcut"
    shortcut_target=$(python3 "$self_dir/shortcut_target.py" "$shortcut") ||
        fail "the shortcut's target cannot be read"
    [[ ${shortcut_target,,} == "${program_files,,}\\tambrel.exe" ]] ||
        fail "the shortcut starts $shortcut_target"
    [[ $(path_entries) == 1 ]] ||
        fail "the program folder is not once on the system PATH: $(system_path | tr '\n' ';')"
    entries=$(installed_entries)
    [[ $(grep -c . <<<"$entries") == 1 ]] ||
        fail "not one Add/Remove Programs entry named Tambrel: $entries"
    IFS=$'\t' read -r installed publisher product <<<"$entries"
    [[ $installed == "$version" ]] || fail "Add/Remove Programs shows $installed, not $version"
    [[ $publisher == 'The Tambrel Developers' ]] || fail "the entry's publisher is '$publisher'"
    # Add/Remove Programs takes a package's icon from its product registration.
    icon=$(wine reg query 'HKEY_LOCAL_MACHINE\Software\Classes\Installer\Products' /s </dev/null \
        2>/dev/null | tr -d '\r' | sed -n 's/^ *ProductIcon *REG_SZ *//p' | grep -iF "$product" || true)
    [[ -n $icon && -f $(winepath -u "$icon" 2>/dev/null) ]] ||
        fail "the entry has no icon: '$icon'"
}

# Runs tambrel-cli by name, as a remote shell would: the command interpreter finds it on PATH.
# Once, on a new machine's first run, the interpreter did not find it although the registry
# already held the folder on PATH (checked just before); such a miss is written down with the
# PATH the interpreter saw and tried again, while any other failure counts at once.
run_cli_by_name() {
    local attempt lines
    for attempt in 1 2 3; do
        lines=$(wc -l <"$work/wine.log")
        (cd "$work" && run_wine cmd /c tambrel-cli "$@") && return 0
        tail -n +$((lines + 1)) "$work/wine.log" | grep -q "Can't recognize" || return 1
        echo "NOTE: the command interpreter did not find tambrel-cli (attempt $attempt); its PATH:" \
            "$(cd "$work" && wine cmd /c echo %PATH% </dev/null 2>/dev/null | tr -d '\r');" \
            "the registry's: $(system_path | tr '\n' ';')" >&2
        sleep 1
    done
    return 1
}

server_keys() {
    wine reg query 'HKEY_LOCAL_MACHINE\Software\Quillan' /s </dev/null 2>/dev/null | tr -d '\r'
}

if [[ ${1:-} == --inside-virtual-display ]]; then
    shift
    trap 'fail "line $LINENO: a step failed"' ERR
    msi=$1 upgrade_msi=$2 linux_cli=$3 make_server=$4 screenshots=$5 work=$6
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

    [[ -z $(installed_entries) && $(path_entries) == 0 ]] ||
        fail "the fresh prefix already has Tambrel registered or on PATH"

    # The silent install, as a deployment tool runs it.
    version=$(package_version "$msi")
    upgrade_version=$(package_version "$upgrade_msi")
    [[ -n $version && -n $upgrade_version && $version != "$upgrade_version" ]] ||
        fail "the two packages' versions are '$version' and '$upgrade_version'"
    run_wine msiexec /i "$(winepath -w "$msi")" /qn || fail "the silent install failed"
    folder="$WINEPREFIX/drive_c/Program Files/Tambrel"
    check_installed "$version"
    [[ $(server_keys) == "$keys_before" ]] || fail "the install changed the server's keys"

    # The installed program on the server, started as the Start-menu shortcut starts it. The
    # splash screen bears the same title and, under Wine, no window type of its own; it is a
    # low strip, the main window is not.
    mkdir -p "$WINEPREFIX/drive_c/out"
    wine "$shortcut_target" </dev/null >>"$work/wine.log" 2>&1 &
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
    # The menu bar's first title, File (Datei), begins here; Help is the last, reached from it.
    file_menu_x=15
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
        run_cli_by_name "--$which" "C:\\out\\$which-cli.csv" ||
            fail "tambrel-cli --$which, started by name, failed"
        cmp "$out/$which-window.csv" "$out/$which-cli.csv" ||
            fail "the window's $which export differs from tambrel-cli's"
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
    pick_menu_item "$file_menu_x" 2 last
    about=$(wait_for_window 300 '^Tambrel$') || fail "no About box"
    xdotool windowfocus --sync "$about" 2>/dev/null || true
    choose_language "$about" 1 windows-about-german
    german=$work/main-german.png
    import -window "$main_window" "$german"
    difference=$(compare -metric AE "$english" "$german" null: 2>&1 || true)
    [[ ${difference%% *} != 0 ]] || fail "the main window looks the same in German"
    tambrel_screenshot windows-main-window-german

    # Help, first item of the Help menu: its window bears string 29 in German.
    pick_menu_item "$file_menu_x" 1 last
    # The X title holds the umlaut in whichever encoding Wine chose for the C locale.
    help=$(wait_for_window 300 '^Lautst.{1,4}rke einstellen$') ||
        fail "no help window with the German caption"
    sleep 2
    tambrel_screenshot windows-help-german
    python3 "$e2e/close_window.py" "$help"
    wait_until_gone 100 "$help" || fail "the help window stayed open"

    # Japanese, for the screenshot: the script's texts in the forms' faces.
    pick_menu_item "$file_menu_x" 2 last
    about=$(wait_for_window 300 '^Tambrel$') || fail "no About box the second time"
    choose_language "$about" 3 windows-about-japanese
    japanese=$work/main-japanese.png
    import -window "$main_window" "$japanese"
    difference=$(compare -metric AE "$german" "$japanese" null: 2>&1 || true)
    [[ ${difference%% *} != 0 ]] || fail "the main window looks the same in Japanese as in German"
    tambrel_screenshot windows-main-window-japanese

    # Exit, the File menu's last item, after the two exports of every row and the two of the
    # shown rows: the process ends, with status 0.
    pick_menu_item "$file_menu_x" 5
    for _ in $(seq 150); do
        kill -0 "$tambrel_pid" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$tambrel_pid" 2>/dev/null || fail "Tambrel.exe kept running after Exit"
    status=0
    wait "$tambrel_pid" || status=$?
    [[ $status == 0 ]] || fail "Tambrel.exe ended with status $status"
    tambrel_pid=

    rm -rf "$WINEPREFIX/drive_c/out"

    # A newer version over it: the older one goes by itself, the newer one is all that is left.
    run_wine msiexec /i "$(winepath -w "$upgrade_msi")" /qn || fail "the silent upgrade failed"
    check_installed "$upgrade_version"
    run_cli_by_name --version || fail "tambrel-cli, started by name, failed after the upgrade"

    # The silent removal, by the package as a deployment tool does it.
    run_wine msiexec /x "$(winepath -w "$upgrade_msi")" /qn || fail "the silent removal failed"
    [[ ! -e $folder ]] || fail "the removal left $(find "$folder" | head -n 5)"
    after=$(snapshot)
    diff <(echo "$before") <(echo "$after") ||
        fail "Program Files, the Start menu or the server differ from before the install"
    [[ -z $(installed_entries) ]] || fail "an Add/Remove Programs entry is left: $(installed_entries)"
    [[ $(path_entries) == 0 ]] ||
        fail "the program folder is still on PATH: $(system_path | tr '\n' ';')"
    [[ $(server_keys) == "$keys_before" ]] || fail "the removal changed the server's keys"
    exit 0
fi

require_tools wine wineserver winepath xvfb-run xdotool xwininfo import compare python3 sox msiinfo
msi=$(realpath "$1")
upgrade_msi=$(realpath "$2")
for package in "$msi" "$upgrade_msi"; do
    [[ -f $package ]] || {
        echo "FAIL: no package at $package (cmake --build <folder> --target msi msi_upgrade_test" \
            "makes both)"
        exit 1
    }
done
linux_cli=$3
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
    "$self" --inside-virtual-display "$msi" "$upgrade_msi" "$linux_cli" "$make_server" \
    "$(realpath "$screenshots")" "$work" || status=$?
if [[ $status != 0 ]]; then
    echo "--- Wine's output"
    tail -n 40 "$work/wine.log" 2>/dev/null || true
    exit $status
fi
echo "PASS: installed silently, rows as scanned and as tambrel-cli gives them by name from PATH," \
    "German captions, help page, Exit, upgraded to one version, removed without a trace"
