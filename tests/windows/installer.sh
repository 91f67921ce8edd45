#!/usr/bin/env bash
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The installer under Wine, in a fresh prefix (a user who never had the
# program): "setup.exe /S" installs for the current user every file of STAGE
# and the uninstaller, a Start-menu entry and an entry among the installed
# programs; "uninstall.exe /S" removes every one of them.
#   installer.sh WINE_RUN SETUP_EXE STAGE
set -euo pipefail
run=$1
setup=$2
stage=$3
export CEPOMER_WINE_ROOT
CEPOMER_WINE_ROOT=$(mktemp -d)
# Wine names Unix files in the locale's charset: UTF-8, as every Windows does.
export LC_ALL=C.UTF-8
holder=""
cleanup() {
    if [ -n "$holder" ]; then
        kill "$holder" 2>/dev/null || true
        wait "$holder" 2>/dev/null || true
        "$run" --stop
    fi
    rm -rf "$CEPOMER_WINE_ROOT"
}
trap cleanup EXIT
"$run" --hold &
holder=$!
"$run" --held "$holder"

win() { "$run" "$@" | tr -d '\r'; }
unix_path() { win winepath.exe -u "$1"; }
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Cepomer'
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

dir=$(unix_path "$(win cmd /c echo %LOCALAPPDATA%)\\Programs\\Cepomer")
# (The Cyrillic name would not survive the console's code page: added here.)
link=$(unix_path "$(win cmd /c echo %APPDATA%)\\Microsoft\\Windows\\Start Menu\\Programs")/Цепомер.lnk
mapfile -t files < <(cd "$stage" && find . -type f | sed 's|^\./||' | sort)
files+=(uninstall.exe)

"$run" "$setup" /S
for f in "${files[@]}"; do
    [ -f "$dir/$f" ] || fail "not installed: $f"
done
extra=$(cd "$dir" && find . -type f | sed 's|^\./||' | sort | comm -23 - <(printf '%s\n' "${files[@]}" | sort))
[ -z "$extra" ] || fail "installed but not expected: $extra"
[ -f "$link" ] || fail "no Start-menu entry"
win reg query "$key" /v UninstallString | grep -q 'uninstall.exe' || fail "no uninstall entry"
cmp -s "$stage/cepomer.exe" "$dir/cepomer.exe" || fail "cepomer.exe differs from the one built"

# The uninstaller runs a copy of itself from the temporary folder and returns
# at once; the folder goes when that copy has finished.
"$run" "$dir/uninstall.exe" /S
for _ in $(seq 120); do
    [ -e "$dir" ] || break
    sleep 0.5
done
[ ! -e "$dir" ] || fail "left behind: $(cd "$dir" && find . | tr '\n' ' ')"
[ ! -e "$link" ] || fail "Start-menu entry left behind"
if win reg query "$key" >/dev/null 2>&1; then fail "uninstall entry left behind"; fi

echo "$((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed"
[ "$failures" -eq 0 ]
