#!/usr/bin/env python3
# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""The driver's bytes on the wire, whatever the platform's console.

Commands sent with CRLF line ends and Cyrillic text must come back exactly as
with LF: every answer line ends in a bare LF, and text is UTF-8 whatever the
console code page (on Windows a Russian locale's is 1251/866).

    console_bytes.py LOCALE SEPARATOR [EMULATOR...] DRIVE
"""
import os
import subprocess
import sys

COMMANDS = [
    "click frmCepomer.cmdS",
    "type frmS.txtD 1,5",
    "click frmS.cmdRun",
    "type frmS.txtD ёЁ «провод» №1",
    "dump frmS",
]


def main():
    locale, separator, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    env = dict(os.environ, LC_ALL=locale)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    sent = "".join(line + "\r\n" for line in COMMANDS).encode("utf-8")
    run = subprocess.run(command, input=sent, capture_output=True, env=env, timeout=120)
    out = run.stdout
    failures = []
    if run.returncode != 0:
        failures.append(f"exit status {run.returncode}: {run.stderr!r}")
    if b"\r" in out:
        failures.append("a carriage return in the output")
    try:
        lines = out.decode("utf-8").split("\n")
    except UnicodeDecodeError as error:
        failures.append(f"not UTF-8: {error}")
        lines = []
    expected = [
        "ok",
        "ok",
        "ok",
        "ok",
        'frmS.lblEnter label 1 1275 75 1890 240 " диаметр провода d,мм"',
        'frmS.txtD field 1 3300 75 840 285 "ёЁ «провод» №1"',
        'frmS.cmdRun button 1 1275 450 2865 240 "расчёт"',
        'frmS.lblSrez label 1 75 825 1890 240 "сечение провода, S,мм"',
        f'frmS.txtSrez field 1 2100 825 3315 285 "1{separator}76715"',
        'frmS.cmdExit button 1 75 1200 1290 240 "выход"',
        'frmS.cmdGm button 1 4050 1200 1290 240 "главное меню"',
        "ok",
        "",
    ]
    if lines and lines != expected:
        failures.append("got:\n  " + "\n  ".join(lines))
    for failure in failures:
        print(failure)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
