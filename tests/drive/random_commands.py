#!/usr/bin/env python3
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Seeded random command sequences through two drivers, compared byte for byte.

    random_commands.py [--seed N] [--commands N] --reference DRIVE -- [EMULATOR...] DRIVE

The driver under test (a cross build's, started through its emulator) and the
reference driver (the native one) get the same commands over all six screens:
clicks on every button (and now and then on a hidden screen, a label, a field
or an unknown name), numbers and odd texts typed into the fields, close boxes,
dumps, the screen list, blank lines, comments and lines ending in CR LF. Each
command is written on its own and its answer read before the next, so a
driver that answers only at the end of its input fails too. A session ends
with "ended", after which each driver must exit by itself with status 0 (at
the end of the run, once its input is closed). Both drivers are then started
again, in another locale named in another way (a point, a comma, an Arabic
separator; names with a codeset, a modifier, a hyphen, unknown ones; LC_ALL,
LC_NUMERIC, LANG, empty ones).

With --restore-seed, the driver under test is also carried over into a new
engine restored from its saved state before random commands: its answers must
still equal the reference's.

A failure prints the seed, the first command whose answers differ, both
answers and the session's commands up to it. CEPOMER_DRIVE_SEED and
CEPOMER_DRIVE_COMMANDS change the defaults for longer runs by hand.
"""
import argparse
import os
import random
import re
import selectors
import subprocess
import sys
import tempfile
import time

FINAL = re.compile(rb"^(ok|refused .*|error .*|ended)$")
SILENCE_S = 60.0

# The environment naming the numeric locale, in every form a name may take.
LOCALES = [
    {"LC_ALL": "C"}, {"LC_ALL": "POSIX"}, {"LC_ALL": "C.UTF-8"}, {"LC_ALL": ""},
    {"LC_ALL": "ru_RU.UTF-8"}, {"LC_ALL": "de_DE@euro"}, {"LC_ALL": "en_US.UTF-8"},
    {"LC_ALL": "de_CH.UTF-8"}, {"LC_ALL": "uk_UA"}, {"LC_ALL": "ar_EG.UTF-8"},
    {"LC_ALL": "ar"}, {"LC_ALL": "fa_IR"}, {"LC_ALL": "km_KH"}, {"LC_ALL": "xx_YY.UTF-8"},
    {"LC_ALL": "ru-RU"}, {"LC_ALL": "sr_RS@latin"}, {"LC_ALL": "no_NO"},
    {"LC_NUMERIC": "fr_FR.UTF-8"}, {"LC_NUMERIC": "pt_BR", "LANG": "C"},
    {"LANG": "ru_RU.UTF-8"}, {"LC_ALL": "", "LANG": "es_MX.UTF-8"},
    {"LC_ALL": "C", "LC_NUMERIC": "ru_RU"},
]


class Driver:
    """One driver process, worked a command at a time."""

    def __init__(self, command, env):
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=self.stderr, env=env)
        self.selector = selectors.DefaultSelector()
        self.selector.register(self.process.stdout, selectors.EVENT_READ)
        self.pending = b""

    def send(self, line):
        self.process.stdin.write(line + b"\n")
        self.process.stdin.flush()

    def answer(self):
        """The lines up to and with the final line, or None on silence."""
        lines = []
        deadline = time.monotonic() + SILENCE_S
        while True:
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                lines.append(line)
                if FINAL.match(line):
                    return lines
            left = deadline - time.monotonic()
            if left <= 0 or not self.selector.select(left):
                return lines + [b"<no answer>"]
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                return lines + [b"<end of output>"]
            self.pending += chunk

    def finish(self, ended):
        """Exit status, output after the last answer and standard error: after
        "ended" with the input still open, else once the input is closed."""
        status = None
        if ended:
            try:
                status = self.process.wait(timeout=SILENCE_S)
            except subprocess.TimeoutExpired:
                self.process.kill()
                status = "none: it went on after \"ended\""
        try:
            self.process.stdin.close()
        except BrokenPipeError:
            pass
        rest = self.process.stdout.read()
        try:
            status = self.process.wait(timeout=SILENCE_S) if status is None else status
        except subprocess.TimeoutExpired:
            self.process.kill()
            status = "none: it went on at the end of its input"
        self.stderr.seek(0)
        return status, self.pending + rest, self.stderr.read()


def discover(reference, env):
    """Every screen's controls: (name, kind, text) from dumps, through the
    reference driver, each calculator opened from a fresh main menu."""

    def run(commands):
        done = subprocess.run(reference, input=b"".join(c + b"\n" for c in commands),
                              capture_output=True, env=env, timeout=SILENCE_S, check=True)
        return done.stdout.decode("utf-8").splitlines()

    def controls(lines):
        found = []
        for line in lines:
            match = re.match(r'^(\w+)\.(\w+) (label|field|button) [01] (?:\d+ ){4}"(.*)"$', line)
            if match:
                found.append(match.groups())
        return found

    screens = {}
    menu = controls(run([b"dump frmCepomer"]))
    screens["frmCepomer"] = [(c, k, t) for _, c, k, t in menu]
    for _, button, kind, _ in menu:
        if kind != "button":
            continue
        lines = run([b"click frmCepomer." + button.encode(), b"screens"])
        for line in lines:
            name, state = (line.split(" ") + [""])[:2]
            if state == "shown" and name not in screens:
                screens[name] = [(c, k, t) for _, c, k, t in
                                 controls(run([b"click frmCepomer." + button.encode(),
                                               b"dump " + name.encode()]))]
    return screens


class Commands:
    """The random commands of one run."""

    def __init__(self, rng, screens):
        self.rng = rng
        self.screens = screens
        self.shown = ["frmCepomer"]
        self.disabled = set()  # "SCREEN.CONTROL", as the last dumps showed them

    def number(self):
        r = self.rng
        separator = r.choice([".", ","])
        kind = r.randrange(9)
        if kind == 0:
            return str(r.randrange(1000))
        if kind == 1:
            return r.choice(["0", "-0", "0,0", "-1", "1E38", "3,5E38", "1E308", "1E309",
                             "-1E309", "1E-45", "1E-46", "1E-330", "4,9E-324", "&HFFFF",
                             "&HFFFFFFFF", "&H1FFFFFFFF", "&O777", "&HZ", "-&H1", "1e", "1e+",
                             "1D3", "1.2,3", "5.", ".5", " 1 2 3 ", "+7", "--1", "1E5000"])
        if kind == 2:
            mantissa = f"{r.uniform(-1000, 1000):.{r.randrange(8)}f}".replace(".", separator)
            exponent = r.choice("EeDd") + r.choice(["", "+", "-"]) + str(r.randrange(400))
            return mantissa + exponent
        if kind == 3:
            return f"{r.uniform(0, 10 ** r.randrange(12)):.{r.randrange(10)}f}".replace(
                ".", separator)
        if kind == 4:
            return repr(r.uniform(-1e6, 1e6)).replace(".", separator)
        if kind == 5:
            unit = r.choice(["", "кОм", "x"])
            return f"{r.randrange(100)}{separator}{r.randrange(100)} {unit}"
        if kind == 6:
            return repr(r.choice([1e-10, 1e-20, 1e15, 1e16, 1e20, 3.4e38, 1.7e308])).replace(
                ".", separator)
        if kind == 7:
            return "\t" + str(r.randrange(1000)) + separator + str(r.randrange(1000)) + " "
        return str(r.randrange(10 ** 20)) + separator + str(r.randrange(10 ** 20))

    def odd_text(self):
        r = self.rng
        kind = r.randrange(8)
        if kind == 0:
            return r.choice([b"", b" ", b"   ", b"\t", b"abc", b"\xd1\x91\xd0\x81 \xc2\xab"
                             b"\xd0\xbf\xd1\x80\xd0\xbe\xd0\xb2\xd0\xbe\xd0\xb4\xc2\xbb \xe2\x84"
                             b"\x961", b'"\\', b"\xf0\x9f\x94\x8c", b"\x7f"])
        if kind == 1:  # control characters, the line feed excepted
            controls = [c for c in range(32) if c != 10]
            return bytes(r.choice(controls) for _ in range(r.randrange(1, 6)))
        if kind == 2:  # not UTF-8
            return r.choice([b"\xff", b"\xfe\xff", b"\xd0", b"1\xd0", b"\xed\xa0\x80", b"\x80abc",
                             b"\xc0\xaf", b"\xf4\x90\x80\x80"])
        if kind == 3:  # long enough to cross any reader's buffer, in two-byte letters
            return ("ж" * r.randrange(300, 3000) + r.choice(["", "1", "ё"])).encode("utf-8")
        if kind == 4:
            return (str(r.randrange(10)) + "5" * r.randrange(100, 2000)).encode("utf-8")
        if kind == 5:
            return self.number().encode("utf-8") + b"\r"
        if kind == 6:
            return bytes(r.randrange(1, 256) for _ in range(r.randrange(1, 40))).replace(
                b"\n", b" ")
        return "".join(r.choice("0123456789.,-+eEдД &H ") for _ in range(r.randrange(1, 12))
                       ).encode("utf-8")

    def screen(self):
        if self.rng.random() < 0.9:
            return self.rng.choice(self.shown)
        return self.rng.choice(list(self.screens) + ["frmNone"])

    def control(self, screen, kind):
        r = self.rng
        controls = self.screens.get(screen, [])
        wanted = [c for c in controls if c[1] == kind]
        if r.random() < 0.9:
            wanted = [c for c in wanted if f"{screen}.{c[0]}" not in self.disabled] or wanted
        if not wanted or r.random() < 0.05:
            return r.choice([c[0] for c in controls] + ["cmdNone", "", "txt"])
        if kind == "button":
            # A way out of the program now and then, not at every other click.
            weights = [0.03 if text == "выход" else 1.0 for _, _, text in wanted]
            return r.choices(wanted, weights)[0][0]
        return r.choice(wanted)[0]

    def next(self):
        """A command line and whether it gets an answer."""
        r = self.rng
        roll = r.random()
        if 0.42 <= roll < 0.74 and not any(kind == "field" for shown in self.shown
                                           for _, kind, _ in self.screens.get(shown, [])):
            roll = r.uniform(0, 0.5)  # nothing to type into: mostly a click instead
        if roll < 0.42:
            screen = self.screen()
            line = f"click {screen}.{self.control(screen, 'button')}".encode("utf-8")
        elif roll < 0.74:
            screen = self.screen()
            text = self.number().encode("utf-8") if r.random() < 0.7 else self.odd_text()
            line = f"type {screen}.{self.control(screen, 'field')} ".encode("utf-8") + text
        elif roll < 0.76:
            line = b"close " + (b"frmCepomer" if r.random() < 0.1 else
                                self.screen().encode("utf-8"))
        elif roll < 0.88:
            line = b"dump " + r.choice(list(self.screens) + ["frmNone", ""]).encode("utf-8")
        elif roll < 0.94:
            line = b"screens"
        else:
            line = r.choice([b"", b"   ", b"\t", b"# a comment", b"#", b"clack frmS.cmdRun",
                             b"click", b"type", b"type frmS.txtD", b"dump", b"close",
                             b"screens extra", b" click frmCepomer.cmdS", b"CLICK frmS.cmdRun"])
        if r.random() < 0.05:
            line += b"\r"
        bare = line[:-1] if line.endswith(b"\r") else line
        return line, bare.strip(b" \t") != b"" and not bare.startswith(b"#")

    def learn(self, line, answer):
        """The shown screens from an answer to "screens", the disabled
        controls from a dump; the next command to learn more, if any."""
        if line == b"screens":
            shown = [words[0].decode("utf-8") for words in (a.split(b" ") for a in answer)
                     if words[1:2] == [b"shown"]]
            self.shown = shown or ["frmCepomer"]
            return b"dump " + self.shown[0].encode("utf-8")
        if line.startswith(b"dump "):
            for words in (a.split(b" ") for a in answer[:-1]):
                name = words[0].decode("utf-8", errors="replace")
                if words[2:3] == [b"0"]:
                    self.disabled.add(name)
                else:
                    self.disabled.discard(name)
            return None
        if re.match(rb"(click|close) \w", line) and not answer[-1].startswith(b"refused"):
            return b"screens"  # which screen is shown now
        return None


def shown_line(line):
    text = line.decode("utf-8", errors="backslashreplace")
    return text if text.isprintable() else repr(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int,
                        default=int(os.environ.get("CEPOMER_DRIVE_SEED", "2024")))
    parser.add_argument("--commands", type=int,
                        default=int(os.environ.get("CEPOMER_DRIVE_COMMANDS", "3000")))
    parser.add_argument("--reference", required=True)
    parser.add_argument("--restore-seed", type=int,
                        help="the driver under test carries its session over into a new engine "
                             "restored from its saved state, before commands chosen by this seed")
    parser.add_argument("drive", nargs="+")
    args = parser.parse_args()
    reference = [args.reference]
    env = dict(os.environ)
    for name in ("LC_ALL", "LC_NUMERIC", "LANG", "LANGUAGE"):
        env.pop(name, None)
    restore_at = random.Random(args.restore_seed) if args.restore_seed is not None else None
    rng = random.Random(args.seed)
    commands = Commands(rng, discover(reference, dict(env, LC_ALL="C")))

    done = sessions = calculations = 0
    while done < args.commands:
        sessions += 1
        locale = rng.choice(LOCALES)
        where = f"seed {args.seed}, session {sessions} ({locale})"
        pair = [Driver(args.drive, dict(env, **locale)), Driver(reference, dict(env, **locale))]
        commands.shown = ["frmCepomer"]
        commands.disabled = set()
        history = []
        ended = False
        while done < args.commands and not ended:
            queue = [commands.next()]
            while queue:
                line, answered = queue.pop(0)
                done += 1
                if restore_at and restore_at.random() < 0.25:
                    carried = []
                    for command in (b"save", b"restore"):
                        pair[0].send(command)
                        carried.append(pair[0].answer())
                    if carried[0][-1] != b"ok" or carried[1] != [b"ok"]:
                        print(f"{where}: carried over before command {len(history) + 1}: {carried}")
                        return 1
                history.append(line)
                for driver in pair:
                    driver.send(line)
                if not answered:
                    continue
                got, want = (driver.answer() for driver in pair)
                if got != want:
                    print(f"{where}, command {len(history)} of the session differs:")
                    print("  > " + shown_line(line))
                    print("  this driver:\n    " + "\n    ".join(map(shown_line, got)))
                    print("  reference:\n    " + "\n    ".join(map(shown_line, want)))
                    print("  the session's commands up to it:")
                    for earlier in history:
                        print("    " + shown_line(earlier))
                    for driver in pair:
                        driver.process.kill()
                    return 1
                if line.rstrip(b"\r").endswith(b".cmdRun") and not want[-1].startswith(b"refused"):
                    calculations += 1
                if want[-1] == b"ended":
                    ended = True
                    break
                follow = commands.learn(line, want)
                if follow:
                    queue.append((follow, True))
        for driver, which in zip(pair, ("this driver", "the reference")):
            status, rest, errors = driver.finish(ended)
            if status != 0 or rest or errors:
                print(f"{where}: {which} ended with status {status}, output after the last "
                      f"answer {rest!r}, standard error {errors!r}")
                return 1
    print(f"{done} commands in {sessions} sessions, {calculations} calculations: "
          f"the same answers, seed {args.seed}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
