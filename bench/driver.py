#!/usr/bin/env python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Benchmark of cepomer-drive: start-up, time per command and peak memory.

    bench/driver.py [--runs N] [--commands K] DRIVER [DRIVER ...]

Each DRIVER is a command line, split as a shell would split it but run without
a shell: a program path ("build/cepomer-drive") or a program with its words
("node build-web/cepomer-drive.js"). Every driver runs with LC_ALL=C, and
without QT_QPA_PLATFORM, so that a Qt driver runs as it chooses to.

For every driver, one warm-up, then N runs; the drivers take turns run by run,
each run starting with a different one, so that noise on the machine falls on
all alike. A run is two processes:

- start-up: `screens` is written; the time from exec to its answer, then
  standard input is closed and the time from exec to exit is taken as well;
- script: `screens` and then a script of K commands that works the five
  calculators as a user would (a calculator opened from the main menu, its
  choices clicked, values typed, "расчёт" clicked, the screen dumped, back to
  the menu by its button or its close box, with run-time errors such as a
  division by zero on the way), written at once through the pipe; the time
  from the answer to `screens` to the answer to the last command, divided by
  K. The peak resident memory is that of this process (its ru_maxrss).

The answers of every run must equal, byte for byte, those of the first
driver's warm-up: a difference stops the benchmark with status 1 and shows
the first differing answer. The medians of the N runs are printed as a
Markdown table, with each figure's ratio to the first driver's.
"""

import argparse
import os
import random
import re
import selectors
import shlex
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

# Longest a driver may stay silent while an answer is awaited.
SILENCE_TIMEOUT_S = 30.0

# A line that ends an answer, as cepomer-drive(1) lists them.
FINAL_LINE = re.compile(rb"^(?:ok|ended|refused .*|error .*)$", re.MULTILINE)


class Failure(Exception):
    """A driver misbehaved: the benchmark stops and says why."""


# --- The script ------------------------------------------------------------


def number(rng, low, high, digits=3):
    """A value between low and high, written as a user types it."""
    value = rng.uniform(low, high)
    if value >= 100 or rng.random() < 0.3:
        return str(round(value))
    return f"{value:.{rng.randint(1, digits)}f}".rstrip("0").rstrip(".") or "0"


def small(rng, exponents):
    """A capacitance or inductance: "4.7e-6", "0.0001", "22E-9"..."""
    mantissa = rng.choice(["1", "2.2", "3.3", "4.7", "6.8", "10", "22", "47"])
    exponent = rng.choice(exponents)
    form = rng.random()
    if form < 0.4:
        return f"{mantissa}e{exponent}"
    if form < 0.6:
        return f"{mantissa}E{exponent}"
    return f"{float(mantissa) * 10.0 ** exponent:.12f}".rstrip("0")


def leave(screen, back_button, rng):
    """Back to the main menu by the screen's button, sometimes by its close box."""
    commands = [f"close {screen}" if rng.random() < 0.2 else f"click {screen}.{back_button}"]
    if rng.random() < 0.15:
        commands.append("screens")
    return commands


def ohm_law(rng):
    pairs = {"I": ["UR", "PR", "PU"], "U": ["PR", "IR", "PI"], "R": ["PU", "PI", "IU"],
             "P": ["UR", "IR", "IU"]}
    quantity = rng.choice("IURP")
    pair = rng.choice(pairs[quantity])
    c = ["click frmCepomer.cmdIURP", f"click frmIURP.cmd{quantity}", f"click frmIURP.cmd{pair}"]
    for attempt in range(rng.choice([1, 1, 2, 3])):
        for field in pair:
            # I from U and R with R = 0 divides by zero.
            if field == "R" and quantity == "I" and rng.random() < 0.2:
                c.append("type frmIURP.txtR 0")
            elif attempt == 0 or rng.random() < 0.5:
                c.append(f"type frmIURP.txt{field} {number(rng, 0.1, 500)}")
        c += ["click frmIURP.cmdRun", "dump frmIURP"]
    return c + leave("frmIURP", "cmdMenu", rng)


