#!/usr/bin/env python3
"""Tests of the scripts that turn a node_bench run into docs/performance.md's tables and
charts: reading the run, judging the goals, filling the document's generated blocks."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import results  # noqa: E402
import table  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))


def aggregate(name, kind, value, unit="per_element", repetitions=5):
    return {"name": f"{name}_{kind}", "run_name": name, "run_type": "aggregate",
            "aggregate_name": kind, "repetitions": repetitions, unit: value}


def run_of(ns, threads=None):
    """A node_bench run whose medians are ns[(node, row, size, batch)] nanoseconds per unit;
    every mean is ten times off, so that reading one instead of the median shows."""
    benchmarks = []
    for (node, row, size, batch), v in ns.items():
        unit = "per_item" if node in ("vireth", "tamsel") else "per_element"
        name = f"{node}/{row}/{size}/{batch}"
        benchmarks.append(aggregate(name, "median", v * 1e-9, unit))
        benchmarks.append(aggregate(name, "mean", v * 10e-9, unit))
    for count, rate in (threads or {}).items():
        name = f"palvane_threads/threads:{count}/real_time"
        benchmarks.append(aggregate(name, "median", rate, "elements_per_second"))
    return {"context": {"date": "2026-01-01T00:00:00+00:00", "num_cpus": 2, "mhz_per_cpu": 2000,
                        "load_avg": [0.1, 0.2, 0.3]}, "benchmarks": benchmarks}


def every_case(node_ns, ideal_ns, literal_ns):
    """Every benchmark node_bench makes, with the same times for each node and size."""
    sizes = {"kestrune": [0, 1000, 10000, 100000], "palvane": [4, 64], "dromlet": [4, 64],
             "ocherin": [16, 1024], "vireth": [1, 16], "tamsel": [1, 16]}
    ns = {}
    for node, node_sizes in sizes.items():
        for size in node_sizes:
            for batch in results.BATCHES:
                ns[(node, "node", size, batch)] = node_ns
                ns[(node, "ideal", size, batch)] = ideal_ns
                if node != "kestrune" or size <= 10000:
                    ns[(node, "literal", size, batch)] = literal_ns
    return ns


class TempRun:
    def __init__(self, run):
        self.run = run

    def __enter__(self):
        f = tempfile.NamedTemporaryFile("w", suffix=".json", delete=False)
        json.dump(self.run, f)
        f.close()
        self.path = f.name
        return f.name

    def __exit__(self, *_):
        os.unlink(self.path)


def loaded(run):
    with TempRun(run) as path:
        return results.load(path)


class ReadingARun(unittest.TestCase):
    def test_medians_by_node_row_size_batch_in_ns_per_unit(self):
        r = loaded(run_of({("palvane", "node", 4, 1): 700.0, ("vireth", "ideal", 16, 10000): 49.0},
                          threads={1: 1e8, 2: 2e8}))
        self.assertAlmostEqual(r.get("palvane", "node", 4, 1), 700.0)
        self.assertAlmostEqual(r.get("vireth", "ideal", 16, 10000), 49.0)
        self.assertIsNone(r.get("palvane", "node", 4, 10000))
        self.assertEqual(r.units, {"palvane": "per element", "vireth": "per item"})
        self.assertEqual(r.threads, {1: 1e8, 2: 2e8})
        self.assertEqual(r.repetitions, 5)

    def test_cases_in_table_order_smallest_size_first(self):
        r = loaded(run_of({("tamsel", "node", 16, 1): 1.0, ("kestrune", "node", 1000, 1): 1.0,
                           ("kestrune", "node", 0, 1): 1.0, ("palvane", "node", 64, 1): 1.0}))
        self.assertEqual(r.cases(), [("kestrune", 0), ("kestrune", 1000), ("palvane", 64),
                                     ("tamsel", 16)])

    def test_size_labels(self):
        self.assertEqual(results.size_label("kestrune", 0), "default text")
        self.assertEqual(results.size_label("kestrune", 100000), "N = 100,000")
        self.assertEqual(results.size_label("ocherin", 1024), "1,024 characters")
        self.assertEqual(results.size_label("vireth", 1), "1 item")
        self.assertEqual(results.size_label("dromlet", 4), "4 pieces")


class Goals(unittest.TestCase):
    def test_a_limit_reached_exactly_is_kept_and_one_passed_is_not(self):
        self.assertTrue(table.Goal("g").at_most("a", 1.3, 1.3).row().endswith("| met |"))
        self.assertIn("**not met**", table.Goal("g").at_most("a", 1.3001, 1.3).row())
        self.assertTrue(table.Goal("g").at_least("a", 5.0, 5).row().endswith("| met |"))
        self.assertIn("**not met**", table.Goal("g").below("a", 1.0, 1).row())

    def test_the_parts_missed_are_named_and_a_missing_figure_is_not_measured(self):
        goal = table.Goal("g").at_most("palvane", 2.0, 3).at_most("dromlet", 4.0, 3)
        self.assertEqual(goal.row(), "| g | palvane: 2.00 ×, dromlet: 4.00 × | **not met** (dromlet) |")
        self.assertIn("| not measured |", table.Goal("g").at_most("a", None, 3).row())
        self.assertIn("| not measured |", table.Goal("g").row())

    def test_batch_1_goals_read_the_batch_1_figures(self):
        ns = every_case(node_ns=100.0, ideal_ns=100.0, literal_ns=200.0)
        # At 10,000 elements every node is far off its ideal: the batch 1 goals must not see it.
        for key in ns:
            if key[1] == "node" and key[3] == 10000:
                ns[key] = 1e6
        rows = [g.row() for g in table.goals_at_1(loaded(run_of(ns)))]
        self.assertTrue(all(row.endswith("| met |") for row in rows), rows)

    def test_node_no_faster_than_literal_at_1_element_is_not_met(self):
        ns = every_case(node_ns=100.0, ideal_ns=90.0, literal_ns=400.0)
        ns[("kestrune", "literal", 0, 1)] = 100.0
        ns[("ocherin", "literal", 1024, 1)] = 99.0
        rows = {g.text: g.row() for g in table.goals_at_1(loaded(run_of(ns)))}
        self.assertIn("**not met**", rows["kestrune, default text: node faster than literal "
                                           "(node / literal < 1)"])
        self.assertIn("**not met** (1,024 characters)",
                      rows["ocherin: node at least as fast as literal (node / literal ≤ 1)"])
        self.assertTrue(rows["palvane: node at least as fast as literal (node / literal ≤ 1)"]
                        .endswith("| met |"))

    def test_goals_at_10000_elements(self):
        ns = every_case(node_ns=10.0, ideal_ns=9.0, literal_ns=20000.0)
        ns[("kestrune", "node", 100000, 10000)] = 130.0  # 13 × N = 10,000
        rows = [g.row() for g in table.goals_at_10000(loaded(run_of(ns, threads={1: 1e8, 2: 1.6e8})))]
        self.assertIn("| kestrune: N = 100,000 ≤ 12 × N = 10,000 (node) | 13.0 × | **not met** |", rows)
        self.assertIn("| 2 threads ≥ 1.7 × 1 thread | 1.60 × | **not met** |", rows)
        self.assertTrue(rows[0].endswith("| met |"), rows[0])


DOC = """# Title
Prose that stays.
<!-- generated: run -->
old run
<!-- end: run -->
between
<!-- generated: goals-1 -->
old
goals
<!-- end: goals-1 -->
after
"""


class FillingTheDocument(unittest.TestCase):
    def test_only_the_text_between_the_markers_changes(self):
        filled = table.fill(DOC, {"run": "new run", "goals-1": "| a |\n| b |"})
        self.assertEqual(filled, DOC.replace("old run", "new run").replace("old\ngoals", "| a |\n| b |"))
        self.assertEqual(table.fill(filled, {"run": "new run", "goals-1": "| a |\n| b |"}), filled)

    def test_an_empty_block_is_filled(self):
        self.assertEqual(table.fill("<!-- generated: run -->\n<!-- end: run -->\n", {"run": "x"}),
                         "<!-- generated: run -->\nx\n<!-- end: run -->\n")

    def test_a_block_without_a_table_or_a_table_without_a_block_is_an_error(self):
        with self.assertRaisesRegex(ValueError, "no table for goals-1"):
            table.fill(DOC, {"run": "x"})
        with self.assertRaisesRegex(ValueError, "no block for threads"):
            table.fill(DOC, {"run": "x", "goals-1": "y", "threads": "z"})

    def test_the_document_keeps_its_call_cost_block_when_no_call_cost_table_is_given(self):
        ns = every_case(node_ns=10.0, ideal_ns=9.0, literal_ns=20.0)
        blocks = list(table.tables_of(loaded(run_of(ns, threads={1: 1.0, 2: 2.0}))))
        doc = "".join(f"<!-- generated: {b} -->\nold {b}\n<!-- end: {b} -->\n"
                      for b in blocks + ["call-cost"])
        with TempRun(run_of(ns, threads={1: 1.0, 2: 2.0})) as path, \
                tempfile.NamedTemporaryFile("w", suffix=".md", delete=False) as f:
            f.write(doc)
            f.close()
            self.assertEqual(table.main([path, "--doc", f.name]), 0)
            with open(f.name) as g:
                written = g.read()
            os.unlink(f.name)
        self.assertIn("old call-cost", written)
        self.assertNotIn("old batch-1", written)
        self.assertIn("| palvane | 64 pieces | per element | 10.0 | 9.0 | 20.0 | 1.11 | 2.00 |", written)


@unittest.skipIf(shutil.which("gnuplot") is None, "gnuplot is not installed")
class Charts(unittest.TestCase):
    def test_both_charts_are_drawn_from_a_run(self):
        ns = every_case(node_ns=10.0, ideal_ns=9.0, literal_ns=20.0)
        with TempRun(run_of(ns)) as path, tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, os.path.join(HERE, "charts.py"), path, out,
                            "--format", "svg"],
                           check=True, capture_output=True)
            for name, title in (("kestrune_remove_all.svg", "literal (quadratic in N)"),
                                ("per_element.svg", "ideal, 10,000 elements")):
                with open(os.path.join(out, name)) as f:
                    self.assertIn(title, f.read())


if __name__ == "__main__":
    unittest.main()
