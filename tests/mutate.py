#!/usr/bin/env python3
"""Mutation check: plants one small fault at a time in the C++ of frame/, number_text/ and sdk/src/,
rebuilds, runs the tests, and lists the faults no test noticed (the surviving mutants).

A developer tool, not run in CI. Standard library only. Every mutated file is restored after its
mutant, whatever happens (an error, Ctrl-C, SIGTERM), and the run ends by checking with git that
no mutated file differs from what it was.

Suites:
  unit  builds sdk_test, frame_test and number_text_test and runs them (frame_test also against
        the unforgiving host): what the rooms' own tests catch. The default.
  full  builds everything and runs `ctest --preset default`.
--recheck-full runs the survivors of the unit suite once more against the full suite.

Examples:
  tests/mutate.py --list                                  # every mutation site, not run
  tests/mutate.py --limit 150 --seed 1 --report mut.json  # a sample of 150, recorded
  tests/mutate.py --files 'sdk/src/*' --operators rel,delete --limit 40
  tests/mutate.py --rerun mut.json                        # the survivors of a recorded run
  tests/mutate.py --only number_text/src/number_text.cpp:64:23:rel
"""

import argparse
import fnmatch
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from dataclasses import asdict, dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "default"
DEFAULT_FILES = ["frame/src/*.cpp", "frame/include/frame/*.h", "number_text/src/*.cpp",
                 "sdk/src/*.cpp", "sdk/src/*.h"]
UNIT_TARGETS = ["sdk_test", "frame_test", "number_text_test"]
UNIT_RUNS = [
    (["sdk_test"], {}),
    (["frame_test"], {}),
    (["frame_test"], {"TEXTNODES_STRICT_HOST": "1"}),
    (["number_text_test"], {}),
]
OPERATORS = ["rel", "logic", "arith", "const", "bool", "negate", "delete"]


@dataclass
class Mutant:
    path: str  # relative to the repository
    line: int  # 1-based
    column: int  # 1-based, of the replaced text
    operator: str
    old: str
    new: str

    @property
    def ident(self):
        ident = f"{self.path}:{self.line}:{self.column}:{self.operator}"
        return ident + f":{self.new}" if self.operator == "const" else ident

    def describe(self):
        if self.operator == "delete":
            return f"{self.path}:{self.line} delete `{self.old.strip()}`"
        return f"{self.path}:{self.line}:{self.column} {self.operator} `{self.old}` -> `{self.new}`"


# ---- Finding mutation sites --------------------------------------------------------------

STRING_OR_CHAR = re.compile(r'L?"(?:\\.|[^"\\])*"|L?\'(?:\\.|[^\'\\])*\'')
RELATIONAL = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
DECLARATION = re.compile(
    r"(?!(delete|throw|return|break|continue|goto)\b)(?:(?:const|constexpr|static|mutable|"
    r"inline|thread_local|friend|using|typedef|enum|struct|class|template)\b\s*)*"
    r"(?:[\w:]+(?:<.*>)?(?:\s*[*&]\s*|\s+))+\w+(?:\[.*?\])?\s*(?:=|\{|;|\(.*\)\s*(?:const\s*)?;)"
    r"|.*= (?:default|delete);|}")
NOT_STATEMENTS = ("return", "case", "default", "using", "template", "static_assert", "friend")
INTEGER = re.compile(r"(?<![\w.'])(\d+)([uUlL]*)(?![\w.'])")


def code_of(line):
    """The line with string and character literals blanked and any // comment cut off, so that
    nothing inside them is mutated; columns stay where they were."""
    masked = STRING_OR_CHAR.sub(lambda m: m.group(0)[0] + " " * (len(m.group(0)) - 1), line)
    cut = masked.find("//")
    return masked if cut < 0 else masked[:cut]


def closing_paren(text, open_at):
    depth = 0
    for i in range(open_at, len(text)):
        depth += {"(": 1, ")": -1}.get(text[i], 0)
        if depth == 0:
            return i
    return -1


