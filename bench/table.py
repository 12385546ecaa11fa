#!/usr/bin/env python3
"""Turns node_bench's JSON output into the Markdown table of docs/performance.md.

    build/bench/bin/node_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_out=bench.json --benchmark_out_format=json
    bench/table.py bench.json

Each row: one node at one size, the median time per element (or per item) of the node, the
ideal and the literal rows, then node / ideal and literal / node.
"""
import json
import sys


def main(path):
    with open(path) as f:
        run = json.load(f)
    medians = {}
    threads = {}
    for b in run["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"]
        if name.startswith("palvane_threads"):
            count = int(name.split("threads:")[1].split("/")[0])
            threads[count] = b["elements_per_second"]
            continue
        node, row, size = name.split("/")
        unit = "per_item" if "per_item" in b else "per_element"
        medians[(node, size, row)] = (b[unit] * 1e9, unit.replace("_", " "))
    print("| node | size | unit | node (ns) | ideal (ns) | literal (ns) | node / ideal | literal / node |")
    print("|---|---:|---|---:|---:|---:|---:|---:|")
    keys = sorted({(n, s) for n, s, _ in medians}, key=lambda k: (
        ["kestrune", "palvane", "dromlet", "ocherin", "vireth", "tamsel"].index(k[0]), int(k[1])))
    for node, size in keys:
        get = lambda row: medians.get((node, size, row), (None, None))[0]
        unit = medians[(node, size, "node")][1]
        n, i, l = get("node"), get("ideal"), get("literal")
        fmt = lambda v: "—" if v is None else (f"{v:,.1f}" if v < 1e5 else f"{v:,.0f}")
        ratio = lambda a, b: "—" if a is None or b is None else f"{a / b:.2f}"
        label = size if node != "kestrune" else ("default text" if size == "0" else f"N = {int(size):,}")
        print(f"| {node} | {label} | {unit} | {fmt(n)} | {fmt(i)} | {fmt(l)} | {ratio(n, i)} | {ratio(l, n)} |")
    if threads:
        print()
        print("| threads | elements per second (wall clock) | against 1 thread |")
        print("|---:|---:|---:|")
        for t in sorted(threads):
            print(f"| {t} | {threads[t] / 1e6:,.1f} M | {threads[t] / threads[1]:.2f} |")


if __name__ == "__main__":
    main(sys.argv[1])
