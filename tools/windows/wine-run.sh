#!/bin/sh
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Runs a Windows program under Wine: wine-run.sh PROGRAM.exe [ARGS...]
#   wine-run.sh --server  the Wine server of the locale's prefix, in the
#                         foreground, so that its caller holds its id, and
#                         it outlives every program
#   wine-run.sh --stop    ends every Wine process of the prefix (the services
#                         Wine starts by itself too), then its server
#
# Wine takes the Windows user locale (and with it the decimal separator) from
# LC_ALL/LANG when its server starts, and a prefix's server outlives the
# program. So each locale gets a Wine prefix, and a server, of its own:
#   ${CEPOMER_WINE_ROOT:-/var/cache/cepomer/wine}/LOCALE
# made on first use. tools/windows/test.sh starts the servers beforehand and
# ends them by their ids.
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
--server) exec wineserver --foreground --persistent ;;
--stop) exec wineserver --kill ;;
esac

# The first program of a server's life starts Wine's own services, and they
# inherit its standard output and error: a test's pipe would then stay open
# (and its reader wait) as long as they run. So a program with nothing open
# comes first; where the services run already, it costs a tenth of a second.
wine cmd /c exit </dev/null >/dev/null 2>&1
exec wine "$@"
