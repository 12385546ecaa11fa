#!/usr/bin/env python3
"""Draws the charts of docs/performance.md from one node_bench run, with gnuplot.

    bench/charts.py BENCH_JSON OUT_DIR [--format png|svg]

Writes into OUT_DIR:
  kestrune_remove_all.FORMAT  kestrune with RemoveAll on, time per call on a batch of one
                              element against N, node and literal, log-log: the node's removal
                              is linear in N (a straight line of slope 1), the literal's
                              quadratic (twice as steep);
  per_element.FORMAT          the time per element (per item for vireth and tamsel) of every
                              node and size beside its ideal, at a batch of 1 element and of
                              10,000, on a log scale.
PNG by default, through gnuplot's pngcairo terminal; or SVG.
"""
import argparse
import os
import subprocess
import sys
import tempfile

from results import BATCHES, batch_label, load, size_label

TERMINALS = {
    "svg": "svg size {w},{h} dynamic font 'sans,12' background rgb 'white'",
    "png": "pngcairo size {w},{h} font 'sans,10' background rgb 'white'",
}


def gnuplot(script, data):
    """Runs script with the path of a file holding data in the variable `data`."""
    with tempfile.NamedTemporaryFile("w", suffix=".dat", delete=False) as f:
        f.write(data)
        path = f.name
    try:
        subprocess.run(["gnuplot"], input=f"data = '{path}'\n" + script, text=True, check=True)
    finally:
        os.unlink(path)


def kestrune_chart(r, out, terminal):
    rows = []
    for n in r.sizes("kestrune"):
        if n == 0:
            continue  # the default text has no N: it cannot stand on a log axis
        per_call = [r.get("kestrune", row, n, 1) for row in ("node", "literal")]
        rows.append(f"{n} " + " ".join("NaN" if v is None else f"{v / 1e3:.6g}" for v in per_call))
    script = f"""
set terminal {terminal.format(w=720, h=480)}
set output '{out}'
set title 'kestrune, RemoveAll on: one call on a batch of 1 element'
set xlabel 'N (the text: "a" N times, then "b" N times; the sub-text "ab")'
set ylabel 'time per call (µs)'
set logscale xy
set format x '%.0s%c'
set format y '10^{{%T}}'
set grid
set key top left
set xrange [500:200000]
plot data using 1:2 with linespoints lw 2 pt 7 title 'node (linear in N)', \\
     data using 1:3 with linespoints lw 2 pt 5 title 'literal (quadratic in N)'
"""
    gnuplot(script, "\n".join(rows) + "\n")


def per_element_chart(r, out, terminal):
    rows = []
    for node, size in r.cases():
        values = [r.get(node, row, size, batch) for batch in BATCHES for row in ("node", "ideal")]
        label = f"{node}\\n{size_label(node, size).replace('characters', 'chars')}"
        rows.append(f'"{label}" ' + " ".join("NaN" if v is None else f"{v:.6g}" for v in values))
    columns = [f"{row}, {batch_label(batch)}" for batch in BATCHES for row in ("node", "ideal")]
    colours = ["#c0392b", "#f1948a", "#1f618d", "#85c1e9"]
    plots = ", \\\n     ".join(
        f"data using {i + 2}{':xtic(1)' if i == 0 else ''} title '{title}' lc rgb '{colour}'"
        for i, (title, colour) in enumerate(zip(columns, colours)))
    script = f"""
set terminal {terminal.format(w=1400, h=520)}
set output '{out}'
set title 'Time per element (per item for vireth and tamsel): node beside ideal, on two batches'
set ylabel 'ns per element (log scale)'
set logscale y
set yrange [1:*]
set grid ytics
set style data histograms
set style histogram clustered gap 1
set style fill solid border rgb 'black'
set boxwidth 0.9
set xtics font ',9' nomirror
set format y '10^{{%T}}'
set key below horizontal
set bmargin 6
plot {plots}
"""
    gnuplot(script, "\n".join(rows) + "\n")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("bench_json")
    parser.add_argument("out_dir")
    parser.add_argument("--format", choices=sorted(TERMINALS), default="png")
    args = parser.parse_args(argv)
    r = load(args.bench_json)
    terminal = TERMINALS[args.format]
    for name, draw in (("kestrune_remove_all", kestrune_chart), ("per_element", per_element_chart)):
        out = os.path.join(args.out_dir, f"{name}.{args.format}")
        draw(r, out, terminal)
        print(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
