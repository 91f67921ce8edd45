#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Set-up on a fresh Debian 12 machine, as root or through sudo. Each command
# installs only the Debian packages it needs (the lists beside this file):
#   tools/setup.sh run           builds and starts the desktop program
#   tools/setup.sh run-web       builds build-web/site/ and serves it on
#                                http://127.0.0.1:8080/ with nginx
#   tools/setup.sh test          builds and runs every test: natively, with
#                                sanitizers, on arm64 (qemu), and on WebAssembly
#                                (Node, and the page in three browser engines)
#   tools/setup.sh test-arm64    the suite on the arm64 cross build alone
#   tools/setup.sh test-web      the WebAssembly build alone, with its tests
#   tools/setup.sh test-windows  the Windows build under Wine, with its zip and
#                                installer (the first run builds Qt: see README)
#   tools/setup.sh test-debian   run, run-web and test, each in a pristine
#                                Debian 12 root of its own (tools/test-debian.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# Installs the packages of the given lists (one a line, "name" or
# "name:arch") that are not installed yet, nor provided by an installed
# package (as a nodejs that comes with its own npm provides npm).
install_packages() {
    local wanted missing=() p provided
    mapfile -t wanted < <(cat "$@" | sed 's/#.*//' | grep -v '^[[:space:]]*$' | sort -u)
    provided=" $(dpkg-query -W -f='${db:Status-Abbrev}|${Provides}\n' | awk -F'|' '$1 ~ /^ii/ { print $2 }' |
        tr ',' '\n' | sed 's/(.*//; s/[[:space:]]//g' | sort -u | tr '\n' ' ') "
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            [[ $provided == *" $p "* ]] || missing+=("$p")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    for p in "${missing[@]}"; do
        if [[ $p == *:* ]] && ! { dpkg --print-architecture; dpkg --print-foreign-architectures; } |
            grep -qx "${p#*:}"; then
            $sudo dpkg --add-architecture "${p#*:}"
        fi
    done
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -q
    local plain=() quiet=()
    for p in "${missing[@]}"; do
        if [[ " ${no_service[*]} " == *" $p "* ]]; then quiet+=("$p"); else plain+=("$p"); fi
    done
    [ ${#plain[@]} -eq 0 ] ||
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${plain[@]}"
    [ ${#quiet[@]} -eq 0 ] || install_without_service "${quiet[@]}"
}

# Packages whose service Debian starts and enables as it installs them: the
# project uses their programs, never a system service.
no_service=(nginx)

# Installs those with the service kept down, in Debian's way: while apt-get
# runs, /usr/sbin/policy-rc.d answers 101 ("action forbidden", see
# invoke-rc.d(8) and /usr/share/doc/init-system-helpers/README.policy-rc.d.gz),
# so the packages' scripts start nothing; an administrator's own policy-rc.d is
# put back afterwards. Then the service is disabled (no start at boot).
# Installed otherwise (by hand, before), a package is left as it is.
install_without_service() {
    local policy=/usr/sbin/policy-rc.d saved="" status=0 p
    if [ -e "$policy" ]; then
        saved=$($sudo mktemp /usr/sbin/policy-rc.d.cepomer.XXXXXX)
        $sudo cp -p "$policy" "$saved"
    fi
    printf '#!/bin/sh\n# tools/setup.sh: no service starts while it installs packages.\nexit 101\n' |
        $sudo tee "$policy" >/dev/null
    $sudo chmod 755 "$policy"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$@" ||
        status=$?
    if [ -n "$saved" ]; then
        $sudo mv -f "$saved" "$policy"
    else
        $sudo rm -f "$policy"
    fi
    [ "$status" -eq 0 ] || return "$status"
    for p in "$@"; do
        [ -e "/etc/init.d/$p" ] && $sudo update-rc.d "$p" disable >/dev/null 2>&1 || true
        [ -e "/lib/systemd/system/$p.service" ] && $sudo systemctl disable "$p.service" >/dev/null 2>&1 ||
            true
    done
}

# Source packages (apt-get source) need deb-src entries; they are made from
# the machine's own deb entries, whatever mirror those name.
ensure_deb_src() {
    local list=/etc/apt/sources.list.d/cepomer-deb-src.sources
    if apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then
        return 0
    fi
    {
        for f in /etc/apt/sources.list.d/*.sources; do
            [ -e "$f" ] && [ "$f" != "$list" ] || continue
            sed -E 's/^Types:.*\bdeb\b.*$/Types: deb-src/' "$f"
            echo
        done
        if [ -f /etc/apt/sources.list ]; then
            grep -E '^deb[[:space:]]' /etc/apt/sources.list |
                sed -E 's/^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+([^[:space:]]+)[[:space:]]+(.*)$/Types: deb-src\nURIs: \2\nSuites: \3\nComponents: \4\n/'
        fi
    } | $sudo tee "$list" >/dev/null
    $sudo apt-get update -q
}

native=(tools/debian-packages.txt tools/test-packages.txt)
web=(tools/web/debian-packages.txt tools/web/test-packages.txt)
case "$mode" in
run)
    install_packages tools/debian-packages.txt
    ;;
test)
    install_packages "${native[@]}" tools/arm64/debian-packages.txt "${web[@]}"
    ;;
test-arm64)
    install_packages "${native[@]}" tools/arm64/debian-packages.txt
    exec bash tools/arm64/test.sh
    ;;
test-web)
    install_packages "${native[@]}" "${web[@]}"
    exec bash tools/web/test.sh
    ;;
run-web)
    install_packages tools/web/debian-packages.txt
    exec bash tools/web/test.sh --serve
    ;;
test-windows)
    install_packages "${native[@]}" tools/windows/debian-packages.txt
    ensure_deb_src
    exec bash tools/windows/test.sh
    ;;
test-debian)
    install_packages tools/test-debian-packages.txt
    exec bash tools/test-debian.sh
    ;;
*)
    echo "usage: tools/setup.sh run|run-web|test|test-arm64|test-web|test-windows|test-debian" >&2
    exit 2
    ;;
esac

build=build
if [ "$mode" = run ]; then
    # The program alone: no tests, so none of their packages.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON -DBUILD_TESTING=OFF
else
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCEPOMER_WERROR=ON -DBUILD_TESTING=ON
fi
cmake --build "$build" --parallel "$(nproc)"

case "$mode" in
run)
    exec "$build/cepomer"
    ;;
test)
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
    # The whole suite again, built by clang with AddressSanitizer and
    # UndefinedBehaviorSanitizer (any report fails), with the libFuzzer
    # targets and a short run of each.
    sanitize=build-sanitize
    cmake -S . -B "$sanitize" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCEPOMER_WERROR=ON \
        -DCMAKE_CXX_COMPILER=clang++-14 -DCEPOMER_FUZZ=ON
    cmake --build "$sanitize" --parallel "$(nproc)"
    ctest --test-dir "$sanitize" --output-on-failure --parallel "$(nproc)"
    # And on 64-bit ARM, where the compiler would fuse multiplications and
    # additions and the flags live elsewhere: the same suite under qemu.
    bash tools/arm64/test.sh
    # And the engine on WebAssembly under Node: the tests without Qt, the web
    # driver's answers compared with the native one's.
    bash tools/web/test.sh
    ;;
esac
