#!/usr/bin/env bash
# Installs the built program into a temporary folder (from its Debian package) and checks what
# lands where: the program, its libraries and help pages together in lib/tambrel/, a relative
# link bin/tambrel, the desktop entry and the icon. Then starts it through the link on a sample
# server on a virtual display, opens Help from the menu and checks that the window titled
# "Set Volume" appears and shows the English page from lib/tambrel/.
# Usage: install_test.sh BUILD_DIR MAKE_SAMPLE_SERVER CLOSE_WINDOW     Exit 77: skipped.
set -euo pipefail
build_dir=$1
make_server=$2
close_window=$3

fail() {
    echo "FAIL: $*"
    [[ -n ${pid:-} ]] && kill "$pid" 2>/dev/null
    exit 1
}

# Inside xvfb-run: start through the link, open Help, look for the window and the page read.
if [[ ${4:-} == --inside-virtual-display ]]; then
    prefix=$5
    trace=$6
    # The splash screen bears the same title and shows first: start_tambrel tells them apart.
    # shellcheck source=tests/e2e/export_grids.sh
    source "$(dirname "$close_window")/export_grids.sh"
    start_tambrel "$prefix/bin/tambrel" "$trace"
    pid=$tambrel_pid
    window=$main_window
    xdotool windowfocus --sync "$window"
    # The Help menu by its access key (Alt+H in English); its first item, chosen as the menu
    # opens, shows the help window. Keys that come before the window takes input are lost, so
    # it is tried again.
    help=
    for _ in 1 2 3; do
        xdotool key --window "$window" alt+h
        sleep 1
        xdotool key Return
        help=$(timeout 10 xdotool search --sync --onlyvisible --name '^Set Volume$' |
            head -n 1) || true
        [[ -n $help ]] && break
        xdotool key Escape
    done
    [[ -n $help ]] || fail "no window titled Set Volume after Help"
    sleep 0.5
    grep -q "$prefix/lib/tambrel/Tambrel_ENU.htm\", O_RDONLY" "$trace" ||
        fail "the English help page was not read from lib/tambrel"
    if [[ -n ${TAMBREL_SCREENSHOTS:-} ]]; then
        import -window root "$TAMBREL_SCREENSHOTS/help_window.png"
    fi

    python3 "$close_window" "$help"
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name '^Set Volume$' >/dev/null || break
        sleep 0.1
    done
    ! xdotool search --onlyvisible --name '^Set Volume$' >/dev/null ||
        fail "the help window did not close"
    python3 "$close_window" "$window"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    ! kill -0 "$pid" 2>/dev/null || fail "the program kept running after its main window closed"
    exit 0
fi

for tool in xvfb-run xdotool python3 strace; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The Debian package itself where the tools to build and unpack one are present, else the same
# files as cmake --install lays them down.
if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null &&
    command -v dpkg-shlibdeps >/dev/null; then
    cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/package" >/dev/null
    package=$(ls "$work"/package/tambrel_*.deb)
    [[ $(dpkg-deb -f "$package" Package) == tambrel ]] || fail "the package is not named tambrel"
    dpkg-deb -f "$package" Depends | grep -q libqt6widgets6 ||
        fail "the package does not depend on the Qt libraries"
    dpkg-deb -x "$package" "$work/root"
    installed_from="the package $(basename "$package")"
else
    DESTDIR=$work/root cmake --install "$build_dir" --prefix /usr >/dev/null
    installed_from="cmake --install"
fi
prefix=$work/root/usr

for file in tambrel Tambrel_ENU.dll Tambrel_DEU.dll Tambrel_JPN.dll Tambrel.htm Tambrel_ENU.htm \
    Tambrel_DEU.htm Tambrel_JPN.htm translations/qtbase_de.qm translations/qtbase_ja.qm; do
    [[ -f $prefix/lib/tambrel/$file ]] || fail "lib/tambrel/$file is not installed"
done
[[ -x $prefix/lib/tambrel/tambrel ]] || fail "lib/tambrel/tambrel is not executable"
[[ -L $prefix/bin/tambrel ]] || fail "bin/tambrel is not a link"
[[ $(readlink "$prefix/bin/tambrel") == ../lib/tambrel/tambrel ]] ||
    fail "bin/tambrel points to $(readlink "$prefix/bin/tambrel")"
grep -qx 'Exec=tambrel' "$prefix/share/applications/tambrel.desktop" ||
    fail "the desktop entry does not start tambrel"
grep -qx 'Icon=tambrel' "$prefix/share/applications/tambrel.desktop" ||
    fail "the desktop entry names no icon tambrel"
[[ -f $prefix/share/icons/hicolor/64x64/apps/tambrel.png ]] || fail "the icon is not installed"
[[ $(readlink "$prefix/bin/tambrel-cli") == ../lib/tambrel/tambrel-cli ]] ||
    fail "bin/tambrel-cli is not a link to lib/tambrel/tambrel-cli"
for page in tambrel tambrel-cli; do
    [[ -f $prefix/share/man/man1/$page.1 ]] || fail "the man page of $page is not installed"
done

export WINEPREFIX=$work/server
python3 "$make_server" "$WINEPREFIX" >/dev/null
# The installed tool finds the window's language libraries beside it.
"$prefix/bin/tambrel-cli" --language DEU | grep -q '^Begr' ||
    fail "the installed tambrel-cli did not give German headings"
# The English page is the one the test expects, whatever the machine's own language.
export LANG=C LC_ALL=C LC_MESSAGES=C
xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$0" "$build_dir" "$make_server" "$close_window" --inside-virtual-display "$prefix" \
    "$work/trace"
echo "PASS: $installed_from put everything in lib/tambrel with a bin link; Help showed the English page"