def reactance(rng):
    kind, field = rng.choice([("Xc", "C"), ("Xl", "L")])
    c = ["click frmCepomer.cmdXlc", f"click frmX.cmd{kind}"]
    for attempt in range(rng.choice([1, 1, 2, 3])):
        if attempt == 0 or rng.random() < 0.5:
            c.append(f"type frmX.txtF {rng.choice(['50', '60', '400', '1000', number(rng, 1, 1e5)])}")
        if field == "C" and rng.random() < 0.15:
            c.append("type frmX.txtC 0")  # 1 / 0
        else:
            c.append(f"type frmX.txt{field} {small(rng, [-9, -6, -3, -2] if field == 'C' else [-6, -3, -1, 0])}")
        c += ["click frmX.cmdRun", "dump frmX"]
    return c + leave("frmX", "cmdGp", rng)


def impedance(rng):
    circuit = rng.choice(["RC", "RL", "RLC", "RCp", "RLp"])
    c = ["click frmCepomer.cmdZ", f"click frmZ.cmd{circuit}"]
    for attempt in range(rng.choice([1, 1, 2])):
        # F = 0 makes the capacitive reactance 1 / 0.
        frequency = "0" if "C" in circuit and rng.random() < 0.15 else rng.choice(["50", "60", number(rng, 1, 5000)])
        c.append(f"type frmZ.txtF {frequency}")
        c.append(f"type frmZ.txtR {number(rng, 1, 1000)}")
        if "L" in circuit:
            c.append(f"type frmZ.txtL {small(rng, [-3, -2, -1])}")
        if "C" in circuit:
            c.append(f"type frmZ.txtC {small(rng, [-7, -6, -5])}")
        c += ["click frmZ.cmdRun", "dump frmZ"]
    return c + leave("frmZ", "cmdGm", rng)


def fusing_current(rng):
    wire_range = rng.choice(["002", "02"])
    material = rng.choice(["Med", "Latun", "Velezo"] if wire_range == "002" else ["Med", "Velezo", "Alluminiy"])
    first, second = ("Id", "DI") if rng.random() < 0.6 else ("DI", "Id")
    c = ["click frmCepomer.cmdIplav"]
    # The material and the range, in either order.
    choices = [f"click frmIplavl.cmd{material}", f"click frmIplavl.cmd{wire_range}"]
    if rng.random() < 0.3:
        choices.reverse()
    c += choices
    for direction in [first, second][: rng.choice([1, 1, 2])]:
        if direction == second:  # the chosen range again frees both directions
            c.append(f"click frmIplavl.cmd{wire_range}")
        c.append(f"click frmIplavl.cmd{direction}")
        if direction == "Id":
            diameter = number(rng, 0.002, 0.2, 4) if wire_range == "002" else number(rng, 0.2, 5)
            if rng.random() < 0.1:
                diameter = "-" + diameter  # the root of a negative cube
            c.append(f"type frmIplavl.txtD {diameter}")
        else:
            c.append(f"type frmIplavl.txtI {number(rng, 0.5, 200)}")
        c += ["click frmIplavl.cmdRun", "dump frmIplavl"]
    return c + leave("frmIplavl", "cmdGp", rng)


def cross_section(rng):
    c = ["click frmCepomer.cmdS"]
    for _ in range(rng.choice([1, 2, 3])):
        # Beyond the Single range the rounding of d overflows.
        diameter = "1e39" if rng.random() < 0.1 else number(rng, 0.05, 30)
        c += [f"type frmS.txtD {diameter}", "click frmS.cmdRun", "dump frmS"]
    return c + leave("frmS", "cmdGm", rng)


def script(count):
    """count commands, the same for every driver and every run."""
    rng = random.Random(20240101)
    calculators = [ohm_law, reactance, impedance, fusing_current, cross_section]
    commands = []
    while len(commands) < count:
        commands += rng.choice(calculators)(rng)
    # Any prefix of a session is valid: the script may stop in its middle.
    return commands[:count]


# --- Running a driver --------------------------------------------------------


