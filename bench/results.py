"""The medians of one node_bench run, read from its JSON output (repetitions with aggregates).

Shared by table.py and charts.py. Benchmarks are named NODE/ROW/SIZE/BATCH; each median is
kept in nanoseconds per element (per item for vireth and tamsel), from the per_element or
per_item counter, so that every batch and size compares directly.
"""
import json

NODES = ["kestrune", "palvane", "dromlet", "ocherin", "vireth", "tamsel"]
ROWS = ["node", "ideal", "literal"]
BATCHES = [1, 10000]


class Results:
    def __init__(self, run):
        self.context = run.get("context", {})
        self.medians = {}  # (node, row, size, batch) -> ns per unit
        self.units = {}  # node -> "per element" or "per item"
        self.threads = {}  # thread count -> elements per second
        self.repetitions = 0
        for b in run["benchmarks"]:
            if b.get("aggregate_name") != "median":
                continue
            name = b["run_name"]
            self.repetitions = max(self.repetitions, b.get("repetitions", 0))
            if name.startswith("palvane_threads"):
                count = int(name.split("threads:")[1].split("/")[0])
                self.threads[count] = b["elements_per_second"]
                continue
            node, row, size, batch = name.split("/")
            unit = "per_item" if "per_item" in b else "per_element"
            self.medians[(node, row, int(size), int(batch))] = b[unit] * 1e9
            self.units[node] = unit.replace("_", " ")

    def get(self, node, row, size, batch):
        """The median in ns per unit, or None when the run lacks it."""
        return self.medians.get((node, row, size, batch))

    def ratio(self, node, size, batch, row_a, row_b):
        """row_a / row_b at one node, size and batch, or None when either is missing."""
        a, b = self.get(node, row_a, size, batch), self.get(node, row_b, size, batch)
        return None if a is None or b is None else a / b

    def sizes(self, node):
        """The sizes the run measured node at, smallest first."""
        return sorted({s for n, _, s, _ in self.medians if n == node})

    def cases(self):
        """Every (node, size) measured, in the tables' order."""
        return [(node, size) for node in NODES for size in self.sizes(node)]


def load(path):
    with open(path) as f:
        return Results(json.load(f))


def size_label(node, size):
    """How a size reads in a table: '4 pieces', 'N = 1,000', 'default text'."""
    if node == "kestrune":
        return "default text" if size == 0 else f"N = {size:,}"
    unit = {"palvane": "piece", "dromlet": "piece", "ocherin": "character"}.get(node, "item")
    return f"{size:,} {unit}{'' if size == 1 else 's'}"


def batch_label(batch):
    return f"{batch:,} element{'' if batch == 1 else 's'}"
