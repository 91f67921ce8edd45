#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Screenshots of the program's screens under a private Xvfb.
#   tools/screenshot.sh BUILD_DIR OUT_DIR [SCALE]
# Each screen is opened through the desktop driver (tests/cepomer-desktop-drive:
# the driver's commands, with the desktop's windows) on the X server, the whole
# screen is captured with ImageMagick's import and trimmed to the window.
set -euo pipefail
build=${1:-build}
out=${2:-docs/screenshots}
scale=${3:-1}
mkdir -p "$out"
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

shoot() { # name, then drive commands
    local name=$1
    shift
    {
        printf '%s\n' "$@"
        sleep 1.5
        import -display "$display" -window root "$out/$name${suffix}.png"
        # No window manager runs: the window stands alone on a black root.
        convert "$out/$name${suffix}.png" -trim +repage "$out/$name${suffix}.png"
    } | DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale LC_ALL=ru_RU.UTF-8 \
        "$build/tests/cepomer-desktop-drive" >/dev/null
}
suffix=$([ "$scale" = 1 ] && echo "" || echo "@${scale}x")
shoot main-menu
shoot cross-section 'click frmCepomer.cmdS' 'type frmS.txtD 1,5' 'click frmS.cmdRun'
shoot ohm-law 'click frmCepomer.cmdIURP' 'click frmIURP.cmdI' 'click frmIURP.cmdUR' \
    'type frmIURP.txtU 10' 'type frmIURP.txtR 4,7' 'click frmIURP.cmdRun'
shoot reactance 'click frmCepomer.cmdXlc' 'click frmX.cmdXl' 'type frmX.txtL 0,1' \
    'type frmX.txtF 50' 'click frmX.cmdRun'
shoot impedance 'click frmCepomer.cmdZ' 'click frmZ.cmdRL' 'type frmZ.txtR 30' \
    'type frmZ.txtL 0,1' 'type frmZ.txtF 50' 'click frmZ.cmdRun'
shoot fusing-current 'click frmCepomer.cmdIplav' 'click frmIplavl.cmdMed' \
    'click frmIplavl.cmd02' 'click frmIplavl.cmdId' 'type frmIplavl.txtD 0,5' \
    'click frmIplavl.cmdRun'