def sites_in_line(path, number, line, previous_code):
    code = code_of(line)
    if not code.strip():
        return
    # Binary operators are written with a space on each side (clang-format), template brackets
    # and shifts are not: only the former are mutated.
    for m in re.finditer(r"(?<= )(<=|>=|==|!=|<|>)(?= )", code):
        yield Mutant(path, number, m.start() + 1, "rel", m.group(1), RELATIONAL[m.group(1)])
    for m in re.finditer(r"(?<= )(&&|\|\|)(?= )", code):
        yield Mutant(path, number, m.start() + 1, "logic", m.group(1),
                     "||" if m.group(1) == "&&" else "&&")
    for m in re.finditer(r"(?<= )([+\-])(?= )", code):
        yield Mutant(path, number, m.start() + 1, "arith", m.group(1),
                     "-" if m.group(1) == "+" else "+")
    if not code.lstrip().startswith(("enum", "case")):
        for m in INTEGER.finditer(code):
            value, suffix = int(m.group(1)), m.group(2)
            for neighbour in sorted({max(value - 1, 0), value + 1} - {value}):
                yield Mutant(path, number, m.start() + 1, "const", m.group(0),
                             f"{neighbour}{suffix}")
    for m in re.finditer(r"\b(true|false)\b", code):
        yield Mutant(path, number, m.start() + 1, "bool", m.group(1),
                     "false" if m.group(1) == "true" else "true")
    for m in re.finditer(r"\b(if|while) \(", code):
        open_at = m.end() - 1
        close_at = closing_paren(code, open_at)
        # (!x) is left to the removal of its '!' below.
        if close_at > 0 and not re.fullmatch(r"\(![\w.>-]+\)", code[open_at:close_at + 1]):
            condition = line[open_at:close_at + 1]
            yield Mutant(path, number, open_at + 1, "negate", condition, f"(!{condition})")
    for m in re.finditer(r"!(?!=)", code):
        yield Mutant(path, number, m.start() + 1, "negate", "!", "")
    # A whole statement on one line, not the body of an if or loop without braces, nor a
    # declaration (deleting one rarely compiles, and a deleted member default changes nothing).
    stripped = code.strip()
    if (stripped.endswith(";") and stripped.count("(") == stripped.count(")")
            and not DECLARATION.match(stripped) and not stripped.startswith(NOT_STATEMENTS)
            and previous_code.rstrip().endswith((";", "{", "}", ":"))):
        yield Mutant(path, number, 1, "delete", line, "")


def find_mutants(patterns, operators):
    files = sorted({p for pattern in patterns for p in ROOT.glob(pattern)
                    if p.is_file() and not p.name.endswith("_test.cpp")})
    mutants = []
    for file in files:
        rel = file.relative_to(ROOT).as_posix()
        in_block_comment = False
        previous_code = "{"
        for number, line in enumerate(file.read_text().splitlines(), start=1):
            stripped = line.strip()
            if in_block_comment:
                in_block_comment = "*/" not in stripped
                continue
            if stripped.startswith("/*"):
                in_block_comment = "*/" not in stripped
                continue
            if not stripped or stripped.startswith(("//", "#")) or "static_assert" in stripped:
                continue
            for mutant in sites_in_line(rel, number, line, previous_code):
                if mutant.operator in operators:
                    mutants.append(mutant)
            previous_code = code_of(line)
    return mutants


def apply(mutant, text):
    lines = text.split("\n")
    i = mutant.line - 1
    if mutant.operator == "delete":
        lines[i] = ""
    else:
        at = mutant.column - 1
        assert lines[i][at:at + len(mutant.old)] == mutant.old, mutant.describe()
        lines[i] = lines[i][:at] + mutant.new + lines[i][at + len(mutant.old):]
    return "\n".join(lines)


# ---- Building and testing ----------------------------------------------------------------

class Stopped(Exception):
    pass


def on_signal(signum, _frame):
    raise Stopped(f"signal {signum}")


def run(command, timeout, env=None):
    """Runs command in a process group of its own; returns (exit code, output), or None when it
    outran timeout, in which case the group is ended."""
    process = subprocess.Popen(command, cwd=ROOT, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, start_new_session=True,
                               env={**os.environ, **(env or {})})
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        return None
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        raise


def build(suite, jobs, timeout):
    command = ["cmake", "--build", "--preset", "default", f"-j{jobs}"]
    if suite == "unit":
        command += ["--target", *UNIT_TARGETS]
    return run(command, timeout)


def test(suite, timeout):
    """'passed', 'failed' or 'timeout'."""
    if suite == "full":
        # The whole suite runs many programs, some of them several times.
        result = run(["ctest", "--preset", "default", "--stop-on-failure"], 4 * timeout)
        return "timeout" if result is None else ("passed" if result[0] == 0 else "failed")
    for (program, *args), env in UNIT_RUNS:
        command = [str(BUILD / "bin" / program), "--gtest_fail_fast=1", "--gtest_brief=1", *args]
        result = run(command, timeout, env)
        if result is None:
            return "timeout"
        if result[0] != 0:
            return "failed"
    return "passed"


def judge(mutant, suite, args):
    """Plants the mutant, builds, tests, and restores the file: 'killed', 'timeout', 'survived'
    or 'uncompiled'."""
    file = ROOT / mutant.path
    original = file.read_bytes()
    try:
        file.write_bytes(apply(mutant, original.decode()).encode())
        built = build(suite, args.jobs, args.build_timeout)
        if built is None or built[0] != 0:
            return "uncompiled"
        outcome = test(suite, args.test_timeout)
        return {"passed": "survived", "failed": "killed", "timeout": "timeout"}[outcome]
    finally:
        file.write_bytes(original)


def clean(paths):
    return subprocess.run(["git", "diff", "--quiet", "--", *paths], cwd=ROOT).returncode == 0


