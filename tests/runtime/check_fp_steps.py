#!/usr/bin/env python3

# SPDX-FileCopyrightText: Cepomer developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Every floating-point step of the calculators goes through the runtime.

The arithmetic check sees only the faults that the runtime's helpers
(runtime/arith.h) record, so a floating-point operation written in a
calculator's source, formula or screen, would escape it, and might round or
compare differently from one machine to the next. This check compiles each
source under the calculators' folder with clang to LLVM IR, unoptimised and
with line information, and reports every floating-point instruction there:
arithmetic, comparison (quiet or not), narrowing and conversion to an integer,
and every call with a floating-point value to a function outside the
project's namespace (the C library's pow or sqrt, std::fabs, a compiler
intrinsic, ...). Templates, lambdas and inline functions from headers are
compiled as the program compiles them, so none of them hides an operation.

Allowed, as they cannot round, fault or differ:
- widening a Single to a Double, and an integer of at most 32 bits (24 for a
  Single) to floating point;
- negation;
- anything inside the runtime's own namespace, cepomer::rt (its helpers);
- calls to the project's functions, which are checked where they are defined,
  and indirect calls, whose targets are.

    check_fp_steps.py --compiler CLANG [-I DIR]... DIR
        checks every .cpp file under DIR; fails on any operation found, or when
        there is nothing to check.
    check_fp_steps.py --compiler CLANG [-I DIR]... --planted FILE
        the check's own test: the operations reported in FILE must be exactly
        those on its lines marked "// planted".
"""

import argparse
import concurrent.futures
import pathlib
import re
import subprocess
import sys

# A floating-point value, not a pointer to one or to an aggregate of them:
# "double %5", "<2 x float> %3", but not "double*" or "[4 x float]*".
FP_VALUE = re.compile(
    r"\b(half|bfloat|float|double|x86_fp80|fp128|ppc_fp128)\b(?![\]>}, \w]*\*)")
# Intrinsics that only describe the code: debug information, lifetimes.
DESCRIPTIVE = re.compile(r'^"?llvm\.(dbg|lifetime|assume|experimental\.noalias)\.')
# An instruction: "%5 = fmul double %3, %4, !dbg !20".
INSTRUCTION = re.compile(r"^\s*(?:%\S+\s*=\s*)?(\w+)\b(.*?)(?:, !dbg !(\d+))?(?:, ![\w.]+ !\d+)*$")
FORBIDDEN = {"fadd", "fsub", "fmul", "fdiv", "frem", "fcmp", "fptrunc", "fptosi", "fptoui"}
INT_TO_FP = re.compile(r"^\s*(?:nneg\s+)?i(\d+)\b.*\bto\s+(float|double)\b")
# "call noundef double @_ZN7cepomer2rt3mulEdd(double noundef %5, ...)"
CALLEE = re.compile(r'@("[^"]+"|[\w.$]+)')
# Mangled names of the project's namespace and of the runtime's.
PROJECT = re.compile(r'^"?_ZZ?N[KVRO]*7cepomer')
RUNTIME = re.compile(r'^"?_ZZ?N[KVRO]*7cepomer2rt')
DEFINE = re.compile(r'^define\b.*?@("[^"]+"|[\w.$]+)\(.*?(?:!dbg !(\d+))?\s*\{?\s*$')
METADATA = re.compile(r"^!(\d+) = (?:distinct )?!(\w+)\((.*)\)\s*$")


def field(fields, name):
    match = re.search(r"\b" + name + r': (!?"(?:[^"\\]|\\.)*"|!\d+|\d+)', fields)
    return match.group(1) if match else None


class Module:
    """One compiled source: its functions' instructions and line information."""

    def __init__(self, text):
        self.metadata = {}
        self.functions = []  # (mangled name, subprogram id, [(opcode, rest, dbg id)])
        current = None
        for line in text.splitlines():
            if current is not None:
                if line.startswith("}"):
                    current = None
                    continue
                match = INSTRUCTION.match(line)
                if match and not line.lstrip().endswith(":"):
                    current[2].append(match.groups())
                continue
            match = DEFINE.match(line)
            if match:
                current = (match.group(1), match.group(2), [])
                self.functions.append(current)
                continue
            match = METADATA.match(line)
            if match:
                self.metadata[match.group(1)] = (match.group(2), match.group(3))

    def location(self, dbg):
        """'file:line' of a !DILocation, or '?'."""
        if dbg is None or dbg not in self.metadata:
            return "?"
        _, fields = self.metadata[dbg]
        line = field(fields, "line")
        scope = field(fields, "scope")
        name = "?"
        for _ in range(64):  # up the scopes to one with a file
            if scope is None or scope[1:] not in self.metadata:
                break
            _, scope_fields = self.metadata[scope[1:]]
            file = field(scope_fields, "file")
            if file is not None and file[1:] in self.metadata:
                _, file_fields = self.metadata[file[1:]]
                filename = field(file_fields, "filename").strip('"')
                directory = (field(file_fields, "directory") or '""').strip('"')
                name = str(pathlib.Path(directory, filename))
                break
            scope = field(scope_fields, "scope")
        return f"{name}:{line}"

    def function_name(self, mangled, subprogram):
        if subprogram in self.metadata:
            name = field(self.metadata[subprogram][1], "name")
            if name:
                return name.strip('"')
        return mangled.strip('"')


