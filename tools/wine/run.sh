#!/usr/bin/env bash
# Run a 32-bit Windows console program headless under Wine.
#
# Usage:  tools/wine/run.sh [BUILD_DIR] PROGRAM.exe [ARGS...]
#         tools/wine/run.sh [BUILD_DIR] --stop     (end the idle Wine server)
#
#   BUILD_DIR  the folder given to setup.sh (its wineprefix/ is used). Taken
#              from the first argument when that is a directory, else from
#              $ORVANE_BUILD_DIR, else <repo>/build.
#   ORVANE_WINE_LINGER  seconds the Wine server and its helper processes stay
#              up after the last program ends (default 30). Starting them
#              costs ~3-4 s per run under emulation, reusing them ~0.4 s.
#              0 = shut them down after every run (unless other runs of
#              this prefix are still going).
#
# The program's stdout has its CR line endings stripped; stderr passes
# through untouched; stdin is passed through. The exit status is the
# program's (Windows exit codes are truncated to 8 bits, as by any Unix
# shell: 0xC0000005 becomes 5); run.sh's own errors exit with 125.
# Run setup.sh once before.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
if [ $# -ge 1 ] && [ -d "$1" ]; then
    build=$1; shift
else
    build=${ORVANE_BUILD_DIR:-$repo/build}
fi
die() { echo "wine run: error: $*" >&2; exit 125; }
[ $# -ge 1 ] || die "usage: run.sh [BUILD_DIR] PROGRAM.exe [ARGS...] | --stop"

export WINEPREFIX
WINEPREFIX=$(cd "$build" 2>/dev/null && pwd)/wineprefix || die "no build folder $build"
[ -e "$WINEPREFIX/.orvane-ready" ] || die "no Wine prefix in $build: run tools/wine/setup.sh $build"
export WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=d"  # no Mono/Gecko prompts; a crash just exits
unset DISPLAY WAYLAND_DISPLAY                # headless: no window system
linger=${ORVANE_WINE_LINGER:-30}
[[ $linger =~ ^[0-9]+$ ]] || die "ORVANE_WINE_LINGER must be a number of seconds"

# Every run holds this lock shared; whoever shuts the server down takes it
# exclusively, so a shutdown never kills another run's program. Wine
# commands get the lock fds closed ("8>&- 9>&-"): a lingering server that
# inherited them would hold the locks and block later runs.
exec 8>"$WINEPREFIX/.orvane-run.lock"
if [ "$1" = --stop ]; then
    flock -x 8
    wineserver -k 2>/dev/null 8>&- || true
    exit 0
fi
flock -s 8

prog=$1; shift
[ -f "$prog" ] || die "no such program: $prog"

# A closed stdin would let Wine reuse fd 0 for its own files.
{ true <&0; } 2>/dev/null || exec </dev/null

if [ "$linger" -gt 0 ]; then
    # Wine's helper processes (services, explorer, ...) inherit the stderr of
    # the process that starts them and live as long as the server. Start
    # them from a detached dummy program so they never hold the caller's
    # pipes open (a "$(run.sh ...)" would otherwise wait for them).
    # wineserver exits with 2 when a server for this prefix already runs.
    {
        flock -x 9
        rc=0; wineserver -p"$linger" </dev/null >/dev/null 2>&1 8>&- 9>&- || rc=$?
        if [ "$rc" = 0 ]; then
            wine hostname </dev/null >/dev/null 2>&1 8>&- 9>&- || true
        fi
    } 9>"$WINEPREFIX/.orvane-start.lock"
fi

# Console output of MinGW programs ends lines in CRLF; -u keeps it streaming.
set +e
wine "$prog" "$@" 8>&- | sed -u 's/\r$//'
status=("${PIPESTATUS[@]}")
set -e

if [ "$linger" = 0 ] && flock -n -x 8; then
    wineserver -k 2>/dev/null 8>&- || true
fi
exit "${status[0]}"
