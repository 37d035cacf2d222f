#!/usr/bin/env bash
# Builds everything and runs every test: the native suite (with the
# Windows deliverables checked), then the same suite built with
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build.sh
if [ -x tools/wine/setup.sh ] || [ -f tools/wine/setup.sh ]; then
  bash tools/wine/setup.sh build/wine
fi
ctest --test-dir build/linux --output-on-failure -j"$(nproc)"

# Every double-to-integer conversion in modules and host must be defined:
# the same tests once more with UBSan, which aborts on the first fault.
cmake -S . -B build/ubsan -DORVANE_SANITIZE=ON -DORVANE_WIN32=OFF -DCMAKE_BUILD_TYPE=Debug >/dev/null
# The areas whose code converts host values: the host core and the modules.
areas=()
for area in core flight engine electric; do
  ls tests/$area/*.cpp >/dev/null 2>&1 && areas+=("$area")
done
targets=()
for area in "${areas[@]}"; do targets+=(--target "${area}_tests"); done
cmake --build build/ubsan -j"$(nproc)" "${targets[@]}"
labels=$(IFS='|'; echo "${areas[*]}")
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/ubsan --output-on-failure -j"$(nproc)" -L "^($labels)\$"
