# shellcheck shell=bash
# Drives the real tambrel on a virtual display through its File menu's two export commands.
# Sourced by the end-to-end tests; every wait has a limit, and a step that the program did not
# take is tried again rather than waited for with a fixed pause.
#
#   start_tambrel PROGRAM TRACE     start it (under strace when TRACE is not empty); sets
#                                   tambrel_pid and main_window
#   export_grid ITEM TARGET EXPECT  File menu item ITEM (1 greetings, 2 prompts); type TARGET as
#                                   the file name, or accept the proposed one when TARGET is
#                                   empty; EXPECT is the host path the file must appear at
#   close_tambrel CLOSE_WINDOW      close the main window and wait for a clean end
#   tambrel_screenshot NAME         the screen as NAME.png in $TAMBREL_SCREENSHOTS, when set
#
#   require_tools TOOL...           exit 77 (skipped) unless every tool is installed
#   fail MESSAGE                    end the test: the message, a screenshot, the program stopped

tambrel_e2e=$(dirname "$(realpath "${BASH_SOURCE[0]}")")

require_tools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIP: $tool is not installed"
            exit 77
        fi
    done
}

fail() {
    echo "FAIL: $*"
    tambrel_screenshot failure
    kill "${tambrel_pid:-}" 2>/dev/null || true
    exit 1
}

# The system calls that name a file, and those that change a file through a descriptor: enough
# to see every file the program opens, creates, renames, removes or writes.
tambrel_traced_calls='%file,write,pwrite64,writev,pwritev,pwritev2,ftruncate,fallocate,fchmod,fchown,fsetxattr,fremovexattr,copy_file_range,sendfile,io_uring_setup'
# What goes through io_uring is out of strace's sight, so a traced program is refused the ring,
# as a kernel without io_uring refuses it: the scan then reads with its threads, every open in
# the trace, and the refusal shows that the program tried.
tambrel_refused_calls='io_uring_setup:error=ENOSYS'

# xvfb-run can hand over before its server takes connections when the machine is busy; the
# program, which cannot reach the display, would end at once.
wait_for_display() {
    for _ in $(seq 100); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "the virtual display $DISPLAY takes no connections"
}

start_tambrel() {
    local program=$1 trace=$2 id types
    wait_for_display
    if [[ -n $trace ]]; then
        strace -f -qq -y -s 256 -e trace="$tambrel_traced_calls" -e inject="$tambrel_refused_calls" \
            -o "$trace" "$program" &
    else
        "$program" &
    fi
    tambrel_pid=$!
    # The splash screen, shown first, bears the same title; it declares itself a splash.
    main_window=
    for _ in $(seq 600); do
        for id in $(xdotool search --onlyvisible --name '^Tambrel$' 2>/dev/null); do
            types=$(python3 "$tambrel_e2e/window_types.py" "$id") || true
            if grep -qx '_NET_WM_WINDOW_TYPE_NORMAL' <<<"$types" &&
                ! grep -qx '_NET_WM_WINDOW_TYPE_SPLASH' <<<"$types"; then
                main_window=$id
                break 2
            fi
        done
        kill -0 "$tambrel_pid" 2>/dev/null || fail "the program ended before its main window showed"
        sleep 0.1
    done
    [[ -n $main_window ]] || fail "no visible main window titled Tambrel within 60 s"
}

# The visible windows, one id a line. A window destroyed while xdotool looks at the list makes
# it fail (BadWindow), which says nothing about the others: it is asked again.
visible_windows() {
    local list
    for _ in $(seq 50); do
        if list=$(xdotool search --onlyvisible --name '' 2>/dev/null); then
            sort <<<"$list"
            return 0
        fi
        sleep 0.1
    done
    fail "xdotool could not list the windows"
}

# Waits up to $1 tenths of a second for a visible window whose name matches $2 and which is not
# the main window; prints its id.
wait_for_window() {
    local tenths=$1 pattern=$2 id
    for _ in $(seq "$tenths"); do
        for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
            if [[ $id != "$main_window" ]]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# Waits up to $1 tenths of a second for window $2 to be gone.
wait_until_gone() {
    local tenths=$1 id=$2
    for _ in $(seq "$tenths"); do
        visible_windows | grep -qx "$id" || return 0
        sleep 0.1
    done
    return 1
}

# Opens the File menu and picks its item number $1; prints the save dialog's id.
open_save_dialog() {
    local item=$1 before dialog popup attempt
    for attempt in 1 2 3; do
        xdotool windowfocus --sync "$main_window" 2>/dev/null || true
        before=$(visible_windows)
        # The File menu is the first of the menu bar, at its left end.
        xdotool mousemove --window "$main_window" 15 10 click 1 2>/dev/null || true
        # The menu shows as a window of its own (named after the application, like the main
        # window); a click that came before the window took input opens none, and is tried
        # again.
        popup=
        for _ in $(seq 50); do
            popup=$(comm -13 <(echo "$before") <(visible_windows) | head -n 1)
            [[ -n $popup ]] && break
            sleep 0.1
        done
        if [[ -z $popup ]]; then
            echo "attempt $attempt: the File menu did not open" >&2
            continue
        fi
        for _ in $(seq "$item"); do
            xdotool key Down
        done
        xdotool key Return
        if dialog=$(wait_for_window 300 '^CSV File Location$'); then
            echo "$dialog"
            return 0
        fi
        echo "attempt $attempt: no save dialog after the menu item" >&2
        xdotool key Escape
    done
    return 1
}

# Puts TARGET into the save dialog's file name box (nothing: the proposed name stays) and
# presses Return until the dialog is gone. A Return can go to the file name completer's list
# instead of the dialog, and keys can be lost while the box takes the focus, so while the
# dialog is still up the name is typed anew and Return pressed again.
accept_save_dialog() {
    local dialog=$1 target=$2
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$dialog" 2>/dev/null || true
        if [[ -n $target ]]; then
            # The file name box has the focus and holds the proposed name: replace it all.
            xdotool key ctrl+a
            xdotool type --delay 15 "$target"
        fi
        xdotool key Return
        wait_until_gone 100 "$dialog" && return 0
        echo "the save dialog is still open after Return" >&2
    done
    fail "the save dialog stayed open after Return"
}

export_grid() {
    local item=$1 target=$2 expect=$3 dialog box
    dialog=$(open_save_dialog "$item") || fail "no save dialog titled CSV File Location"
    accept_save_dialog "$dialog" "$target"

    # The closing message comes with the application's title, like the main window.
    box=$(wait_for_window 600 '^Tambrel$') || fail "no message box after the export"
    [[ -f $expect ]] || fail "the message box came, but there is no file at $expect"
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key Return
    wait_until_gone 100 "$box" || fail "the message box stayed open after Return"
    # Exactly one message: an error report would be a second box titled Tambrel.
    if box=$(wait_for_window 5 '^Tambrel$'); then
        fail "a second message box followed the export"
    fi
}

# With TAMBREL_SCREENSHOTS set to a folder, a picture of the screen goes there as NAME.png.
tambrel_screenshot() {
    if [[ -n ${TAMBREL_SCREENSHOTS:-} ]] && command -v import >/dev/null; then
        import -window root "$TAMBREL_SCREENSHOTS/$1.png" 2>/dev/null || true
    fi
}

close_tambrel() {
    local close_window=$1 status=0
    python3 "$close_window" "$main_window"
    for _ in $(seq 100); do
        kill -0 "$tambrel_pid" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$tambrel_pid" 2>/dev/null || fail "the program kept running after its window closed"
    wait "$tambrel_pid" || status=$?
    [[ $status == 0 ]] || fail "the program ended with status $status"
}
