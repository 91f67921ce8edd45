# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Sourced by the scripts that show cepomer.exe under Wine on a private X
# server (the main-window test, the screenshots):
#   display_start WINE_RUN LOCALE  starts Xvfb and holds a Wine prefix of its
#                                  own (CEPOMER_WINE_ROOT, with "-display"),
#                                  whose desktop is on that server
#   display_launch PROGRAM [ARGS]  runs PROGRAM there in the background, its
#                                  output in $display_tmp/out and .../err
#   display_window TITLE           the id of the viewable window with that
#                                  title, once the program has mapped it
# On exit every process started here is ended by its id, newest first, then
# Wine's own services, and the scratch folder is removed.
export CEPOMER_WINE_ROOT=${CEPOMER_WINE_ROOT:-${CEPOMER_CACHE:-/var/cache/cepomer}/wine}-display
display_tmp=$(mktemp -d)
display_pids=()
display_run=
display_locale=C
display_program=

display_end() {
    local i
    for ((i = ${#display_pids[@]} - 1; i >= 0; i--)); do
        kill "${display_pids[i]}" 2>/dev/null || true
        wait "${display_pids[i]}" 2>/dev/null || true
    done
    [ -z "$display_run" ] || LC_ALL=$display_locale "$display_run" --stop 2>/dev/null || true
    rm -rf "$display_tmp"
}
trap display_end EXIT

display_start() {
    display_run=$1
    display_locale=$2
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
        3>"$display_tmp/display" 2>"$display_tmp/xvfb.log" &
    display_pids+=($!)
    for _ in $(seq 100); do
        [ -s "$display_tmp/display" ] && break
        sleep 0.1
    done
    [ -s "$display_tmp/display" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(cat "$display_tmp/display")
    LC_ALL=$display_locale "$display_run" --hold &
    display_pids+=($!)
    LC_ALL=$display_locale "$display_run" --held $!
}

display_launch() {
    LC_ALL=$display_locale "$display_run" "$@" >"$display_tmp/out" 2>"$display_tmp/err" &
    display_program=$!
    display_pids+=($!)
}

display_window() {
    local id
    for _ in $(seq 240); do
        if ! kill -0 "$display_program" 2>/dev/null; then
            echo "the program ended before showing \"$1\":" >&2
            cat "$display_tmp/err" >&2
            return 1
        fi
        for id in $(LC_ALL=C.UTF-8 xwininfo -root -children |
            sed -nE "s/^ +(0x[0-9a-f]+) \"$1\".*/\\1/p"); do
            if xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.25
    done
    echo "no window \"$1\" within a minute" >&2
    return 1
}
