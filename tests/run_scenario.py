#!/usr/bin/env python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Runs one scenario transcript through cepomer-drive and compares the answers.

A transcript holds commands (lines starting with "> ") each followed by the
exact answer expected from the driver, or by "<no answer>" for a command the
driver must not read (after "ended"). Lines starting with "#" are comments;
"@locale NAME" sets LC_ALL for the run (C when absent). Blank lines are ignored.

    run_scenario.py [EMULATOR...] BUILD/cepomer-drive tests/scenarios/NAME.scn

Every argument before the transcript makes up the command that starts the
driver, so that a cross build's driver starts through its emulator (qemu,
Wine). The driver's output is compared byte for byte: it must be UTF-8, and
its lines end in "\n" alone. The driver runs on the offscreen platform unless
QT_QPA_PLATFORM is set.
"""
import os
import subprocess
import sys

FINAL = ("ok", "refused", "error", "ended")
NO_ANSWER = "<no answer>"  # expected after "ended": the driver reads no further command


def parse(path):
    locale, steps = "C", []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line.startswith("@locale "):
                locale = line.split(None, 1)[1].strip()
            elif line.startswith("> "):
                steps.append((number, line[2:], []))
            elif line.startswith("#") or not line.strip():
                continue
            elif not steps:
                sys.exit(f"{path}:{number}: answer before the first command")
            else:
                steps[-1][2].append(line)
    return locale, steps


def answers(output):
    """Splits the driver's output into answers, each ending in a final line."""
    result, current = [], []
    for line in output.split("\n"):
        if line == "" and not current:
            continue
        current.append(line)
        if line.split(" ", 1)[0] in FINAL:
            result.append(current)
            current = []
    if current:
        result.append(current)
    return result


def shown(line):
    """A line as printed in a report: quoted when it holds a control character."""
    return line if line.isprintable() else repr(line)


def main():
    if len(sys.argv) < 3:
        sys.exit(f"usage: {sys.argv[0]} [EMULATOR...] BUILD/cepomer-drive TRANSCRIPT")
    drive, path = sys.argv[1:-1], sys.argv[-1]
    locale, steps = parse(path)
    env = dict(os.environ, LC_ALL=locale)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    commands = "".join(command + "\n" for _, command, _ in steps)
    run = subprocess.run(drive, input=commands.encode("utf-8"), capture_output=True,
                         env=env, timeout=120)
    failures = 0
    try:
        got = answers(run.stdout.decode("utf-8"))
    except UnicodeDecodeError as error:
        failures += 1
        print(f"{path}: the driver's output is not UTF-8: {error}")
        got = []
    mismatches = 0
    for index, (number, command, expected) in enumerate(steps):
        actual = got[index] if index < len(got) else [NO_ANSWER]
        if actual != expected:
            mismatches += 1
            print(f"{path}:{number}: > {command}")
            print("  expected:\n    " + "\n    ".join(map(shown, expected)))
            print("  got:\n    " + "\n    ".join(map(shown, actual)))
    if len(got) > len(steps):
        failures += 1
        print(f"{path}: unexpected answers after the last command: {got[len(steps):]}")
    if run.returncode != 0:
        failures += 1
        stderr = run.stderr.decode("utf-8", errors="replace")
        print(f"{path}: cepomer-drive exited with {run.returncode}: {stderr}")
    failures += mismatches
    print(f"{len(steps) - mismatches} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