class Run:
    """One process of a driver: its answers, times (s from exec) and memory."""

    def __init__(self, argv, env, text, answers_timed, close_after_first):
        self.argv = argv
        self.output = b""
        self.stderr = b""
        self.first = self.last = self.exit = 0.0
        self.maxrss_kb = 0
        self._run(env, text, answers_timed, close_after_first)

    def _run(self, env, text, answers_timed, close_after_first):
        with tempfile.TemporaryFile() as err:
            start = time.perf_counter()
            # A session of its own: a driver that fails is ended with all it started.
            proc = subprocess.Popen(self.argv, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=err, env=env,
                                    start_new_session=True)
            try:
                self._talk(proc, start, text, answers_timed, close_after_first)
            finally:
                if proc.returncode is None:
                    os.killpg(proc.pid, signal.SIGKILL)
                    proc.wait()
            err.seek(0)
            self.stderr = err.read()
        if proc.returncode != 0:
            raise Failure(f"{shlex.join(self.argv)} exited with status {proc.returncode}" + self.stderr_tail())

    def _talk(self, proc, start, text, answers_timed, close_after_first):
        data = text.encode()
        writer = None
        if close_after_first:
            proc.stdin.write(data)
            proc.stdin.flush()
        else:
            # A thread writes, so that a full pipe either way cannot block both sides.
            writer = threading.Thread(target=self._write, args=(proc.stdin, data), daemon=True)
            writer.start()
        fd = proc.stdout.fileno()
        chunks = []
        tail = b""
        answers = 0
        with selectors.DefaultSelector() as selector:
            selector.register(fd, selectors.EVENT_READ)
            while True:
                if not selector.select(SILENCE_TIMEOUT_S):
                    raise Failure(f"{shlex.join(self.argv)} wrote nothing for {SILENCE_TIMEOUT_S:.0f} s")
                chunk = os.read(fd, 1 << 16)
                now = time.perf_counter()
                if not chunk:
                    break
                chunks.append(chunk)
                complete, _, tail = (tail + chunk).rpartition(b"\n")
                if not complete:
                    continue
                found = len(FINAL_LINE.findall(complete + b"\n"))
                if found and answers == 0:
                    self.first = now - start
                    if close_after_first:
                        proc.stdin.close()
                answers += found
                if found and answers >= answers_timed:
                    self.last = now - start
        _, status, usage = os.wait4(proc.pid, 0)
        self.exit = time.perf_counter() - start
        proc.returncode = os.waitstatus_to_exitcode(status)
        self.maxrss_kb = usage.ru_maxrss
        if writer:
            writer.join()
        proc.stdout.close()
        self.output = b"".join(chunks)

    @staticmethod
    def _write(pipe, data):
        try:
            pipe.write(data)
            pipe.close()
        except BrokenPipeError:
            pass  # the driver ended early: its answers will say so

    def stderr_tail(self):
        if not self.stderr:
            return ""
        lines = self.stderr.decode(errors="replace").splitlines()
        return "\n  standard error:\n    " + "\n    ".join(lines[-10:])


def answers_of(output):
    """The answers of an output, each the list of its lines."""
    answers, current = [], []
    for line in output.split(b"\n")[:-1]:
        current.append(line)
        if FINAL_LINE.fullmatch(line):
            answers.append(current)
            current = []
    if current:
        answers.append(current)
    return answers


def compare(reference, run, commands, reference_driver):
    """Stops at the first answer of run that differs from reference."""
    if run.output == reference:
        return
    expected, got = answers_of(reference), answers_of(run.output)
    for i in range(max(len(expected), len(got))):
        want = expected[i] if i < len(expected) else [b"<no answer>"]
        have = got[i] if i < len(got) else [b"<no answer>"]
        if want != have:
            command = commands[i] if i < len(commands) else "<after the last command>"
            # The lines where they differ, at most five.
            lines = [j for j in range(max(len(want), len(have))) if want[j : j + 1] != have[j : j + 1]][:5]
            shown = "\n".join(
                f"  {name}:\n    "
                + "\n    ".join(answer[j].decode(errors="replace") if j < len(answer) else "<no line>" for j in lines)
                for name, answer in ((reference_driver, want), (shlex.join(run.argv), have))
            )
            raise Failure(f"the answers differ at command {i + 1}, {command!r}:\n{shown}{run.stderr_tail()}")
    raise Failure(f"the output of {shlex.join(run.argv)} differs (line ends?){run.stderr_tail()}")


