#!/usr/bin/env bash
# Configures and builds Tambrel into build/ (or build-sanitize/ with --sanitize).
# (build-tsan/ with --sanitize=thread: the core's test programs only, under ThreadSanitizer).
# Usage: scripts/build.sh [--sanitize | --sanitize=thread] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
targets=()
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
esac
cmake -S "$root" -B "$build_dir" -G Ninja "${cmake_args[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "${TAMBREL_JOBS:-2}" "${targets[@]}"
echo "$build_dir"
