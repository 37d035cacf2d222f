#!/usr/bin/env bash
# Prove that the Wine setup can run our kind of Windows programs: cross-build
# a tiny DLL (data export via .def, bitmap + version resources) and a console
# program that loads it, run the program through run.sh, check its output.
#
# Usage:  tools/wine/selftest.sh [BUILD_DIR]
#   BUILD_DIR defaults to $ORVANE_BUILD_DIR, else <repo>/build. Runs setup.sh
#   first (a no-op taking well under a second once everything is in place).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:-${ORVANE_BUILD_DIR:-$repo/build}}
mkdir -p "$build"
build=$(cd "$build" && pwd)
src=$here/selftest
out=$build/wine-selftest
mkdir -p "$out"

fail() { echo "wine selftest: FAIL: $*" >&2; exit 1; }

"$here/setup.sh" "$build"

# 2x2 24-bit bitmap, generated so the repo holds no binary files.
# File header, BITMAPINFOHEADER, then two rows of 2 BGR pixels + 2 pad bytes.
printf '%b' 'BM\x46\0\0\0\0\0\0\0\x36\0\0\0' \
    '\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0\0\0\0\0\x10\0\0\0\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0' \
    '\0\0\xff\0\xff\0\0\0' '\xff\0\0\xff\xff\xff\0\0' >"$out/selftest.bmp"

cxx=i686-w64-mingw32-g++
# Same flags as our gauge builds: no MinGW runtime DLLs needed at run time,
# and no link timestamp so rebuilds are byte-identical.
# shellcheck disable=SC2054  # the comma belongs to -Wl,...
flags=(-O2 -Wall -Wextra -Werror -static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
command -v "$cxx" >/dev/null || fail "$cxx not found (setup.sh installs it)"
i686-w64-mingw32-windres -I "$out" "$src/selftest_dll.rc" -O coff -o "$out/selftest_dll_res.o"
"$cxx" "${flags[@]}" -shared -o "$out/selftest_dll.dll" \
    "$src/selftest_dll.cpp" "$src/selftest_dll.def" "$out/selftest_dll_res.o"
"$cxx" "${flags[@]}" -o "$out/selftest_main.exe" "$src/selftest_main.cpp" -lversion

# Expected output: the bitmap resource is the file minus its 14-byte header
# (56 bytes; 145 from the info header + 6 * 255 from the pixels = 1675).
cat >"$out/expected.txt" <<'EOF'
arg 1: two words
arg 2: /a/unix/path
LoadLibrary: ok
data: magic=4F52564E name=orvane-selftest
bitmap: 2x2 24 bpp, 56 bytes, byte sum 1675
version: 1.2.3.4
description: Orvane Wine self-test DLL
done
EOF

rc=0
"$here/run.sh" "$build" "$out/selftest_main.exe" "two words" /a/unix/path >"$out/actual.txt" || rc=$?
[ "$rc" = 0 ] || { cat "$out/actual.txt"; fail "selftest_main.exe exited with $rc"; }
if grep -q $'\r' "$out/actual.txt"; then fail "run.sh left CR characters in the output"; fi
diff -u "$out/expected.txt" "$out/actual.txt" || fail "unexpected output (above)"

rc=0
"$here/run.sh" "$build" "$out/selftest_main.exe" exit 42 >/dev/null || rc=$?
[ "$rc" = 42 ] || fail "exit code not propagated: got $rc, want 42"

echo "wine-selftest: 2 passed, 0 failed"
