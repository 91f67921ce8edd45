#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Debian package into a fresh Debian 12 (debootstrap, minbase)
# and starts the installed program there, once offscreen and once on a
# private Xvfb of the host, whose screenshot is written to deb-check.png.
#   sudo tools/check-deb.sh BUILD_DIR
# Needs debootstrap and the network to the Debian mirror; not part of CI.
set -euo pipefail
build=$(realpath "${1:-build}")
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/cepomer_*.deb | head -n 1)
root=$(mktemp -d /tmp/cepomer-deb12.XXXXXX)
cleanup() {
    umount "$root/tmp/.X11-unix" 2>/dev/null || true
    umount "$root/proc" 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
chroot "$root" bash -c "apt-get update -q && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q /tmp/$(basename "$deb")" >/dev/null
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
