#!/usr/bin/env python3
"""Turns one node_bench run into the Markdown tables of docs/performance.md.

    bench/table.py BENCH_JSON                        print every table
    bench/table.py BENCH_JSON --doc DOC [--call-cost FILE]
                                                     write them into DOC's generated blocks

A block of DOC runs from a line `<!-- generated: NAME -->` to `<!-- end: NAME -->`; --doc
replaces what stands between with the table NAME: run (the machine and the date, from the
JSON), batch-1 and batch-10000 (each node at each size: the median time per element, or per
item, of the node, the ideal and the literal rows, then node / ideal and literal / node),
threads, goals-10000 and goals-1 (each goal with its figures, met or not), and call-cost (the
Markdown file call_cost.sh printed, as it stands). A block of DOC that this script does not
make, or a table that DOC has no block for, is an error: DOC is left as it was.
"""
import argparse
import re
import sys

from results import BATCHES, NODES, load, size_label


def number(v):
    if v is None:
        return "—"
    return f"{v:,.1f}" if v < 1e5 else f"{v:,.0f}"


def times(v):
    """A ratio as the goals give it: 0.0028 ×, 1.07 ×, 12.3 ×, 1,484 ×."""
    if v < 0.1:
        return f"{v:.2g} ×"
    if v < 10:
        return f"{v:.2f} ×"
    return f"{v:.1f} ×" if v < 100 else f"{v:,.0f} ×"


def batch_table(r, batch):
    lines = [
        "| node | size | unit | node (ns) | ideal (ns) | literal (ns) | node / ideal | literal / node |",
        "|---|---|---|---:|---:|---:|---:|---:|",
    ]
    for node, size in r.cases():
        n, i, l = (r.get(node, row, size, batch) for row in ("node", "ideal", "literal"))
        ratio = lambda a, b: "—" if a is None or b is None else f"{a / b:,.2f}"
        lines.append(f"| {node} | {size_label(node, size)} | {r.units[node]} | {number(n)} | "
                     f"{number(i)} | {number(l)} | {ratio(n, i)} | {ratio(l, n)} |")
    return "\n".join(lines)


def threads_table(r):
    lines = ["| threads | elements per second (wall clock) | against 1 thread |", "|---:|---:|---:|"]
    for t in sorted(r.threads):
        lines.append(f"| {t} | {r.threads[t] / 1e6:,.1f} M | {r.threads[t] / r.threads[1]:.2f} |")
    return "\n".join(lines)


class Goal:
    """One goal: a text and its parts, each a label, a measured figure and whether it keeps its
    limit. A goal is met when every part keeps its limit; with a figure the run lacks, or no
    part at all, it is not measured."""

    def __init__(self, text):
        self.text = text
        self.parts = []  # (label, figure or None, kept)

    def at_most(self, label, figure, limit):
        return self._part(label, figure, lambda f: f <= limit)

    def at_least(self, label, figure, limit):
        return self._part(label, figure, lambda f: f >= limit)

    def below(self, label, figure, limit):
        return self._part(label, figure, lambda f: f < limit)

    def _part(self, label, figure, keeps):
        self.parts.append((label, figure, None if figure is None else keeps(figure)))
        return self

    def row(self):
        figures = ", ".join(f"{label}{': ' if label else ''}{'—' if f is None else times(f)}"
                            for label, f, _ in self.parts)
        kept = [k for _, _, k in self.parts]
        missed = [label for label, _, k in self.parts if k is False]
        if not self.parts or None in kept:
            verdict = "not measured"
        elif not missed:
            verdict = "met"
        elif len(missed) == len(self.parts):
            verdict = "**not met**"
        else:
            verdict = "**not met** (" + ", ".join(missed) + ")"
        return f"| {self.text} | {figures} | {verdict} |"


def goals_at_10000(r):
    b = 10000
    near_ideal = Goal("palvane, dromlet, ocherin: node ≤ 1.3 × ideal")
    for node in ("palvane", "dromlet", "ocherin"):
        for size in r.sizes(node):
            near_ideal.at_most(f"{node} {size_label(node, size)}",
                               r.ratio(node, size, b, "node", "ideal"), 1.3)
    over_literal = Goal("palvane, dromlet: node ≥ 5 × faster than literal at 64 pieces")
    for node in ("palvane", "dromlet"):
        over_literal.at_least(node, r.ratio(node, 64, b, "literal", "node"), 5)
    texts = Goal("vireth, tamsel: node ≤ 1.5 × ideal per item")
    for node in ("vireth", "tamsel"):
        for size in r.sizes(node):
            texts.at_most(f"{node} {size_label(node, size)}",
                          r.ratio(node, size, b, "node", "ideal"), 1.5)
    snprintf = Goal("vireth: node ≥ 4 × faster than the `snprintf` literal")
    for size in r.sizes("vireth"):
        snprintf.at_least(size_label("vireth", size), r.ratio("vireth", size, b, "literal", "node"), 4)
    large, small = r.get("kestrune", "node", 100000, b), r.get("kestrune", "node", 10000, b)
    threads = r.threads[2] / r.threads[1] if 1 in r.threads and 2 in r.threads else None
    return [
        near_ideal, over_literal, texts, snprintf,
        Goal("kestrune: N = 100,000 ≤ 12 × N = 10,000 (node)")
        .at_most("", None if large is None or small is None else large / small, 12),
        Goal("kestrune: node ≥ 1,000 × faster than literal at N = 10,000")
        .at_least("", r.ratio("kestrune", 10000, b, "literal", "node"), 1000),
        Goal("kestrune: default text node ≤ 1.5 × literal")
        .at_most("", r.ratio("kestrune", 0, b, "node", "literal"), 1.5),
        Goal("2 threads ≥ 1.7 × 1 thread").at_least("", threads, 1.7),
    ]


