#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# The command line of a program, without a display: --help and --version
# answer on standard output with status 0; an unknown option or a stray
# argument gets a message on standard error, nothing on standard output and
# status 2. For the desktop front end's driver, which needs no display, Qt's
# own options reach Qt. The program itself, started with no display at all,
# says so in one line and ends with status 1.
#
#   options.sh [EMULATOR...] PROGRAM VERSION
#     EMULATOR  a cross build's emulator and its arguments (qemu-aarch64, wine)
#     PROGRAM   cepomer, cepomer-drive or tests/cepomer-desktop-drive of the build
#     VERSION   the version it must report
set -uo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 [EMULATOR...] PROGRAM VERSION" >&2
    exit 2
fi
emulator=("${@:1:$#-2}")
program=$(realpath "${@: -2:1}")
version=${@: -1}
name=$(basename "$program" .exe)
work=$(mktemp -d "${TMPDIR:-/tmp}/cepomer-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
ulimit -c 0 # Qt aborts when it cannot start a platform

fail() {
    echo "FAIL: $name $*" >&2
    failures=$((failures + 1))
}

# Runs the program with the arguments given, standard input from $input, and
# sets $status, $out and $err (line ends of a Windows console made LF).
input=/dev/null
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
        "${emulator[@]}" "$program" "$@" <"$input" >"$work/out" 2>"$work/err"
    status=$?
    out=$(tr -d '\r' <"$work/out")
    err=$(tr -d '\r' <"$work/err")
}

for option in --version -v; do
    run "$option"
    [ "$status" -eq 0 ] || fail "$option: status $status"
    [ "$out" = "$name $version" ] || fail "$option: printed '$out'"
    [ -z "$err" ] || fail "$option: wrote to standard error: $err"
done

for option in --help -h; do
    run "$option"
    [ "$status" -eq 0 ] || fail "$option: status $status"
    [ "$(head -n1 <<<"$out")" = "Usage: $name [options]" ] || fail "$option: no usage: $out"
    grep -q -- '--version' <<<"$out" || fail "$option: --version not listed: $out"
    [ -z "$err" ] || fail "$option: wrote to standard error: $err"
done

for arguments in --no-such-option -x stray "-- stray" "--help=yes" "-style"; do
    # shellcheck disable=SC2086 # the arguments are words
    run $arguments
    [ "$status" -eq 2 ] || fail "$arguments: status $status"
    [ -z "$out" ] || fail "$arguments: wrote to standard output: $out"
    grep -q "^$name: .*'" <<<"$err" || fail "$arguments: no message naming it: $err"
    grep -qF "Try '$name --help'." <<<"$err" || fail "$arguments: no hint: $err"
done

if [ "$name" = cepomer ] && [[ $program != *.exe ]]; then
    # No display named at all, and one named that is not there.
    for arguments in "" "-display :97"; do
        # shellcheck disable=SC2086
        run $arguments
        [ "$status" -eq 1 ] || fail "without a display ($arguments): status $status"
        [ -z "$out" ] || fail "without a display ($arguments): wrote to standard output: $out"
        [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "^cepomer: .*display" <<<"$err" ||
            fail "without a display ($arguments): not one line naming the display: $err"
    done
fi

if [ "$name" = cepomer-desktop-drive ]; then
    echo screens >"$work/in"
    input=$work/in
    for arguments in "-platform offscreen" "--platform=offscreen" "-style=fusion" \
        "--style fusion" "-reverse"; do
        # shellcheck disable=SC2086
        run $arguments
        [ "$status" -eq 0 ] || fail "$arguments: status $status: $err"
        grep -q '^frmCepomer shown ' <<<"$out" || fail "$arguments: no main menu: $out"
    done
    # Written with an equals sign, the value still reaches Qt, which stops.
    run --platform=no-such-platform
    [ "$status" -ne 0 ] || fail "--platform=no-such-platform: not passed to Qt"
fi

[ "$failures" -eq 0 ] || exit 1
echo "$name: options answered without a display"