def check_script_answers(output, count):
    """The reference itself: every command answered, none refused."""
    answers = answers_of(output)
    finals = [a[-1] for a in answers]
    if len(answers) != count or not FINAL_LINE.fullmatch(finals[-1]):
        raise Failure(f"{count} commands, {len(answers)} answers")
    refused = [i for i, f in enumerate(finals) if f.startswith((b"refused", b"ended"))]
    if refused:
        raise Failure(f"the script does not fit the program: answer {refused[0] + 1} is {finals[refused[0]]!r}")


# --- Measuring and reporting -------------------------------------------------


def fmt(value, reference, digits):
    ratio = value / reference if reference else float("nan")
    return f"{value:.{digits}f} ({ratio:.2f}×)"


def main():
    parser = argparse.ArgumentParser(
        description="cepomer-drive: start-up, time per command and peak memory of several drivers, "
        "which must all give the same answers.")
    parser.add_argument("--runs", type=int, default=21, help="measured runs per driver (default 21)")
    parser.add_argument("--commands", type=int, default=3000, help="commands of the timed script (default 3000)")
    parser.add_argument("drivers", nargs="+", metavar="DRIVER",
                        help='a command line, e.g. "node build-web/cepomer-drive.js"')
    args = parser.parse_args()
    if args.runs < 1 or args.commands < 1:
        parser.error("--runs and --commands must be at least 1")

    drivers = []
    for line in args.drivers:
        argv = shlex.split(line)
        if not argv or not shutil.which(argv[0]):
            parser.error(f"not a program: {line!r}")
        drivers.append(argv)
    env = dict(os.environ, LC_ALL="C")
    env.pop("QT_QPA_PLATFORM", None)  # a Qt driver on the platform it picks itself
    commands = ["screens"] + script(args.commands)
    text = "".join(c + "\n" for c in commands)
    names = [shlex.join(d) for d in drivers]

    def startup(argv):
        return Run(argv, env, "screens\n", 1, close_after_first=True)

    def timed(argv):
        return Run(argv, env, text, len(commands), close_after_first=False)

    try:
        # Warm-up; the first driver's answers are the reference for every run.
        first_start, first_script = startup(drivers[0]), timed(drivers[0])
        check_script_answers(first_script.output, len(commands))
        for argv, name in zip(drivers, names):
            s, t = (first_start, first_script) if argv is drivers[0] else (startup(argv), timed(argv))
            compare(first_start.output, s, ["screens"], names[0])
            compare(first_script.output, t, commands, names[0])
            if s.stderr or t.stderr:
                print(f"note: {name} writes to standard error:{(s.stderr and s or t).stderr_tail()}", file=sys.stderr)

        figures = {name: {"first": [], "exit": [], "command": [], "memory": []} for name in names}
        for i in range(args.runs):
            order = list(range(len(drivers)))
            order = order[i % len(order):] + order[: i % len(order)]
            for d in order:
                s, t = startup(drivers[d]), timed(drivers[d])
                compare(first_start.output, s, ["screens"], names[0])
                compare(first_script.output, t, commands, names[0])
                f = figures[names[d]]
                f["first"].append(s.first * 1e3)
                f["exit"].append(s.exit * 1e3)
                f["command"].append((t.last - t.first) / args.commands * 1e6)
                f["memory"].append(t.maxrss_kb)
            if sys.stderr.isatty():
                print(f"run {i + 1}/{args.runs}", end="\r", file=sys.stderr, flush=True)
    except Failure as failure:
        print(f"bench/driver.py: {failure}", file=sys.stderr)
        return 1

    medians = {name: {k: statistics.median(v) for k, v in f.items()} for name, f in figures.items()}
    base = medians[names[0]]
    errors = sum(1 for line in first_script.output.split(b"\n") if line.startswith(b"error "))
    print(f"Medians of {args.runs} runs; LC_ALL=C; script of {args.commands} commands "
          f"({errors} run-time errors), identical answers from every driver; ratios to the first driver.\n")
    print("| driver | start-up to first answer (ms) | start-up to exit (ms) | time per command (µs) "
          "| peak memory (kB) |")
    print("| --- | ---: | ---: | ---: | ---: |")
    for name in names:
        m = medians[name]
        print(f"| `{name}` | {fmt(m['first'], base['first'], 1)} | {fmt(m['exit'], base['exit'], 1)} "
              f"| {fmt(m['command'], base['command'], 1)} | {fmt(m['memory'], base['memory'], 0)} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
