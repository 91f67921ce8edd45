#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Screenshots of cepomer.exe under Wine, worked with the mouse and keyboard
# (xdotool) on a private Xvfb, in a Russian locale (decimal comma):
#   tools/windows/screenshot.sh [BUILD_DIR] [OUT_DIR]
# The main menu, the reactance calculator in use, and a run-time error. No
# window manager runs, so the windows have no title bars.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-windows}
out=${2:-docs/screenshots}
mkdir -p "$out"
# The program in a Russian locale; the X tools in one that surely exists.
export LC_ALL=C.UTF-8
locale=ru_RU.UTF-8
# A prefix of its own, whose desktop is on this X server.
export CEPOMER_WINE_ROOT=${CEPOMER_WINE_ROOT:-${CEPOMER_CACHE:-/var/cache/cepomer}/wine}-display
run() { LC_ALL=$locale tools/windows/wine-run.sh "$@"; }
tmp=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    run --stop 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$tmp/display")
LC_ALL=$locale tools/windows/wine-run.sh --hold &
pids+=($!)
run --held $!
LC_ALL=$locale tools/windows/wine-run.sh "$build/cepomer.exe" &
pids+=($!)

# The id of the viewable window with this title, waiting up to 30 s.
window() {
    local id
    for _ in $(seq 120); do
        for id in $(LC_ALL=C.UTF-8 xwininfo -root -children | sed -nE "s/^ +(0x[0-9a-f]+) \"$1\".*/\\1/p"); do
            if xwininfo -id "$id" | grep -q 'IsViewable'; then
                echo "$id"
                return
            fi
        done
        sleep 0.25
    done
    echo "no window \"$1\"" >&2
    return 1
}
# A click in the middle of a control: window title, then the control's
# left, top, width and height in twips (15 to a pixel), as the screen
# tables give them.
click() {
    local id x y
    id=$(window "$1")
    eval "$(xwininfo -id "$id" | sed -nE 's/ +Absolute upper-left X: +(-?[0-9]+)/x=\1/p; s/ +Absolute upper-left Y: +(-?[0-9]+)/y=\1/p')"
    press $((x + ($2 + $4 / 2) / 15)) $((y + ($3 + $5 / 2) / 15))
}
# A press and release at X Y, slow enough for Wine to see both.
press() {
    xdotool mousemove "$1" "$2"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.1
    xdotool mouseup 1
    sleep 0.3
}
type_text() {
    xdotool type --delay 50 "$1"
    sleep 0.2
}
shoot() {
    sleep 1
    import -window root "$out/$1.png"
    convert "$out/$1.png" -trim +repage "$out/$1.png"
}

menu="Цепомер"
reactance="расчёт реактивных сопротивлений"
window "$menu" >/dev/null
shoot windows-main-menu

click "$menu" 2850 450 690 240      # cmdXlc
# Before a choice the capacitive reactance is computed, with no C: 1 / 0.
click "$reactance" 75 1275 4290 315 # cmdRun
shoot windows-runtime-error
# The box is the top one (listed first) of the two windows with that title;
# its OK button stands at its bottom right.
box=$(LC_ALL=C.UTF-8 xwininfo -root -children |
    sed -nE "s/^ +(0x[0-9a-f]+) \"$reactance\".*/\1/p" | head -n 1)
eval "$(xwininfo -id "$box" | sed -nE 's/ +Absolute upper-left X: +(-?[0-9]+)/x=\1/p;
    s/ +Absolute upper-left Y: +(-?[0-9]+)/y=\1/p; s/ +Width: +([0-9]+)/w=\1/p;
    s/ +Height: +([0-9]+)/h=\1/p')"
press $((x + w - 52)) $((y + h - 20))
for _ in $(seq 40); do
    xwininfo -id "$box" >/dev/null 2>&1 || break
    sleep 0.25
done
sleep 0.5

click "$reactance" 2550 75 1815 315 # cmdXl
click "$reactance" 2025 900 840 285 # txtL
type_text "0,1"
click "$reactance" 3525 900 840 285 # txtF
type_text "50"
click "$reactance" 75 1275 4290 315 # cmdRun
shoot windows-reactance
