#!/usr/bin/python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Uses a running cepomer through AT-SPI, as the user of a screen reader would.

Finds windows, fields and push buttons by their accessible names and roles,
types values, presses "расчёт" and reads the results of every calculator, going
back to the main menu between them, and ends by pressing "выход". Exits 0 when
every step showed what was expected, 1 at the first step that did not.

    client.py --pid PID --separator SEP

PID is cepomer's process; SEP is the decimal separator its results are written
with ("." or ","). Values are always typed with a point, as the program reads
them.

Two things assistive technology does not do for us. A "Press" action returns
at once and the click lands about 100 ms later, so every press waits, within a
time limit, for the change it makes to show. And setting the text of a field
succeeds even on a disabled field, which no user could type into, so typing
checks that the field is enabled first.
"""
import argparse
import sys
import time

import pyatspi
from gi.repository import GLib

APPEAR = 20.0  # seconds cepomer may take to show its main menu
STEP = 10.0  # seconds a press may take to show its effect
POLL = 0.02

MENU = "Цепомер"


class Failure(Exception):
    pass


class Refused(Failure):
    """What a user could not do: type into or press a disabled control."""


def wait_for(what, check, timeout=STEP):
    deadline = time.monotonic() + timeout
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"waited {timeout:g} s in vain for {what}")
        time.sleep(POLL)


def has(accessible, state):
    return accessible.getState().contains(state)


def enabled(accessible):
    return has(accessible, pyatspi.STATE_ENABLED) and has(accessible, pyatspi.STATE_SENSITIVE)


def shown(accessible):
    return has(accessible, pyatspi.STATE_VISIBLE) and has(accessible, pyatspi.STATE_SHOWING)


class Program:
    def __init__(self, pid, separator):
        self.pid = pid
        self.separator = separator
        desktop = pyatspi.Registry.getDesktop(0)

        def application():
            for app in desktop:
                try:
                    if app is not None and app.get_process_id() == pid:
                        return app
                except GLib.Error:  # gone while asked
                    pass
            return None

        self.app = wait_for(f"application of PID {pid} on the accessibility bus", application,
                            APPEAR)
        # Every state and text is asked of the program itself: nothing cached.
        self.app.setCacheMask(pyatspi.cache.NONE)

    def running(self):
        """Whether the program is still among the applications of the desktop."""
        for app in pyatspi.Registry.getDesktop(0):
            try:
                if app is not None and app.get_process_id() == self.pid:
                    return True
            except GLib.Error:  # gone while asked
                pass
        return False

    def windows(self):
        return [w for w in self.app if w is not None]

    def shown_windows(self):
        return [w.name for w in self.windows() if shown(w)]

    def screen(self, title, timeout=STEP):
        """The screen of that window title once it is the one window shown."""

        def alone():
            windows = [w for w in self.windows() if shown(w)]
            if len(windows) == 1 and windows[0].name == title:
                return windows[0]
            return None

        try:
            return Screen(self, wait_for(f'window "{title}" shown alone', alone, timeout))
        except Failure as e:
            raise Failure(f"{e}; shown: {self.shown_windows()}") from None

    def number(self, text):
        """A result as the transcripts write it with a point, in our separator."""
        return text.replace(".", self.separator)


class Screen:
    def __init__(self, program, window):
        self.program = program
        self.window = window
        self.title = window.name

    def control(self, roles, name):
        """The one field or push button (as roles allow) of that name."""
        found = [c for c in self.window if c is not None and c.getRole() in roles and
                 c.name == name]
        if len(found) != 1:
            names = sorted(c.name for c in self.window if c is not None and c.getRole() in roles)
            raise Failure(f'{len(found)} controls named "{name}" on "{self.title}"; '
                          f'there are {names}')
        return found[0]

    def button(self, name):
        return self.control((pyatspi.ROLE_PUSH_BUTTON,), name)

    def field(self, name):
        return self.control((pyatspi.ROLE_TEXT,), name)

    def find(self, name):
        return self.control((pyatspi.ROLE_TEXT, pyatspi.ROLE_PUSH_BUTTON), name)

    def read(self, name):
        return self.field(name).queryText().getText(0, -1)

    def type(self, name, text):
        field = self.field(name)
        if not enabled(field):
            raise Refused(f'"{name}" on "{self.title}" is disabled: nothing can be typed there')
        if not field.queryEditableText().setTextContents(text):
            raise Failure(f'setting the text of "{name}" on "{self.title}" failed')
        if self.read(name) != text:
            raise Failure(f'"{name}" reads "{self.read(name)}" after typing "{text}"')

    def press(self, name, what, done):
        """Presses the button, then waits until done() holds; it must not before."""
        button = self.button(name)
        if not enabled(button):
            raise Refused(f'"{name}" on "{self.title}" is disabled: it cannot be pressed')
        if done():
            raise Failure(f'before pressing "{name}" there is already {what}')
        action = button.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in actions:
            raise Failure(f'"{name}" has no Press action, only {actions}')
        if not action.doAction(actions.index("Press")):
            raise Failure(f'the Press action of "{name}" failed')
        try:
            wait_for(what, done)
        except Failure as e:
            raise Failure(f'pressed "{name}" on "{self.title}": {e}') from None

    def choose(self, name, enables=(), disables=()):
        """Presses a choice button and waits for the controls it enables and
        disables."""
        on = [self.find(c) for c in enables]
        off = [self.find(c) for c in disables]
        what = ", ".join([f'"{c}" enabled' for c in enables] +
                         [f'"{c}" disabled' for c in disables])
        self.press(name, what,
                   lambda: all(map(enabled, on)) and not any(map(enabled, off)))

    def expect_disabled(self, *names):
        for name in names:
            if enabled(self.find(name)):
                raise Failure(f'"{name}" on "{self.title}" is enabled; it should not be')

    def expect_refused(self, name, text):
        """Typing into a disabled field is refused, and its text stays as it was."""
        before = self.read(name)
        try:
            self.type(name, text)
        except Refused:
            if self.read(name) != before:
                raise Failure(f'"{name}" changed though typing was refused') from None
            return
        raise Failure(f'typing into "{name}" on "{self.title}" was not refused')

    def calculate(self, results, button="расчёт"):
        """Presses "расчёт" and waits until every result field reads as expected."""
        expected = {name: self.program.number(text) for name, text in results.items()}

        def written():
            return all(self.read(name) == text for name, text in expected.items())

        try:
            self.press(button, "the expected results", written)
        except Failure as e:
            got = {name: self.read(name) for name in expected}
            raise Failure(f"{e}\n  expected {expected}\n  got      {got}") from None

    def to_menu(self):
        self.press("главное меню", f'"{MENU}" shown instead of "{self.title}"',
                   lambda: self.program.shown_windows() == [MENU])
        return self.program.screen(MENU)


def open_calculator(menu, button, title):
    program = menu.program
    menu.press(button, f'"{title}" shown instead of "{MENU}"',
               lambda: program.shown_windows() == [title])
    return program.screen(title)


def cross_section(menu):
    s = open_calculator(menu, "сечение провода по его диаметру", "сечение")
    s.type("диаметр провода d,мм", "2.5")
    s.calculate({"сечение провода, S,мм": "4.90875"})
    s.type("диаметр провода d,мм", "1.5")
    s.calculate({"сечение провода, S,мм": "1.76715"})
    return s.to_menu()


def ohm_law(menu):
    s = open_calculator(menu, "расчёт I,U,R,P", "расчёт I,U,R,P")
    # Nothing can be typed before the quantity and the known pair are chosen.
    s.expect_refused("ввод значений: U,В", "10")
    s.expect_disabled("U,R", "P,R", "P,U")
    s.choose("I", enables=("U,R", "P,R", "P,U"), disables=("U", "R", "P"))
    s.choose("U,R", enables=("ввод значений: U,В", "ввод значений: R,Ом"),
             disables=("P,R", "P,U"))
    s.expect_disabled("ввод значений: I,A", "ввод значений: Р,Вт")
    s.type("ввод значений: U,В", "10")
    s.type("ввод значений: R,Ом", "3")
    s.calculate({
        "результат: I,A": "3.333333",
        "результат: U,В": "10",
        "результат: R,Ом": "3",
        "результат: Р,Вт": "0",
    })
    return s.to_menu()


def reactance(menu):
    s = open_calculator(menu, "реактивные сопротивления", "расчёт реактивных сопротивлений")
    s.expect_refused("L,Гн", "0.1")
    s.choose("Xl", enables=("L,Гн",))
    s.expect_disabled("C,Ф")
    s.type("F,Гц", "50")
    s.type("L,Гн", "0.1")
    s.calculate({"X": "31.4000004678965"}, button="расчёт ")
    return s.to_menu()


def impedance(menu):
    title = "полное сопротивление цепи"
    s = open_calculator(menu, title, title)
    s.expect_refused("R,Ом", "30")
    s.choose("последовательной: R,L", enables=("R,Ом", "L,Гн"))
    s.expect_disabled("С,Ф", "параллельной: R,L")
    s.type("F, Гц", "50")
    s.type("R,Ом", "30")
    s.type("L,Гн", "0.1")
    s.calculate({
        "Z,Ом": "43.4276413057847",
        "Sin ф": "0.723041812167539",
        "Cos ф": "0.690804268847175",
        "Tg ф": "1.04666668226322",
    })
    menu = s.to_menu()

    # A fresh screen again; the parallel circuit writes Z alone.
    s = open_calculator(menu, title, title)
    if s.read("R,Ом") != "":
        raise Failure('"R,Ом" kept its text through "главное меню"')
    s.choose("параллельной: R,C", enables=("R,Ом", "С,Ф"))
    s.expect_disabled("L,Гн", "последовательной: R,C")
    s.type("F, Гц", "50")
    s.type("R,Ом", "100")
    s.type("С,Ф", "0.00001")
    s.calculate({"Z,Ом": "95.4071657001378", "Sin ф": "", "Cos ф": "", "Tg ф": ""})
    return s.to_menu()


def fusing_current(menu):
    s = open_calculator(menu, "ток плавления проводов", "токи плавления проводов")
    s.expect_refused("ввод данных: d,мм", "0.5")
    s.choose("медь", disables=("латунь", "железо", "аллюминий"))
    s.choose("от0,2мм ", enables=("Iпл при заданном d", "d при заданном Iпл"),
             disables=("0,002-0,2 мм",))
    s.choose("Iпл при заданном d", enables=("ввод данных: d,мм",),
             disables=("d при заданном Iпл",))
    s.expect_disabled("I,A")
    s.type("ввод данных: d,мм", "0.5")
    s.calculate({"Iплавл, А": "28.28427", "результат: d,мм": "0.5"})
    return s


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--separator", choices=(".", ","), required=True)
    args = parser.parse_args()

    started = time.monotonic()
    try:
        program = Program(args.pid, args.separator)
        menu = program.screen(MENU, APPEAR)
        for name in ("расчёт I,U,R,P", "реактивные сопротивления", "полное сопротивление цепи",
                     "ток плавления проводов", "сечение провода по его диаметру", "выход"):
            if not enabled(menu.button(name)):
                raise Failure(f'"{name}" on the main menu is disabled')
        steps = (cross_section, ohm_law, reactance, impedance, fusing_current)
        screen = menu
        for step in steps:
            screen = step(screen)
            print(f"client: {step.__name__}: as expected", flush=True)
        # "выход" ends the program at once, from a calculator screen too.
        screen.press("выход", "end of cepomer on the accessibility bus",
                     lambda: not program.running())
    except Failure as e:
        print(f"client: FAILED: {e}", file=sys.stderr, flush=True)
        return 1
    print(f"client: all calculators as expected in {time.monotonic() - started:.1f} s", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
