# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Sourced by the test scripts that start services of their own (an X server,
# buses, a compositor) and the program among them: every process started here
# is remembered by its PID and start time and ended, newest first, however the
# run ends; no step waits longer than its own time limit.
#   source processes.sh NAME    makes the work folder $work (cepomer-NAME.*)
#   remember PID NAME           a process just started
#   alive PID / ended PID       whether it still runs
#   wait_until SECONDS WHAT COMMAND...
#   say TEXT / fail TEXT
# The *.log files in $work are shown when the run fails.
work=$(mktemp -d "${TMPDIR:-/tmp}/cepomer-$1.XXXXXX")
started=()         # "PID STARTTIME NAME" of every process started here, oldest first
declare -A start_of # STARTTIME by PID

say() { echo "run.sh: $*" >&2; }

# The start time of a running process (field 22 of /proc/PID/stat), which
# tells it from a later process given the same PID; nothing once it has ended.
starttime() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    stat=${stat##*) }
    # shellcheck disable=SC2086
    set -- $stat
    [ "$1" = Z ] || echo "${20}"
}

remember() { # PID NAME
    start_of[$1]=$(starttime "$1")
    started+=("$1 ${start_of[$1]} $2")
}

running() { # PID STARTTIME
    [ -n "$2" ] && [ "$(starttime "$1")" = "$2" ]
}

# Whether a process started here still runs, or has ended. Waiting is done by polling this,
# not by a blocking wait, which may hold back the handling of SIGTERM.
alive() { # PID
    running "$1" "${start_of[$1]}"
}
ended() { # PID
    ! alive "$1"
}

# The PIDs of the children of a process.
children() { # PID
    local parent=$1 stat rest
    for stat in /proc/[0-9]*/stat; do
        rest=$(cat "$stat" 2>/dev/null) || continue
        rest=${rest##*) }
        # shellcheck disable=SC2086
        set -- $rest
        [ "$2" = "$parent" ] && { stat=${stat#/proc/}; echo "${stat%/stat}"; }
    done
}

# Ends the processes started here, newest first: SIGTERM, then SIGKILL after
# 5 s; shows the logs in the work folder if the run failed, and removes it.
cleanup() {
    local status=$?
    trap - EXIT INT TERM HUP
    local i pid start name deadline
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        read -r pid start name <<<"${started[i]}"
        running "$pid" "$start" || continue
        kill -TERM "$pid" 2>/dev/null
        deadline=$((SECONDS + 5))
        while running "$pid" "$start" && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
        if running "$pid" "$start"; then
            say "$name ($pid) did not end on SIGTERM; killing it"
            kill -KILL "$pid" 2>/dev/null
        fi
    done
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        read -r pid start name <<<"${started[i]}"
        wait "$pid" 2>/dev/null
    done
    if [ "$status" -ne 0 ]; then
        for log in "$work"/*.log; do
            [ -s "$log" ] && { echo "--- $(basename "$log")"; cat "$log"; } >&2
        done
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

fail() {
    say "$*"
    exit 1
}

# Waits up to SECONDS for COMMAND to succeed, trying every 50 ms.
wait_until() { # SECONDS WHAT COMMAND...
    local deadline=$((SECONDS + $1)) what=$2
    shift 2
    until "$@"; do
        [ $SECONDS -lt $deadline ] || fail "timed out waiting for $what"
        sleep 0.05
    done
}