def goals_at_1(r):
    b = 1
    goals = [
        Goal("kestrune, default text: node ≤ 2 × ideal")
        .at_most("", r.ratio("kestrune", 0, b, "node", "ideal"), 2),
        Goal("kestrune, default text: node faster than literal (node / literal < 1)")
        .below("", r.ratio("kestrune", 0, b, "node", "literal"), 1),
    ]
    for size, limit in ((4, 3), (64, 25)):
        goal = Goal(f"palvane, dromlet, {size_label('palvane', size)}: node ≤ {limit} × ideal")
        for node in ("palvane", "dromlet"):
            goal.at_most(node, r.ratio(node, size, b, "node", "ideal"), limit)
        goals.append(goal)
    goals.append(Goal("ocherin, 16 characters: node ≤ 1.5 × ideal")
                 .at_most("", r.ratio("ocherin", 16, b, "node", "ideal"), 1.5))
    for node in ("vireth", "tamsel"):
        goal = Goal(f"{node}: node ≤ 1.3 × ideal per item, at 1 and 16 items")
        for size in (1, 16):
            goal.at_most(size_label(node, size), r.ratio(node, size, b, "node", "ideal"), 1.3)
        goals.append(goal)
    for node in NODES:
        goal = Goal(f"{node}: node at least as fast as literal (node / literal ≤ 1)")
        for size in r.sizes(node):
            if r.get(node, "literal", size, b) is not None:
                goal.at_most(size_label(node, size), r.ratio(node, size, b, "node", "literal"), 1)
        goals.append(goal)
    return goals


def goals_table(goals):
    lines = ["| goal | measured | |", "|---|---|---|"]
    return "\n".join(lines + [g.row() for g in goals])


def run_line(r):
    c = r.context
    date = c.get("date", "?").replace("T", " ")
    load_avg = ", ".join(f"{v:.2f}" for v in c.get("load_avg", [])) or "?"
    return (f"Run of {date}, {c.get('num_cpus', '?')} CPUs at {c.get('mhz_per_cpu', '?')} MHz, "
            f"load average {load_avg} at the start.\n"
            f"Medians of {r.repetitions} repetitions, every table and chart from this one run.")


def tables_of(r):
    """Every table made from the run r, by block name."""
    blocks = {"run": run_line(r)}
    for batch in BATCHES:
        blocks[f"batch-{batch}"] = batch_table(r, batch)
    blocks["threads"] = threads_table(r)
    blocks["goals-10000"] = goals_table(goals_at_10000(r))
    blocks["goals-1"] = goals_table(goals_at_1(r))
    return blocks


BLOCK = re.compile(r"(<!-- generated: (?P<name>[\w-]+) -->\n)(?P<text>.*?\n)??"
                   r"(<!-- end: (?P=name) -->)", re.S)


def blocks_in(doc):
    """The text of each generated block of doc, by name."""
    return {m.group("name"): (m.group("text") or "").rstrip("\n") for m in BLOCK.finditer(doc)}


def fill(doc, blocks):
    """doc with the text between each pair of markers replaced by its block."""
    found = blocks_in(doc)
    unknown = sorted(set(found) - set(blocks))
    missing = sorted(set(blocks) - set(found))
    if unknown or missing:
        raise ValueError("the document's generated blocks do not match the tables: "
                         + "; ".join(filter(None, [
                             unknown and "no table for " + ", ".join(unknown),
                             missing and "no block for " + ", ".join(missing)])))
    return BLOCK.sub(lambda m: m.group(1) + blocks[m.group("name")] + "\n" + m.group(4), doc)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("bench_json")
    parser.add_argument("--doc", help="the Markdown document whose generated blocks to rewrite")
    parser.add_argument("--call-cost", help="call_cost.sh's table, for the call-cost block")
    args = parser.parse_args(argv)
    blocks = tables_of(load(args.bench_json))
    if args.call_cost is not None:
        with open(args.call_cost) as f:
            blocks["call-cost"] = f.read().strip()
    if args.doc is None:
        print("\n\n".join(f"{name}:\n\n{text}" for name, text in blocks.items()))
        return 0
    with open(args.doc) as f:
        doc = f.read()
    if args.call_cost is None and "call-cost" in blocks_in(doc):
        blocks["call-cost"] = blocks_in(doc)["call-cost"]  # kept as it stands
    try:
        doc = fill(doc, blocks)
    except ValueError as error:
        print(f"table.py: {error}", file=sys.stderr)
        return 1
    with open(args.doc, "w") as f:
        f.write(doc)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
