#!/usr/bin/env bash
# Configures and builds Tambrel into build/ (or build-sanitize/ with --sanitize).
# Usage: scripts/build.sh [--sanitize] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$root/build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [[ ${1:-} == --sanitize ]]; then
    shift
    build_dir=$root/build-sanitize
    cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DTAMBREL_SANITIZE=ON -DTAMBREL_BUILD_BENCHMARKS=OFF)
fi
cmake -S "$root" -B "$build_dir" -G Ninja "${cmake_args[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "${TAMBREL_JOBS:-2}"
echo "$build_dir"
