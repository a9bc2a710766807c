#!/usr/bin/env bash
# Configures and builds Tambrel into build/ (build-sanitize/ with --sanitize, build-tsan/ with
# --sanitize=thread: the core's scan, fault and inventory tests under ThreadSanitizer,
# build-windows/ with --windows: the Qt-free core, the command-line tool and their tests for
# 64-bit Windows, built with mingw-w64) and prints that folder as its last line.
# Usage: scripts/build.sh [--sanitize|--sanitize=thread|--windows] [extra cmake arguments...]
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
    cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
        -DTAMBREL_BUILD_GUI=OFF -DTAMBREL_BUILD_BENCHMARKS=OFF)
    ;;
esac
cmake -S "$root" -B "$build_dir" -G Ninja "${cmake_args[@]}" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "${TAMBREL_JOBS:-2}" "${targets[@]}"
echo "$build_dir"
