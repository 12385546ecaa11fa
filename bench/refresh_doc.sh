#!/usr/bin/env bash
# refresh_doc.sh BUILD_DIR: measures again and rewrites every table and chart of
# docs/performance.md from the one new run.
#
#   cmake --preset bench && cmake --build --preset bench && bench/refresh_doc.sh build/bench
#
# Runs node_bench (5 repetitions, medians; about ten minutes: leave the machine idle meanwhile),
# then call_cost.sh (instruction counts under callgrind), and keeps both outputs in BUILD_DIR
# (bench.json, call_cost.md); then table.py rewrites the document's generated blocks and
# charts.py redraws docs/*.png. The prose around the tables is not touched: read it again
# against the new figures.
set -euo pipefail

if (($# != 1)); then
  echo "usage: refresh_doc.sh BUILD_DIR" >&2
  exit 2
fi
build=$1
here=$(cd "$(dirname "$0")" && pwd)
docs=$here/../docs

"$build/bin/node_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$build/bench.json" --benchmark_out_format=json
"$here/call_cost.sh" "$build" >"$build/call_cost.md"
"$here/table.py" "$build/bench.json" --call-cost "$build/call_cost.md" --doc "$docs/performance.md"
"$here/charts.py" "$build/bench.json" "$docs"
