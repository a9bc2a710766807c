#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, and runs every test.
# Usage: scripts/test.sh [--sanitize|--sanitize=thread|--windows]
#   --sanitize:         the whole suite under ASan and UBSan
#   --sanitize=thread:  the scan's, the fault and the inventory tests under ThreadSanitizer
#   --windows:          the Windows build's suite under Wine, in a throw-away Wine prefix; with
#                       Qt for Windows built, also Tambrel.exe's package installed, used, upgraded
#                       and removed under Wine. That Qt is built first when it is missing (about
#                       15 minutes on two cores); TAMBREL_BUILD_QT_WINDOWS=0 skips it, and with it
#                       the window's tests
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
extra=()
# The Windows window's exports are held against the Linux build's rows where there is one.
if [[ ${1:-} == --windows && -x $root/build/bin/tambrel-cli ]]; then
    extra=(-DTAMBREL_LINUX_CLI="$root/build/bin/tambrel-cli")
fi
arguments=("$@")
# Qt for Windows is built first where it is missing, so that every run, CI's on a new machine too,
# builds and tries Tambrel.exe, the program the users run.
if [[ ${1:-} == --windows && ${TAMBREL_BUILD_QT_WINDOWS:-1} == 1 ]]; then
    arguments=(--windows --with-qt "${@:2}")
fi
build_dir=$("$root/scripts/build.sh" "${arguments[@]}" "${extra[@]}" | tail -n 1)
if [[ ${1:-} == --sanitize=thread ]]; then
    export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
    status=0
    for program in scan_tests fault_tests inventory_tests registry_fault_tests localize_fault_tests; do
        echo "== $program under ThreadSanitizer"
        "$build_dir/bin/$program" --gtest_brief=1 || status=1
    done
    exit $status
fi

if [[ ${1:-} == --windows ]]; then
    # The window test installs the Windows Installer package and then a newer one over it.
    if grep -qx 'TAMBREL_BUILD_GUI:BOOL=ON' "$build_dir/CMakeCache.txt"; then
        cmake --build "$build_dir" --target package msi msi_upgrade_test
    elif [[ ${TAMBREL_BUILD_QT_WINDOWS:-1} == 1 ]]; then
        echo "FAIL: the Windows build has no Tambrel.exe although Qt for Windows was built" >&2
        exit 1
    else
        echo "SKIPPED: the window tests of Tambrel.exe under Wine, as Qt for Windows is not built" \
            "(TAMBREL_BUILD_QT_WINDOWS=0 was set)"
    fi
    exec "$root/scripts/wine_ctest.sh" "$build_dir"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# Qt and fontconfig keep some allocations for the life of the process.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}
exclude=()
# The end-to-end tests watch the program with strace, and LeakSanitizer cannot run under ptrace;
# they run in the plain build.
[[ ${1:-} == --sanitize* ]] && exclude=(-E '^e2e_')
ctest --test-dir "$build_dir" --output-on-failure -j "${TAMBREL_JOBS:-2}" --timeout 600 "${exclude[@]}"
