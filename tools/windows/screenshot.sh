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
source tools/windows/display.sh
display_start tools/windows/wine-run.sh ru_RU.UTF-8
display_launch "$build/cepomer.exe"
window() { display_window "$1"; }

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
