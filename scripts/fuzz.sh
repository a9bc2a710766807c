#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/<name>/ → fuzz_<name>) with clang and runs each one for a
# while from its seed corpus, then prints per target how many inputs it ran, the coverage it
# reached and whether it found anything. Exits non-zero when a target found a fault.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [name ...]   (names without fuzz_)
# Seeds: fuzz/<name>/corpus in the build folder (made by the build) and, when present, in the
# source tree. New inputs and crash files go to <build>/fuzz-runs/<name>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if (($# > 0)); then shift; fi
wanted=("$@")
build_dir=${TAMBREL_FUZZ_BUILD_DIR:-$root/build-fuzz}
jobs=${TAMBREL_JOBS:-2}

"$root/scripts/setup.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# The fuzz preset of CMakePresets.json, in the folder chosen above.
(cd "$root" && cmake --preset fuzz -B "$build_dir" "${launcher[@]}" >/dev/null)

# Only the fuzz targets are built: the rest of the program is not needed here.
mapfile -t targets < <(find "$root/fuzz" -mindepth 2 -maxdepth 2 -name CMakeLists.txt -printf '%h\n' |
    xargs -r -n1 basename | sort)
if ((${#wanted[@]})); then
    targets=("${wanted[@]}")
fi
if ((${#targets[@]} == 0)); then
    echo "No fuzz targets under $root/fuzz"
    exit 0
fi
cmake --build "$build_dir" -j "$jobs" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

summary=()
failed=0
for name in "${targets[@]}"; do
    executable=$build_dir/bin/fuzz_$name
    if [[ ! -x $executable ]]; then
        summary+=("fuzz_$name: not built")
        failed=1
        continue
    fi
    run_dir=$build_dir/fuzz-runs/$name
    mkdir -p "$run_dir/corpus"
    corpora=("$run_dir/corpus")
    for seeds in "$build_dir/fuzz/$name/corpus" "$root/fuzz/$name/corpus"; do
        [[ -d $seeds ]] && corpora+=("$seeds")
    done
    echo "== fuzz_$name for ${seconds}s (corpora: ${corpora[*]})"
    status=0
    # Only what this run writes counts: findings of earlier runs stay for a look but are old news.
    touch "$run_dir/.started"
    "$executable" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$run_dir/" "${corpora[@]}" >"$run_dir/log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run_dir/log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$run_dir/log" | tail -n 1 || true)
    crashes=$(find "$run_dir" -maxdepth 1 -type f -newer "$run_dir/.started" \( -name 'crash-*' \
        -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    if ((status != 0 || crashes > 0)); then
        findings="FOUND $crashes (exit $status; see $run_dir/log)"
        failed=1
        tail -n 40 "$run_dir/log"
    else
        findings="no findings"
    fi
    summary+=("fuzz_$name: ${executions:-?} executions, ${coverage:-no coverage line}, $findings")
done

echo
printf '%s\n' "${summary[@]}"
exit "$failed"
