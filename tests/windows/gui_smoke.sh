#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# cepomer.exe under Wine, on a private X server, maps its main menu window.
#   gui_smoke.sh WINE_RUN CEPOMER_EXE
set -euo pipefail
run=$1
exe=$2
# shellcheck source=../../tools/windows/display.sh
source "$(dirname "$run")/display.sh"
display_start "$run" "${LC_ALL:-C}"
display_launch "$exe"
if id=$(display_window "Цепомер"); then
    xwininfo -id "$id" | grep -E 'Width|Height'
    echo "1 passed, 0 failed"
else
    LC_ALL=C.UTF-8 xwininfo -root -children
    echo "0 passed, 1 failed"
    exit 1
fi
