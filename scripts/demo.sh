#!/usr/bin/env bash
# Sets up, builds and runs the demo: the stand-in host with the add-on on the embedded sample.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
exec build/bin/cadhost demo "$@"
