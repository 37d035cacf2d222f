#!/usr/bin/env bash
# Make 32-bit Windows console programs runnable headless under Wine.
#
# Usage:  tools/wine/setup.sh [BUILD_DIR]
#   BUILD_DIR defaults to $ORVANE_BUILD_DIR, else <repo>/build.
#
# Needs root on Debian 12 (amd64) with reachable Debian mirrors. Idempotent:
# every step first checks whether it is already done, so a second run takes
# a few seconds. Works non-interactively (CI=true, no stdin).
#
# What it ensures:
#   1. packages: wine, wine32:i386 (adds the i386 architecture if missing)
#      and the i686 MinGW cross compiler used by our gauge builds;
#   2. only if the kernel cannot run 32-bit x86 code itself: a qemu-user 10
#      binary from <codename>-backports in /opt/orvane/qemu-10/, registered
#      with binfmt_misc for 32-bit x86 ELF (older qemu makes Wine unusable);
#   3. a win32 Wine prefix in BUILD_DIR/wineprefix, initialised once.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${1:-${ORVANE_BUILD_DIR:-$repo/build}}
mkdir -p "$build"
build=$(cd "$build" && pwd)

work=$build/wine-setup          # logs and apt scratch space
prefix=$build/wineprefix
qemu_dir=/opt/orvane/qemu-10    # outside BUILD_DIR so cleaning a build keeps it
qemu=$qemu_dir/qemu-i386
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
mkdir -p "$work"
log=$work/setup.log
: >"$log"

die() { echo "wine setup: error: $*" >&2; exit 1; }
note() { echo "wine setup: $*"; }

# Run a noisy command with its output in the log; show the log tail on failure.
quiet() {
    if ! "$@" >>"$log" 2>&1; then
        tail -n 30 "$log" >&2
        die "'$*' failed (full log: $log)"
    fi
}

[ "$(id -u)" = 0 ] || die "must run as root (installs packages, registers binfmt)"

# Several checkouts share this machine: one setup at a time. Wine commands
# below get fd 7 closed so no lingering Wine process keeps the lock.
mkdir -p /opt/orvane
exec 7>/opt/orvane/.wine-setup.lock
flock 7
export DEBIAN_FRONTEND=noninteractive
apt_opts=(-qq -o DPkg::Lock::Timeout=600)   # other sessions may hold the lock

# --- 1. packages -----------------------------------------------------------
installed() {
    [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing=()
for p in wine wine32:i386 g++-mingw-w64-i686 binutils-mingw-w64-i686; do
    installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        note "adding the i386 architecture"
        quiet dpkg --add-architecture i386
    fi
    note "installing ${missing[*]} (about a minute)"
    quiet apt-get "${apt_opts[@]}" update
    quiet apt-get "${apt_opts[@]}" install -y --no-install-recommends "${missing[@]}"
fi
[ -x /usr/lib/wine/wine ] || die "/usr/lib/wine/wine missing after install"

# --- 2. qemu-user 10 + binfmt, only where the kernel lacks 32-bit support ----
wine_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Interpreter path of our binfmt entry, empty if there is none.
entry_interp() {
    if [ -e "$entry" ]; then sed -n 's/^interpreter //p' "$entry"; fi
}

# Major version of a qemu binary, 0 if it does not run.
qemu_major() {
    local v
    v=$("$1" --version 2>/dev/null | sed -n '1s/.*version \([0-9]*\)\..*/\1/p') || true
    echo "${v:-0}"
}

# The Debian mirror URI this machine already uses (deb822 or one-line style).
debian_uri() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -e "$f" ] || continue
        # Paragraph mode: first stanza whose Suites names our codename.
        awk -v c="$codename" 'BEGIN{RS=""; FS="\n"}
            { uri=""; ok=0
              for (i=1;i<=NF;i++) {
                if ($i ~ /^URIs:/)   { split($i,a," "); uri=a[2] }
                if ($i ~ /^Suites:/) { n=split($i,s," "); for (j=2;j<=n;j++) if (s[j]==c) ok=1 }
              }
              if (ok && uri!="") { print uri; exit } }' "$f"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -e "$f" ] || continue
        # "deb [opts] URI suite comps": skip the optional [..] block.
        sed -E -n "s/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+${codename}[[:space:]].*/\2/p" "$f"
    done
}

