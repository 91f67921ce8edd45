#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Proves the README's commands on a pristine Debian 12, as a newcomer has it:
# debootstrap's minbase (Debian's own nodejs, no npm, no compiler), with git
# to clone the project. Run as root through tools/setup.sh test-debian.
#
# In a fresh root each, from a clone of this checkout's HEAD:
#   test     tools/setup.sh test, every test
#   run      tools/setup.sh run with no display: builds, then the program
#            says it cannot open one and ends with status 1
#   run-web  tools/setup.sh run-web, until the page is served on port 8080
#
# The minbase root is made once from the mirrors of this machine's own apt
# sources and kept in the cache ($CEPOMER_CACHE, /var/cache/cepomer); each
# command gets a copy of its own, removed afterwards. Each root runs in a
# mount namespace of its own, so nothing stays mounted whatever happens. npm
# inside trusts this machine's certificate bundle (as behind a proxy).
# Takes about 20 minutes on two cores; the roots need about 12 GB at most.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "test-debian: run as root" >&2; exit 2; }
. tools/debian-root.sh
debian_archive
cache=${CEPOMER_CACHE:-/var/cache/cepomer}
base=$cache/debian-$codename-minbase
work=$cache/test-debian
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(test run run-web)

make_base() {
    echo "== debootstrap --variant=minbase $codename from $mirror"
    rm -rf "$base.tmp"
    debootstrap --variant=minbase "$codename" "$base.tmp" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
        { tail -n 20 "$cache/debootstrap.log"; exit 1; }
    debian_sources >"$base.tmp/etc/apt/sources.list.d/debian.sources"
    rm -f "$base.tmp/etc/apt/sources.list"
    # git, as after a clone
    in_root "$base.tmp" bash -c 'apt-get update -q && apt-get install -y -q --no-install-recommends git ca-certificates && apt-get clean' >/dev/null
    mv -T "$base.tmp" "$base"
}

# Runs a command in the root, in a mount namespace of its own with /proc,
# /sys and /dev: mounts that end with the namespace.
in_root() {
    local root=$1
    shift
    cp -L /etc/resolv.conf "$root/etc/resolv.conf"
    cp -L /etc/ssl/certs/ca-certificates.crt "$root/etc/host-ca-certificates.crt"
    unshare --mount --propagation private -- bash -c '
        root=$1; shift
        mount -t proc proc "$root/proc"
        mount --rbind /sys "$root/sys"
        mount --rbind /dev "$root/dev"
        exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            NODE_EXTRA_CA_CERTS=/etc/host-ca-certificates.crt \
            npm_config_cafile=/etc/host-ca-certificates.crt \
            ${http_proxy:+http_proxy=$http_proxy} ${https_proxy:+https_proxy=$https_proxy} "$@"
    ' in-root "$root" "$@"
}

# A fresh copy of the base with the project cloned into /root/cepomer.
fresh_root() {
    local root=$work/$1
    rm -rf "$root"
    mkdir -p "$work"
    cp -a "$base" "$root"
    git clone -q --no-hardlinks "$PWD" "$root/root/cepomer"
    echo "$root"
}

# Installs, builds and serves the page from the root, and waits (an hour at
# most) for http://127.0.0.1:8080/ to answer with it.
check_run_web() {
    local root=$1 status=1 i
    set -m # a process group of its own, ended as one
    in_root "$root" bash -c 'cd /root/cepomer && tools/setup.sh run-web' &
    local pid=$!
    set +m
    for ((i = 0; i < 3600; ++i)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "run-web ended before serving the page" >&2
            break
        fi
        if python3 - <<'EOF' 2>/dev/null; then
import sys, urllib.request
page = urllib.request.urlopen("http://127.0.0.1:8080/", timeout=5).read().decode()
sys.exit(0 if "Цепомер" in page else 1)
EOF
            echo "run-web serves the page on http://127.0.0.1:8080/"
            status=0
            break
        fi
        sleep 1
    done
    kill -- -"$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return "$status"
}

mkdir -p "$cache"
[ -d "$base" ] || make_base
failed=()
for mode in "${modes[@]}"; do
    start=$SECONDS
    echo "== $mode in a pristine Debian 12"
    root=$(fresh_root "$mode")
    case "$mode" in
    test) in_root "$root" bash -c 'cd /root/cepomer && tools/setup.sh test' || failed+=("$mode") ;;
    run)
        status=0
        in_root "$root" bash -c 'cd /root/cepomer && tools/setup.sh run' || status=$?
        if [ "$status" -ne 1 ]; then
            echo "run: status $status, not 1 (built, no display)" >&2
            failed+=("$mode")
        fi
        ;;
    run-web) check_run_web "$root" || failed+=("$mode") ;;
    *) echo "test-debian: no mode $mode" >&2; exit 2 ;;
    esac
    echo "== $mode: $((SECONDS - start)) s"
    rm -rf "$root"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "test-debian: failed: ${failed[*]}" >&2
    exit 1
fi
echo "test-debian: ${modes[*]} pass in a pristine Debian 12"
