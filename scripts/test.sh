#!/usr/bin/env bash
# Sets up, builds and runs every test: a Debug build with warnings as errors, then the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
# A compiler cache makes the second build of the same sources (a new clone, the other pass) quick;
# paths below the checkout are cached relative to it, so any clone's folder shares the cache.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build-debug -DCMAKE_BUILD_TYPE=Debug -DPW_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build-debug -j"$jobs"
ctest --test-dir build-debug --output-on-failure -j"$jobs"

if [ "${PW_SKIP_SANITIZE:-0}" != "1" ]; then
    # The benchmarks were built (and so compile-checked) by the first pass; they have no tests.
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPW_WERROR=ON -DPW_SANITIZE=ON -DPW_BENCH=OFF \
        "${launcher[@]}" >/dev/null
    cmake --build build-asan -j"$jobs"
    ctest --test-dir build-asan --output-on-failure -j"$jobs"
fi

# Every reader's fuzz target for about 30 s on its corpus; a finding fails the run.
if [ "${PW_SKIP_FUZZ:-0}" != "1" ]; then
    PW_FUZZ_SEED=${PW_FUZZ_SEED:-1} bash scripts/fuzz.sh "${PW_FUZZ_SECONDS:-30}"
fi
