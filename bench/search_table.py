#!/usr/bin/env python3
"""The tables of docs/performance.md's section on the search, from one node_bench run.

    bench/search_table.py BENCH_JSON [MORE_JSON...]

Prints Markdown tables of medians: textfind on ordinary text (the textfind_<needle> rows)
beside std::wstring_view::find on the same texts, and textfind and textreplace on their worst
cases (the textfind and textreplace rows at 64 and 1,000 characters) beside their ideal, from
the first run; and, given more runs, node / find on ordinary text in each run, the first
included. A run must hold the rows it is read for with repetitions (--benchmark_repetitions=5
--benchmark_report_aggregates_only=true).
"""
import sys

from results import load

NEEDLES = [("rare_word", "a rare word, `particles`"), ("absent_word", "an absent word, `zebra`"),
           ("one_character", "one character, `Z`"),
           ("forty_characters", "40 characters, `settled … harbour.`")]
LAYOUTS = [(1000, 10000, "1,000 characters × 10,000"), (10_000_000, 1, "10,000,000 characters × 1")]


def ns(v):
    if v is None:
        return "—"
    return f"{v:,.1f}" if v < 1e4 else f"{v:,.0f}"


def ratio(a, b):
    return "—" if a is None or b is None else f"{a / b:.2f}"


def ordinary(r):
    lines = ["| needle | text | node (ns) | ideal (ns) | `wstring_view::find` (ns) | node / find |",
             "|---|---|---:|---:|---:|---:|"]
    for needle, label in NEEDLES:
        for size, batch, text in LAYOUTS:
            n, i, l = (r.get(f"textfind_{needle}", row, size, batch)
                       for row in ("node", "ideal", "literal"))
            lines.append(f"| {label} | {text} | {ns(n)} | {ns(i)} | {ns(l)} | {ratio(n, l)} |")
    return "\n".join(lines)


def worst(r):
    lines = ["| node | characters | batch | node (ns) | ideal (ns) | literal (ns) | node / ideal |",
             "|---|---:|---:|---:|---:|---:|---:|"]
    for node in ("textfind", "textreplace"):
        for size in (64, 1000):
            for batch in (1, 10000):
                n, i, l = (r.get(node, row, size, batch) for row in ("node", "ideal", "literal"))
                lines.append(f"| {node} | {size:,} | {batch:,} | {ns(n)} | {ns(i)} | {ns(l)} | "
                             f"{ratio(n, i)} |")
    return "\n".join(lines)


def across(runs):
    lines = ["| needle | text | " + " | ".join(f"run {i + 1}" for i in range(len(runs))) + " |",
             "|---|---|" + "---:|" * len(runs)]
    for needle, label in NEEDLES:
        for size, batch, text in LAYOUTS:
            ratios = (ratio(r.get(f"textfind_{needle}", "node", size, batch),
                            r.get(f"textfind_{needle}", "literal", size, batch)) for r in runs)
            lines.append(f"| {label} | {text} | " + " | ".join(ratios) + " |")
    return "\n".join(lines)


def main(argv):
    if not argv:
        print(__doc__.strip().split("\n\n")[1], file=sys.stderr)
        return 2
    runs = [load(path) for path in argv]
    tables = [ordinary(runs[0]), worst(runs[0])]
    if len(runs) > 1:
        tables.append(across(runs))
    print("\n\n".join(tables))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
