#!/usr/bin/env bash
# Runs the Windows build's ctest suite under Wine in a Wine prefix of its own, made for the run
# and removed after it: wineboot, the sample server's registry keys added with `wine reg add`,
# and the generated sample server on its drive C:. The persistent wineserver is started before
# ctest, detached and silent (Wine's services would otherwise hold ctest's output pipes open),
# and stopped at the end, pass or fail. The last line is ctest's summary.
# Usage: scripts/wine_ctest.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$1
shift

WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tambrel-wine-XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
server=$(mktemp -d "${TMPDIR:-/tmp}/tambrel-server-XXXXXX")
finish() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX" "$server"
}
trap finish EXIT

setsid wineserver -p </dev/null >/dev/null 2>&1
setsid wineboot -i </dev/null >/dev/null 2>&1

# The sample server: its files on drive C:, its keys written the way an installer would.
python3 "$root/scripts/make_sample_server.py" "$server/prefix" >/dev/null
cp -a "$server/prefix/drive_c/Corvel" "$WINEPREFIX/drive_c/Corvel"
machine='HKEY_LOCAL_MACHINE\Software\Quillan'
setsid wine reg add "$machine" /v "Build Number" /t REG_DWORD /d 0x00010012 /f </dev/null >/dev/null 2>&1
setsid wine reg add "$machine" /v "Version Number" /t REG_DWORD /d 0x00030000 /f </dev/null >/dev/null 2>&1
setsid wine reg add "$machine\\Brannock Setup\\1.0\\Properties" /v BrannockRootPath /t REG_SZ \
    /d 'C:\Corvel' /f </dev/null >/dev/null 2>&1
# The Linux tool of the row comparison reads the keys from system.reg: a stopped wineserver has
# written them there.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
grep -q BrannockRootPath "$WINEPREFIX/system.reg" || { echo "wine reg add wrote no keys" >&2; exit 1; }
setsid wineserver -p </dev/null >/dev/null 2>&1
setsid wineboot </dev/null >/dev/null 2>&1
export TAMBREL_SAMPLE_SERVER_LINUX="$server/prefix"
# Names outside ASCII, one the ANSI code page (1252) holds and one it does not, for the
# comparison of the Windows tool's rows with the Linux tool's.
cp "$WINEPREFIX/drive_c/Corvel/Stream Files/Greeting 1001.wav" \
    "$WINEPREFIX/drive_c/Corvel/Stream Files/Greeting Müller.wav"
cp "$WINEPREFIX/drive_c/Corvel/Localize/Prompts/ENU/Standard/welcome.wav" \
    "$WINEPREFIX/drive_c/Corvel/Localize/Prompts/ENU/Standard/Приветствие.wav"

# The Linux tool the comparison runs against, built when it is not there yet.
linux_build=$root/build
if [[ ! -f $linux_build/build.ninja ]]; then
    launcher=()
    command -v ccache >/dev/null &&
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "${launcher[@]}" >/dev/null
fi
cmake --build "$linux_build" -j "${TAMBREL_JOBS:-2}" --target tambrel-cli >/dev/null
export TAMBREL_LINUX_CLI=$linux_build/bin/tambrel-cli

ctest --test-dir "$build_dir" --output-on-failure -j "${TAMBREL_JOBS:-2}" --timeout 600 "$@"
