#!/bin/sh
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe [ARGS...]
#   wine-run.sh --hold    holds the prefix until it is killed: its server,
#                         desktop and services, started by a program with
#                         nothing open (hold-desktop.c). Start it before any
#                         program whose output is read through a pipe: started
#                         by such a program, they would hold the pipe open.
#   wine-run.sh --held PID  waits until the holder with that id holds the prefix
#   wine-run.sh --stop    ends every Wine process of the prefix (the services
#                         Wine starts by itself too), and so its server
#
# Wine takes the Windows user locale (and with it the decimal separator) from
# LC_ALL/LANG when a prefix's server starts, and the server outlives the
# program. So each locale gets a Wine prefix, and a server, of its own:
#   ${CEPOMER_WINE_ROOT:-/var/cache/cepomer/wine}/LOCALE
# made on first use. tools/windows/test.sh holds each prefix for its run and
# ends the holders by their ids.
locale=${LC_ALL:-${LANG:-C}}
root=${CEPOMER_WINE_ROOT:-/var/cache/cepomer/wine}
WINEPREFIX=$root/$(printf '%s' "$locale" | tr -c 'A-Za-z0-9_.-' _)
WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing of ours needs them, and Wine would offer to fetch them.
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$root"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            wineboot --init >/dev/null 2>&1
            wineserver --wait
        fi
    ) 9>"$WINEPREFIX.lock"
fi
case "${1:-}" in
--stop) exec wineserver --kill ;;
--hold)
    holder=$root/hold-desktop.exe
    source=$(dirname "$0")/hold-desktop.c
    if [ ! -f "$holder" ] || [ "$source" -nt "$holder" ]; then
        x86_64-w64-mingw32-gcc-posix -municode -O2 -s -o "$holder.$$" "$source"
        mv "$holder.$$" "$holder"
    fi
    # The ready file is named after this process, which becomes the holder.
    exec wine "$holder" "Z:$(printf '%s' "$WINEPREFIX/held-$$" | tr / '\\')" \
        </dev/null >/dev/null 2>&1
    ;;
--held) # PID: waits until the holder of that id runs
    for _ in $(seq 1200); do
        if [ -e "$WINEPREFIX/held-$2" ]; then
            rm -f "$WINEPREFIX/held-$2"
            exit 0
        fi
        kill -0 "$2" 2>/dev/null || break
        sleep 0.1
    done
    echo "wine-run.sh: the prefix $WINEPREFIX could not be held" >&2
    exit 1
    ;;
esac

exec wine "$@"