def check_baseline(suite, args):
    built = build(suite, args.jobs, args.build_timeout)
    if built is None or built[0] != 0:
        sys.exit("the unmutated code does not build:\n" + (built[1] if built else "timeout"))
    if test(suite, args.test_timeout) != "passed":
        sys.exit(f"the unmutated code fails the {suite} suite: fix that first")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--files", nargs="+", default=DEFAULT_FILES,
                        help="globs relative to the repository (default: %(default)s)")
    parser.add_argument("--operators", default=",".join(OPERATORS),
                        help="comma-separated subset of: %(default)s")
    parser.add_argument("--limit", type=int, help="run a random sample of this many mutants")
    parser.add_argument("--seed", type=int, default=1, help="of the sample (default: 1)")
    parser.add_argument("--only", nargs="+", metavar="ID", help="run exactly these mutants")
    parser.add_argument("--rerun", metavar="REPORT", help="run the survivors of a recorded run")
    parser.add_argument("--suite", choices=["unit", "full"], default="unit")
    parser.add_argument("--recheck-full", action="store_true",
                        help="run the unit suite's survivors against the full suite too")
    parser.add_argument("--list", action="store_true", help="print the mutants, run nothing")
    parser.add_argument("--report", metavar="FILE", help="write every outcome there as JSON")
    parser.add_argument("--jobs", type=int, default=2, help="build jobs (default: 2)")
    parser.add_argument("--build-timeout", type=float, default=600)
    parser.add_argument("--test-timeout", type=float, default=30,
                        help="seconds for one test program; a mutant past it counts as killed")
    args = parser.parse_args()

    operators = set(args.operators.split(","))
    mutants = find_mutants(args.files, operators)
    by_id = {m.ident: m for m in mutants}
    wanted = args.only or []
    if args.rerun:
        recorded = json.loads(Path(args.rerun).read_text())
        # A survivor whose line has changed since is no longer there to plant.
        survivors = [r["id"] for r in recorded["results"] if r["outcome"] == "survived"
                     and r["id"] in by_id and by_id[r["id"]].old == r["old"]]
        gone = [r["id"] for r in recorded["results"] if r["outcome"] == "survived"
                and r["id"] not in survivors]
        for ident in gone:
            print(f"gone: {ident}")
        wanted += survivors
    if wanted:
        unknown = [i for i in wanted if i not in by_id]
        if unknown:
            sys.exit("no such mutant (has the file changed?): " + ", ".join(unknown))
        mutants = [by_id[i] for i in wanted]
    elif args.limit is not None and args.limit < len(mutants):
        mutants = random.Random(args.seed).sample(mutants, args.limit)
    # Neighbouring mutants share a file: fewer different objects to rebuild in a row.
    mutants.sort(key=lambda m: (m.path, m.line, m.column, m.new))

    if args.list:
        for m in mutants:
            print(m.ident, "  ", m.describe())
        print(f"{len(mutants)} mutants")
        return 0

    paths = sorted({m.path for m in mutants})
    if not clean(paths):
        sys.exit("uncommitted changes in a file to mutate: commit or stash them first")
    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGHUP, on_signal)

    results = []
    started = time.monotonic()
    try:
        check_baseline(args.suite, args)
        for n, mutant in enumerate(mutants, start=1):
            begun = time.monotonic()
            outcome = judge(mutant, args.suite, args)
            results.append({"id": mutant.ident, "outcome": outcome, **asdict(mutant)})
            print(f"[{n}/{len(mutants)}] {outcome:10} {mutant.describe()} "
                  f"({time.monotonic() - begun:.0f} s)", flush=True)
        if args.recheck_full and args.suite == "unit":
            survivors = [r for r in results if r["outcome"] == "survived"]
            if survivors:
                print(f"-- {len(survivors)} survivors against the full suite", flush=True)
                check_baseline("full", args)
            for r in survivors:
                mutant = by_id[r["id"]]
                r["full"] = judge(mutant, "full", args)
                print(f"full: {r['full']:10} {mutant.describe()}", flush=True)
    except (KeyboardInterrupt, Stopped) as stop:
        print(f"stopped ({stop or 'Ctrl-C'}) after {len(results)} mutants", file=sys.stderr)
    finally:
        restored = clean(paths)

    counts = {}
    for r in results:
        counts[r["outcome"]] = counts.get(r["outcome"], 0) + 1
    survivors = [r for r in results if r["outcome"] == "survived"]
    print(f"\n{len(results)} mutants in {time.monotonic() - started:.0f} s: " +
          ", ".join(f"{v} {k}" for k, v in sorted(counts.items())))
    if survivors:
        print("survivors:")
        for r in survivors:
            note = f"  [full suite: {r['full']}]" if "full" in r else ""
            print(f"  {r['id']}{note}\n      {Mutant(**{k: r[k] for k in Mutant.__annotations__}).describe()}")
    if args.report:
        Path(args.report).write_text(json.dumps(
            {"suite": args.suite, "counts": counts, "results": results}, indent=1) + "\n")
    if not restored:
        print("a mutated file differs from git after the run: check `git diff`", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
