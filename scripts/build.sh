#!/usr/bin/env bash
# Configures and builds Tambrel into build/ (build-sanitize/ with --sanitize, build-tsan/ with
# --sanitize=thread: the core's scan, fault and inventory tests under ThreadSanitizer,
# build-windows/ with --windows: the Qt-free core, the command-line tool and their tests for
# 64-bit Windows, built with mingw-w64, and Tambrel.exe with its installer when a static Qt for
# Windows has been built by scripts/build-qt-windows.sh; --windows --with-qt builds that Qt first
# when it is missing) and prints that folder as its last line.
# Usage: scripts/build.sh [--sanitize|--sanitize=thread|--windows [--with-qt]] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The configurations are the presets of CMakePresets.json (plain, sanitize, thread, windows,
# windows-qt); this picks one, adds the compiler cache, and builds.
preset=plain
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
case ${1:-} in
--sanitize | --sanitize=address)
    shift
    preset=sanitize
    ;;
--sanitize=thread)
    shift
    # The threads are the scan's; Qt is not built for ThreadSanitizer, so the windows stay out.
    preset=thread
    ;;
--windows)
    shift
    qt_windows=${TAMBREL_QT_WINDOWS:-$HOME/.cache/tambrel/qt6-mingw}
    if [[ ${1:-} == --with-qt ]]; then
        shift
        qt_windows=$("$root/scripts/build-qt-windows.sh" | tail -n 1)
    fi
    if [[ -x $qt_windows/bin/qt-cmake && -f $qt_windows/.tambrel-build-stamp ]]; then
        echo "Building the core, Tambrel.exe and its installer with Qt for Windows from $qt_windows" >&2
        # Qt's toolchain file finds Qt for the target and hands the rest to ours.
        export TAMBREL_QT_WINDOWS=$qt_windows
        preset=windows-qt
        toolchain=$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake
    else
        echo "Qt for Windows is not built ($qt_windows): building the core and tambrel-cli only," \
            "without Tambrel.exe (scripts/build-qt-windows.sh or --with-qt builds that Qt)" >&2
        preset=windows
        toolchain=$root/cmake/mingw-w64-x86_64.cmake
    fi
    # A toolchain is taken only when a build folder is first configured: a folder made with
    # the other one is configured afresh (the compiler cache keeps that cheap).
    cache=$root/build-windows/CMakeCache.txt
    if [[ -f $cache ]] && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$cache" &&
        ! grep -qxF "CMAKE_TOOLCHAIN_FILE:UNINITIALIZED=$toolchain" "$cache"; then
        rm -rf "$cache" "$root/build-windows/CMakeFiles"
    fi
    ;;
esac
cd "$root"
# The folder is the preset's, as the configure step reports it.
build_dir=$(cmake --preset "$preset" "${launcher[@]}" "$@" |
    sed -n 's/^-- Build files have been written to: //p')
cmake --build --preset "$preset" -j "${TAMBREL_JOBS:-2}"
echo "$build_dir"
