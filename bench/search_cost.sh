#!/usr/bin/env bash
# search_cost.sh BUILD_DIR [--smoke] [NEEDLE...]
#
# The instructions of textfind on ordinary text beside those of std::wstring_view::find, as a
# Markdown table: each of node_bench's textfind_<NEEDLE> benchmarks (bench/node_inputs.h,
# kOrdinaryNeedles; all four unless named) at 1,000 characters per element over 10,000 elements
# and in one element of 10,000,000 characters, its node, ideal and literal rows. Each row runs
# under callgrind with a minimum time so short that the benchmark times one iteration: the row's
# evaluation runs twice (the benchmark's check, then the timed call), and only inside
# xsi_host::Evaluation::run are instructions counted, so the texts' making is left out. The
# figure is the mean of the two calls, per element. Instruction counts do not depend on the
# load of the machine; this runs beside other work (about a minute per row).
#
# --smoke: every row once without valgrind, checked to time one iteration; one line per row.
# The bench tests run it so that neither this script nor the benchmarks' names can rot.
set -euo pipefail
shopt -s inherit_errexit

if (($# < 1)); then
  echo "usage: search_cost.sh BUILD_DIR [--smoke] [NEEDLE...]" >&2
  exit 2
fi
program=$1/bin/node_bench
shift
smoke=
if (($#)) && [[ $1 == --smoke ]]; then
  smoke=1
  shift
fi
needles=("$@")
((${#needles[@]})) || needles=(rare_word absent_word one_character forty_characters)
[[ -x $program ]] || { echo "search_cost.sh: no $program; build the bench preset first" >&2; exit 2; }

# Instructions per element of one evaluation of the benchmark named $1.
per_element() {
  local name=$1 elements=$2 out log
  out=$(mktemp)
  log=$(mktemp)
  local run=(valgrind --tool=callgrind --toggle-collect='xsi_host::Evaluation::run*'
             --callgrind-out-file="$out")
  [[ -z $smoke ]] || run=()
  "${run[@]}" "$program" --benchmark_filter="^$name\$" --benchmark_min_time=1e-9 \
    --benchmark_format=csv >"$log" 2>/dev/null
  # The CSV line of the benchmark: name, iterations, ...; one timed iteration is two calls.
  if ! grep -q "^\"$name\",1," "$log"; then
    echo "search_cost.sh: $name did not run exactly one timed iteration" >&2
    exit 1
  fi
  awk -v n="$elements" '/^summary:/ { printf "%.0f", $2 / 2 / n }' "$out"
  rm -f "$out" "$log"
}

if [[ -n $smoke ]]; then
  for needle in "${needles[@]}"; do
    for name in {node,ideal,literal}/1000/10000 {node,ideal,literal}/10000000/1; do
      per_element "textfind_$needle/$name" 1
      echo "search_cost textfind_$needle/$name: ok"
    done
  done
  exit 0
fi

thousands() { sed ':a; s/\B[0-9]\{3\}\>/,&/; ta' <<<"$1"; }

echo "| needle | text | node | ideal | literal | node / literal |"
echo "|---|---|---:|---:|---:|---:|"
for needle in "${needles[@]}"; do
  for layout in "1000 10000 1,000 characters × 10,000" "10000000 1 10,000,000 characters × 1"; do
    read -r size batch label <<<"$layout"
    node=$(per_element "textfind_$needle/node/$size/$batch" "$batch")
    ideal=$(per_element "textfind_$needle/ideal/$size/$batch" "$batch")
    literal=$(per_element "textfind_$needle/literal/$size/$batch" "$batch")
    ratio=$(awk -v a="$node" -v b="$literal" 'BEGIN { printf "%.3f", a / b }')
    printf '| %s | %s | %s | %s | %s | %s |\n' "${needle//_/ }" "$label" "$(thousands "$node")" \
      "$(thousands "$ideal")" "$(thousands "$literal")" "$ratio"
  done
done
