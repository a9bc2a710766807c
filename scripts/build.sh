#!/usr/bin/env bash
# Configures and builds Tambrel into build/ (build-sanitize/ with --sanitize, build-windows/ with
# --windows: the Qt-free core, the command-line tool and their tests for 64-bit Windows, built
# with mingw-w64) and prints that folder as its last line.
# Usage: scripts/build.sh [--sanitize|--windows] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [[ ${1:-} == --sanitize ]]; then
    shift
    build_dir=$root/build-sanitize
    cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DTAMBREL_SANITIZE=ON -DTAMBREL_BUILD_BENCHMARKS=OFF)
elif [[ ${1:-} == --windows ]]; then
    shift
    build_dir=$root/build-windows
    cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
        -DTAMBREL_BUILD_GUI=OFF -DTAMBREL_BUILD_BENCHMARKS=OFF)
fi
cmake -S "$root" -B "$build_dir" -G Ninja "${cmake_args[@]}" "${launcher[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "${TAMBREL_JOBS:-2}"
echo "$build_dir"
