#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs each on its corpus for SECONDS (default 30), one after the other. Fails at the first
# finding; the input that found it is left in build-fuzz/findings/.
#   bash scripts/fuzz.sh [SECONDS] [TARGET ...]     e.g. bash scripts/fuzz.sh 900 ScheduleFile
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
# A fixed seed (PW_FUZZ_SEED) makes a short run repeat the same inputs; long runs leave it unset.
seed_arg=()
[ -z "${PW_FUZZ_SEED:-}" ] || seed_arg=(-seed="$PW_FUZZ_SEED")
[ ${#targets[@]} -gt 0 ] ||
    targets=(ScheduleFile ExchangeText DateText Preferences LinkRecord ProjectFile SessionScript
        ResourceFile ProjectXml P6Xer LinkRules LinkTable Session)

launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPW_FUZZ=ON \
    -DPW_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_targets

mkdir -p build-fuzz/findings
for t in "${targets[@]}"; do
    # New inputs go to a working corpus in the build folder; the seeds in the repository stay.
    work=build-fuzz/corpus/$t
    mkdir -p "$work"
    echo "fuzz: $t for ${seconds}s"
    # A session needs some hundred bytes for its 20 to 200 actions: long inputs from the start.
    length_arg=()
    [ "$t" != Session ] || length_arg=(-max_len=1024 -len_control=0)
    if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
        "build-fuzz/bin/${t}Fuzz" "$work" "Fuzz/corpus/$t" -max_total_time="$seconds" "${seed_arg[@]}" "${length_arg[@]}" \
        -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/findings/$t-" 2>"build-fuzz/$t.log"; then
        tail -n 60 "build-fuzz/$t.log"
        echo "fuzz: $t found a problem (see build-fuzz/$t.log and build-fuzz/findings/)" >&2
        exit 1
    fi
    grep -E "^#[0-9]+.*DONE|stat::number_of_executed_units|cov:" "build-fuzz/$t.log" | tail -n 2
done
echo "fuzz: no findings"