# Download qemu-user from backports with a private apt setup (the machine's
# own apt sources and state stay untouched) and install its qemu-i386.
fetch_qemu() {
    local uri apt=$work/apt arch
    uri=$(debian_uri | head -n 1)
    [ -n "$uri" ] || die "no Debian source for '$codename' in /etc/apt; cannot fetch qemu"
    arch=$(dpkg --print-architecture)
    rm -rf "$apt"
    mkdir -p "$apt/etc/parts" "$apt/state/lists/partial" "$apt/cache/archives/partial" "$apt/deb"
    echo "deb [arch=$arch signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $uri $codename-backports main" \
        >"$apt/etc/sources.list"
    local o=(-o "Dir::Etc::sourcelist=$apt/etc/sources.list"
             -o "Dir::Etc::sourceparts=$apt/etc/parts"
             -o "Dir::State=$apt/state" -o "Dir::State::Lists=$apt/state/lists"
             -o "Dir::State::status=/var/lib/dpkg/status"
             -o "Dir::Cache=$apt/cache" -o "APT::Architectures=$arch"
             -o "APT::Sandbox::User=root")
    note "fetching qemu-user from $codename-backports"
    quiet apt-get -qq "${o[@]}" update
    # Backports' qemu-user ships static binaries: no host libraries needed.
    (cd "$apt/deb" && quiet apt-get -qq "${o[@]}" download qemu-user)
    quiet dpkg-deb -x "$apt/deb"/qemu-user_*.deb "$apt/root"
    local got="$apt/root/usr/bin/qemu-i386"
    [ "$(qemu_major "$got")" -ge 10 ] || die "backports qemu-i386 is not version 10+: $("$got" --version | head -n 1)"
    mkdir -p "$qemu_dir"
    cp "$got" "$qemu.new" && mv -f "$qemu.new" "$qemu"   # atomic replace
    rm -rf "$apt"                                        # the .deb is 60 MB
}

register_binfmt() {
    mountpoint -q "$binfmt" || quiet mount -t binfmt_misc binfmt_misc "$binfmt"
    [ -w "$binfmt/register" ] || die "$binfmt/register not writable (binfmt_misc unavailable?)"
    # 32-bit x86 ELF executables (e_ident class 1, e_machine 3). F: the kernel
    # opens qemu now and keeps it open, so the entry works inside chroots and
    # namespaces, and survives the file being replaced or deleted.
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":qemu-i386:M::$magic:$mask:$qemu:F" >"$binfmt/register" \
        || die "binfmt registration of $qemu failed"
}

# shellcheck source=/dev/null
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
interp=$(entry_interp)
if [ "$interp" = "$qemu" ] && wine_runs; then
    :   # our registration is in place and works
elif [ -z "$interp" ] && wine_runs; then
    :   # the kernel runs 32-bit code natively: no emulation needed
else
    # An entry for another qemu (maybe an older one, or a deleted file) is
    # stale: drop it, then see whether the kernel copes without emulation.
    if [ -n "$interp" ]; then
        note "dropping the binfmt entry for $interp"
        echo -1 >"$entry"
    fi
    if ! wine_runs; then
        [ "$(qemu_major "$qemu")" -ge 10 ] || fetch_qemu
        note "registering $qemu for 32-bit x86 programs (binfmt_misc)"
        register_binfmt
        wine_runs || die "wine still does not start through $qemu"
    fi
fi

# --- 3. Wine prefix ---------------------------------------------------------
# A marker written after a successful wineboot tells a finished prefix from
# one whose initialisation was interrupted (which is then rebuilt).
if [ ! -e "$prefix/.orvane-ready" ]; then
    note "creating Wine prefix $prefix (10-60 s)"
    rm -rf "$prefix"
    export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree=;mshtml="   # no Mono/Gecko install prompts
    unset DISPLAY WAYLAND_DISPLAY
    quiet wine wineboot -i </dev/null 7>&-
    # Crashes should end the program at once, not start the debugger (which
    # takes seconds under emulation and prints nothing useful headless).
    quiet wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f </dev/null 7>&-
    quiet wineserver -w 7>&-  # wait until the registry has been written
    [ -e "$prefix/system.reg" ] || die "wineboot left no registry in $prefix"
    touch "$prefix/.orvane-ready"
fi
