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
export TAMBREL_SAMPLE_SERVER_LINUX="$server/prefix"

ctest --test-dir "$build_dir" --output-on-failure -j "${TAMBREL_JOBS:-2}" --timeout 600 "$@"
