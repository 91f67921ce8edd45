#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Debian package into a fresh system of the machine's own Debian
# release (debootstrap, minbase) and starts the installed programs there:
# cepomer-drive, then cepomer once offscreen and once on a private Xvfb of the
# host, whose screenshot is written to deb-check.png.
#   sudo tools/check-deb.sh BUILD_DIR
# Needs debootstrap and the Debian archive this machine's apt uses (whatever
# mirror its sources name); not part of CI.
set -euo pipefail

. "$(dirname "$0")/debian-root.sh"
debian_archive

build=$(realpath "${1:-build}")
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/cepomer_*.deb | head -n 1) # the one just made
root=$(mktemp -d /tmp/cepomer-deb.XXXXXX)
cleanup() {
    umount "$root/tmp/.X11-unix" 2>/dev/null || true
    umount "$root/proc" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    # The system made is removed once nothing of the host is mounted in it.
    if ! mountpoint -q "$root/tmp/.X11-unix" && ! mountpoint -q "$root/proc"; then
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
debootstrap --variant=minbase "$codename" "$root" "$mirror" >/dev/null
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
chroot "$root" bash -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q /tmp/$(basename "$deb")" >/dev/null
answer=$(chroot "$root" bash -c 'printf "screens\n" | cepomer-drive 2>/tmp/drive.err') || true
if [ "$(tail -n 1 <<<"$answer")" != ok ]; then
    echo "installed cepomer-drive failed: $answer"
    cat "$root/tmp/drive.err"
    exit 1
fi
status=0
chroot "$root" bash -c 'QT_QPA_PLATFORM=offscreen timeout 4 cepomer' >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "installed cepomer did not keep running (exit $status)"; exit 1; }

display=":$((150 + RANDOM % 50))"
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp & xvfb=$!
sleep 1
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
chroot "$root" bash -c "DISPLAY=$display timeout 5 cepomer" >/dev/null 2>&1 &
sleep 3
import -display "$display" -window root deb-check.png
convert deb-check.png -trim +repage deb-check.png
echo "installed and started; screenshot in deb-check.png"
