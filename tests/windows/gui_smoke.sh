#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# cepomer.exe under Wine, on a private X server, maps its main menu window.
#   gui_smoke.sh WINE_RUN CEPOMER_EXE
set -euo pipefail
run=$1
exe=$2
# A prefix of its own, whose desktop is on this X server.
export CEPOMER_WINE_ROOT=${CEPOMER_WINE_ROOT:-/var/cache/cepomer/wine}-display
tmp=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    "$run" --stop 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$tmp/display" ] && break
    sleep 0.1
done
[ -s "$tmp/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$tmp/display")
"$run" --hold &
pids=($! "${pids[@]}")
"$run" --held "${pids[0]}"

"$run" "$exe" >"$tmp/out" 2>"$tmp/err" &
pids=($! "${pids[@]}")

# The main menu is the one viewable top-level window titled "Цепомер".
for _ in $(seq 240); do
    if ! kill -0 "${pids[0]}" 2>/dev/null; then
        echo "cepomer.exe ended before showing its window:"
        cat "$tmp/err"
        exit 1
    fi
    for id in $(LC_ALL=C.UTF-8 xwininfo -root -children | sed -nE 's/^ +(0x[0-9a-f]+) "Цепомер".*/\1/p'); do
        if xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
            xwininfo -id "$id" | grep -E 'Width|Height'
            echo "1 passed, 0 failed"
            exit 0
        fi
    done
    sleep 0.25
done
echo "no main menu window within a minute; windows:"
xwininfo -root -children
echo "0 passed, 1 failed"
exit 1
