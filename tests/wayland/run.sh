#!/usr/bin/env bash

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Cepomer as a native Wayland client. Starts a private headless weston (its
# desktop shell, software rendering, in a runtime directory of its own) and
# runs one of:
#
#   run.sh session [EMULATOR...] BUILD/tests/cepomer-desktop-drive
#       scenario transcripts through the driver's protocol on the desktop front
#       end with QT_QPA_PLATFORM=wayland:
#       every screen opened, results, run-time errors with their messages, the
#       close boxes, "выход";
#   run.sh program [EMULATOR...] BUILD/cepomer
#       the program itself, until the compositor has mapped its main menu; its
#       standard error must stay empty.
#
# In both, every Qt warning is made fatal (QT_FATAL_WARNINGS), so a warning
# fails the run even where the driver keeps Qt's messages off its output: the
# compositor places the windows, and nothing may warn about that. EMULATOR is a
# cross build's emulator (qemu-aarch64) that the program starts through. Every
# process started here is ended here, by its PID, however the run ends.
set -uo pipefail

if [ $# -lt 2 ] || { [ "$1" != session ] && [ "$1" != program ]; }; then
    echo "usage: $0 session|program [EMULATOR...] BUILD/tests/cepomer-desktop-drive|BUILD/cepomer" >&2
    exit 2
fi
mode=$1
shift
emulator=("${@:1:$#-1}")
program=$(realpath "${@: -1}")
here=$(cd "$(dirname "$0")" && pwd)
scenarios=$here/../scenarios

# Together: every screen opened, a result and run-time errors on each
# calculator, the close box of every screen, and "выход".
transcripts=(
    shell/protocol_example shell/main_menu shell/close_box
    cross_section/failures fusing_current/failures impedance/failures
    ohm_law/failures reactance/failures
)

# shellcheck source=../lib/processes.sh
source "$here/../lib/processes.sh" wayland

for tool in weston python3 ${emulator[0]:+"${emulator[0]}"}; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup.sh installs it)"
done

# An environment of our own: nothing reaches a desktop session.
unset DISPLAY WAYLAND_DISPLAY WAYLAND_SOCKET QT_QPA_PLATFORM QT_WAYLAND_SHELL_INTEGRATION
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=cepomer-wayland

# The compositor. Its protocol log shows when its desktop shell is up and when
# the program's window is mapped.
weston --backend=headless-backend.so --use-pixman --width=1280 --height=1024 \
    --socket="$socket" --no-config --idle-time=0 --logger-scopes=log,proto \
    --log="$work/weston.log" </dev/null >"$work/weston-output.log" 2>&1 &
weston_pid=$!
remember "$weston_pid" weston
compositor_ready() {
    alive "$weston_pid" || fail "weston did not start"
    [ -S "$XDG_RUNTIME_DIR/$socket" ] &&
        grep -q ' rq weston_desktop_shell@[0-9]*\.desktop_ready()' "$work/weston.log"
}
wait_until 20 "the compositor and its desktop shell" compositor_ready

export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland QT_FATAL_WARNINGS=1
# A sanitizer build records whole allocation stacks: what Qt's Wayland client
# and Mesa keep until exit is told from the program's own leaks by its library
# frames, which the frame-pointer unwinder does not reach. Others ignore this.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0

if [ "$mode" = session ]; then
    failed=0
    for name in "${transcripts[@]}"; do
        python3 "$here/../run_scenario.py" "${emulator[@]}" "$program" \
            "$scenarios/$name.scn" </dev/null >"$work/transcript.log" 2>&1 &
        pid=$!
        remember "$pid" "transcript $name"
        wait_until 150 "transcript $name" ended "$pid"
        wait "$pid"
        status=$?
        unset 'started[-1]'
        if [ $status -ne 0 ]; then
            say "$name failed on Wayland:"
            cat "$work/transcript.log" >&2
            grep -q 'exited with -6' "$work/transcript.log" &&
                say "(a Qt warning, made fatal here, may have ended the driver, whose" \
                    "message handler does not print it)"
            grep -q 'TimeoutExpired' "$work/transcript.log" &&
                say "(the driver did not end: Qt 6.4's Wayland client can hang in its" \
                    "teardown at exit, its event thread left waiting in" \
                    "wl_display_read_events)"
            failed=1
        fi
    done
    [ $failed -eq 0 ] || fail "transcripts failed on Wayland"
    say "${#transcripts[@]} transcripts passed on Wayland"
    exit 0
fi

# The program: its main menu ("Цепомер") is mapped once the compositor has
# configured the window, the program has acknowledged that and attached a
# buffer to it.
"${emulator[@]}" "$program" </dev/null >"$work/cepomer-output.log" 2>"$work/cepomer.log" &
cepomer_pid=$!
remember "$cepomer_pid" cepomer
menu_mapped() {
    alive "$cepomer_pid" || fail "cepomer ended before its main menu was shown"
    awk '/ rq xdg_toplevel@[0-9]+\.set_title\("Цепомер"\)/ { client = $4 }
         client != "" && $4 == client && / rq xdg_surface@[0-9]+\.ack_configure\(/ { acked = 1 }
         acked && $4 == client && / rq wl_surface@[0-9]+\.attach\(wl_buffer@/ { found = 1; exit }
         END { exit !found }' "$work/weston.log"
}
wait_until 60 "the main menu on the compositor" menu_mapped
# Time for what the program does once its event loop runs (the icon).
sleep 1
alive "$cepomer_pid" || fail "cepomer ended after showing its main menu"
if [ -s "$work/cepomer.log" ]; then
    say "cepomer wrote to standard error on Wayland:"
    cat "$work/cepomer.log" >&2
    exit 1
fi
say "cepomer showed its main menu on Wayland without a message"
