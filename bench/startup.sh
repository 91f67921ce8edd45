#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Start-up benchmark: cepomer against an empty Qt Widgets window (one label,
# one field, one button), both from the same build, under a private Xvfb
# without a window manager. For each start: the time from exec to the first
# mapped top-level window, and the resident memory one second later. One
# warm-up start of each, then RUNS starts of each, alternating which goes
# first; prints every start, the medians and the ratios.
#
#   bench/startup.sh [BUILD_DIR] [RUNS]      (defaults: build 11)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-11}
probe="$build/bench/startup-probe"
programs=("$build/cepomer" "$build/bench/empty-window")
for f in "$probe" "${programs[@]}"; do
    [ -x "$f" ] || { echo "missing $f: build $build first" >&2; exit 2; }
done

# A private X server on a free display, ended by its PID.
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp 4>"$fifo" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$fifo" "${runtime:-}"' EXIT
read -r display <"$fifo"
export DISPLAY=":$display"
export QT_QPA_PLATFORM=xcb
runtime=$(mktemp -d) # Qt wants a private runtime directory
export XDG_RUNTIME_DIR=$runtime
unset QT_SCALE_FACTOR

start() { "$probe" "$1"; }

for p in "${programs[@]}"; do start "$p" >/dev/null; done # warm-up

declare -A times cpus mems
for ((i = 1; i <= runs; i++)); do
    order=("${programs[@]}")
    if ((i % 2 == 0)); then order=("${programs[1]}" "${programs[0]}"); fi
    for p in "${order[@]}"; do
        read -r ms cpu kb title < <(start "$p")
        printf '%-14s run %2d: %8.2f ms (CPU %6.2f ms) %8d kB  "%s"\n' \
            "$(basename "$p")" "$i" "$ms" "$cpu" "$kb" "$title"
        times[$p]+="$ms "
        cpus[$p]+="$cpu "
        mems[$p]+="$kb "
    done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
t0=$(median <<<"${times[${programs[0]}]}")
t1=$(median <<<"${times[${programs[1]}]}")
c0=$(median <<<"${cpus[${programs[0]}]}")
c1=$(median <<<"${cpus[${programs[1]}]}")
m0=$(median <<<"${mems[${programs[0]}]}")
m1=$(median <<<"${mems[${programs[1]}]}")
echo
printf 'median of %d runs      time to map   (CPU time by then)   resident memory\n' "$runs"
printf '  cepomer             %8.2f ms      (%8.2f ms)       %8d kB\n' "$t0" "$c0" "$m0"
printf '  empty Qt window     %8.2f ms      (%8.2f ms)       %8d kB\n' "$t1" "$c1" "$m1"
awk -v a="$t0" -v b="$t1" -v c="$c0" -v d="$c1" -v e="$m0" -v f="$m1" \
    'BEGIN {printf "  ratio               %8.3f         (%8.3f)          %8.3f\n", a / b, c / d, e / f}'