def exact_int_to_fp(rest):
    match = INT_TO_FP.match(rest)
    if not match:
        return False
    bits, target = int(match.group(1)), match.group(2)
    return bits <= (32 if target == "double" else 24)


def violations(module):
    """(location, description) of every floating-point step outside the runtime."""
    found = []
    for mangled, subprogram, instructions in module.functions:
        if RUNTIME.match(mangled):
            continue
        where = module.function_name(mangled, subprogram)
        for opcode, rest, dbg in instructions:
            what = None
            if opcode in FORBIDDEN:
                what = f"{opcode}{rest.split(',')[0]}"
            elif opcode in ("sitofp", "uitofp") and not exact_int_to_fp(rest):
                what = f"{opcode}{rest}"
            elif opcode in ("call", "invoke", "callbr", "tail", "musttail", "notail"):
                callee = CALLEE.search(rest)
                signature = rest.split(" to label ")[0]
                name = callee.group(1) if callee else ""
                if (callee and not PROJECT.match(name) and not DESCRIPTIVE.match(name)
                        and FP_VALUE.search(signature)):
                    what = f"call of {name.strip(chr(34))}"
            if what:
                found.append((module.location(dbg), f"{what.strip()} in {where}"))
    return found


def compile_to_ir(compiler, includes, source):
    command = [compiler, "-std=c++20", "-O0", "-g", "-ffp-contract=off", "-fno-fast-math",
               "-S", "-emit-llvm", "-o", "-", *(f"-I{d}" for d in includes), str(source)]
    result = subprocess.run(command, capture_output=True, text=True, check=False)
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(command)}\n{result.stderr}")
    return Module(result.stdout)


def check(compiler, includes, sources):
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        modules = list(pool.map(lambda s: compile_to_ir(compiler, includes, s), sources))
    return sorted({v for module in modules for v in violations(module)})


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--compiler", required=True)
    parser.add_argument("-I", dest="includes", action="append", default=[])
    parser.add_argument("--planted", action="store_true")
    parser.add_argument("path", type=pathlib.Path)
    args = parser.parse_args()
    path = args.path.resolve()

    try:
        if args.planted:
            found = check(args.compiler, args.includes, [path])
            lines = path.read_text(encoding="utf-8").splitlines()
            planted = {f"{path}:{n}" for n, text in enumerate(lines, 1) if "// planted" in text}
            # Operations in the library's headers (std::isnan's comparison) are
            # reported too, where they stand; the planted ones are those here.
            reported = {where for where, _ in found if where.startswith(f"{path}:")}
            for where, what in found:
                print(f"{where}: {what}")
            missed, spurious = planted - reported, reported - planted
            for where in sorted(missed):
                print(f"{where}: planted, not reported", file=sys.stderr)
            for where in sorted(spurious):
                print(f"{where}: reported, not planted", file=sys.stderr)
            return 1 if missed or spurious else 0

        sources = sorted(path.rglob("*.cpp"))
        if not sources:
            print(f"no sources under {path}", file=sys.stderr)
            return 1
        found = check(args.compiler, args.includes, sources)
    except RuntimeError as error:
        print(error, file=sys.stderr)
        return 1
    for where, what in found:
        print(f"{where}: floating-point step outside the runtime's helpers: {what}",
              file=sys.stderr)
    print(f"{len(sources)} sources checked, {len(found)} floating-point steps outside the runtime")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
