#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Drives the real cepomer the way assistive technology does. Starts a private
# X server, a private D-Bus session bus, the AT-SPI bus launcher and registry,
# then cepomer with its accessibility bridge on, runs the AT-SPI client
# (client.py) against it and checks that "выход" ends the program with status
# 0. Every process started here is ended here, by its PID, however the run
# ends; no step waits longer than its own time limit.
#
#   run.sh [EMULATOR...] BUILD/cepomer LOCALE SEPARATOR
#     EMULATOR   a cross build's emulator and its arguments (qemu-aarch64), which
#                cepomer is started through. It must run the program in its
#                own process (or exec it): the client finds the program by
#                that process's PID.
#     LOCALE     LC_ALL for cepomer, e.g. C.UTF-8 or ru_RU.UTF-8
#     SEPARATOR  the decimal separator its results are expected with: . or ,
set -uo pipefail

if [ $# -lt 3 ]; then
    echo "usage: $0 [EMULATOR...] BUILD/cepomer LOCALE SEPARATOR" >&2
    exit 2
fi
emulator=("${@:1:$#-3}")
set -- "${@: -3}"
cepomer=$(realpath "$1")
locale=$2
separator=$3
here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
registryd=/usr/libexec/at-spi2-registryd
python=/usr/bin/python3 # Debian's, which python3-pyatspi is installed for

# shellcheck source=../lib/processes.sh
source "$here/../lib/processes.sh" a11y
# The bus launcher's own bus daemon is among the processes ended at the end:
# the launcher ends it itself, and if it does not, it is ended there.

for tool in Xvfb dbus-daemon dbus-send timeout "$launcher" "$registryd" "$python" \
    ${emulator[0]:+"${emulator[0]}"}; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup.sh installs it)"
done

# An environment of our own: nothing reaches a desktop session, its buses or
# its settings.
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work/runtime
export GSETTINGS_BACKEND=memory
mkdir -m 700 "$XDG_RUNTIME_DIR"

# 1. The X server, on the first free display, whose number it writes when ready.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" \
    </dev/null >"$work/xvfb.log" 2>&1 &
remember $! Xvfb
display_ready() { grep -q '^[0-9]' "$work/display"; }
wait_until 15 "the X server" display_ready
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

# 2. The session bus, on a socket of our own. Unlike the standard session bus
# it starts no service on demand: each process on it is one started here, and
# a service that failed to start is missed, not silently replaced.
cat >"$work/session.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/session-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/session.conf" --nofork \
    --print-address=3 3>"$work/session-address" </dev/null >"$work/dbus.log" 2>&1 &
remember $! dbus-daemon
address_ready() { grep -q '^unix:' "$work/session-address"; }
wait_until 10 "the session bus" address_ready
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/session-address")
export DBUS_SESSION_BUS_ADDRESS

# 3. The accessibility bus, through its launcher: it answers GetAddress once
# the bus daemon it starts is up.
"$launcher" --launch-immediately --a11y=1 </dev/null >"$work/launcher.log" 2>&1 &
launcher_pid=$!
remember $launcher_pid at-spi-bus-launcher
a11y_ready() {
    a11y_bus=$(dbus-send --session --print-reply=literal --reply-timeout=2000 \
        --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ')
    [ -n "$a11y_bus" ]
}
wait_until 10 "the accessibility bus" a11y_ready
# Its bus daemon goes before it in the list, so that the launcher, ended
# first, ends its daemon itself.
launcher_entry=${started[-1]}
unset 'started[-1]'
for pid in $(children $launcher_pid); do
    remember "$pid" "accessibility bus daemon"
done
started+=("$launcher_entry")

# 4. The registry, where applications and clients meet; started before anyone
# asks for it, so that the bus never starts one of its own.
"$registryd" </dev/null >"$work/registryd.log" 2>&1 &
remember $! at-spi2-registryd
registry_ready() {
    dbus-send --bus="$a11y_bus" --print-reply=literal --reply-timeout=2000 \
        --dest=org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner \
        string:org.a11y.atspi.Registry 2>/dev/null | grep -q true
}
wait_until 10 "the accessibility registry" registry_ready

# 5. The program, on that X server, with its accessibility bridge always on.
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=$locale \
    "${emulator[@]}" "$cepomer" </dev/null >"$work/cepomer.log" 2>&1 &
cepomer_pid=$!
remember $cepomer_pid cepomer

# 6. The client, which ends by pressing "выход": 60 s at most.
timeout --kill-after=5 60 "$python" "$here/client.py" --pid "$cepomer_pid" \
    --separator "$separator" </dev/null &
client_pid=$!
remember $client_pid client
wait_until 70 "the client" ended $client_pid
wait $client_pid
client=$?
[ "$client" -eq 0 ] || fail "the client failed (status $client)"

# 7. "выход" ends the program, with status 0.
wait_until 10 "cepomer to end after \"выход\"" ended $cepomer_pid
wait "$cepomer_pid"
status=$?
[ "$status" -eq 0 ] || fail "cepomer ended with status $status"
say "cepomer ended with status 0"
