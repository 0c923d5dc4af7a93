#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs each on its corpus for SECONDS (default 30), as many at once as there are cores. Fails at the
# first finding; the input that found it is left in build-fuzz/findings/.
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
# One target on its corpus; its log is build-fuzz/<target>.log.
fuzz_one() {
    local t=$1
    # New inputs go to a working corpus in the build folder; the seeds in the repository stay.
    local work=build-fuzz/corpus/$t
    mkdir -p "$work"
    # A session needs some hundred bytes for its 20 to 200 actions: long inputs from the start.
    local length_arg=()
    [ "$t" != Session ] || length_arg=(-max_len=1024 -len_control=0)
    ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
        "build-fuzz/bin/${t}Fuzz" "$work" "Fuzz/corpus/$t" -max_total_time="$seconds" "${seed_arg[@]}" "${length_arg[@]}" \
        -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/findings/$t-" 2>"build-fuzz/$t.log"
}

# Each target is single-threaded, so as many run side by side as the machine has cores; the
# result of each is printed when it ends, and the first finding fails the run.
slots=$(nproc)
declare -A running=()
failed=""
wait_for_one() {
    local pid=""
    if wait -n -p pid "${!running[@]}"; then
        echo "fuzz: ${running[$pid]} ran ${seconds}s"
        grep -E "^#[0-9]+.*DONE|stat::number_of_executed_units|cov:" "build-fuzz/${running[$pid]}.log" | tail -n 2 || true
    else
        tail -n 60 "build-fuzz/${running[$pid]}.log"
        echo "fuzz: ${running[$pid]} found a problem (see build-fuzz/${running[$pid]}.log and build-fuzz/findings/)" >&2
        failed="$failed ${running[$pid]}"
    fi
    unset "running[$pid]"
}
for t in "${targets[@]}"; do
    [ -z "$failed" ] || break
    [ "${#running[@]}" -lt "$slots" ] || wait_for_one
    [ -z "$failed" ] || break
    fuzz_one "$t" &
    running[$!]=$t
done
while [ "${#running[@]}" -gt 0 ]; do wait_for_one; done
[ -z "$failed" ] || exit 1
echo "fuzz: no findings"
