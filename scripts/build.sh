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
build_dir=$root/build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
targets=()
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
case ${1:-} in
--sanitize | --sanitize=address)
    shift
    build_dir=$root/build-sanitize
    cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DTAMBREL_SANITIZE=ON -DTAMBREL_BUILD_BENCHMARKS=OFF)
    ;;
--sanitize=thread)
    shift
    build_dir=$root/build-tsan
    cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBREL_SANITIZE=thread
        -DTAMBREL_BUILD_BENCHMARKS=OFF)
    # The threads are the scan's; Qt is not built for ThreadSanitizer, so the windows stay out.
    targets=(--target scan_tests fault_tests inventory_tests)
    ;;
--windows)
    shift
    build_dir=$root/build-windows
    qt_windows=${TAMBREL_QT_WINDOWS:-$HOME/.cache/tambrel/qt6-mingw}
    if [[ ${1:-} == --with-qt ]]; then
        shift
        qt_windows=$("$root/scripts/build-qt-windows.sh" | tail -n 1)
    fi
    mingw_toolchain=$root/cmake/mingw-w64-x86_64.cmake
    if [[ -x $qt_windows/bin/qt-cmake && -f $qt_windows/.tambrel-build-stamp ]]; then
        echo "Building the core, Tambrel.exe and its installer with Qt for Windows from $qt_windows" >&2
        # Qt's toolchain file finds Qt for the target and hands the rest to ours.
        toolchain=$qt_windows/lib/cmake/Qt6/qt.toolchain.cmake
        cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$toolchain"
            -DQT_CHAINLOAD_TOOLCHAIN_FILE="$mingw_toolchain"
            -DTAMBREL_BUILD_GUI=ON -DTAMBREL_BUILD_BENCHMARKS=OFF)
    else
        echo "Qt for Windows is not built ($qt_windows): building the core and tambrel-cli only," \
            "without Tambrel.exe (scripts/build-qt-windows.sh or --with-qt builds that Qt)" >&2
        toolchain=$mingw_toolchain
        cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$toolchain"
            -DTAMBREL_BUILD_GUI=OFF -DTAMBREL_BUILD_BENCHMARKS=OFF)
    fi
    # A toolchain is taken only when a build folder is first configured: a folder made with
    # the other one is configured afresh (the compiler cache keeps that cheap).
    cache=$build_dir/CMakeCache.txt
    if [[ -f $cache ]] && ! grep -qxF "CMAKE_TOOLCHAIN_FILE:FILEPATH=$toolchain" "$cache" &&
        ! grep -qxF "CMAKE_TOOLCHAIN_FILE:UNINITIALIZED=$toolchain" "$cache"; then
        rm -rf "$cache" "$build_dir/CMakeFiles"
    fi
    ;;
esac
cmake -S "$root" -B "$build_dir" -G Ninja "${cmake_args[@]}" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "${TAMBREL_JOBS:-2}" "${targets[@]}"
echo "$build_dir"
