#!/usr/bin/env bash
# call_cost.sh BUILD_DIR [--smoke]
#
# The instructions one call of each node costs on a batch of one element, as a Markdown table:
# BUILD_DIR/bin/call_cost runs under callgrind, collecting only inside <node>_Evaluate, once
# with 1 call and once with 101; (Ir(101) - Ir(1)) / 100 is the cost of a call once the
# storage is sized, free of loading and set-up. Instruction counts do not depend on the load of
# the machine, so this runs beside other work.
#
# --smoke: every case once, 2 calls, without valgrind; prints one line per case. The bench
# tests run it so that neither this script's cases nor call_cost can rot.
set -euo pipefail
shopt -s inherit_errexit

if (($# < 1 || $# > 2)) || { (($# == 2)) && [[ $2 != --smoke ]]; }; then
  echo "usage: call_cost.sh BUILD_DIR [--smoke]" >&2
  exit 2
fi
program=$1/bin/call_cost
smoke=${2:-}
[[ -x $program ]] || { echo "call_cost.sh: no $program; build the bench preset first" >&2; exit 2; }

# NODE SIZE LABEL: the inputs of the benchmarks (bench/node_inputs.h), kestrune at its default
# text with RemoveAll on.
cases=(
  "kestrune 0 default text, RemoveAll on"
  "palvane 4 4 pieces"
  "palvane 64 64 pieces"
  "dromlet 4 4 pieces"
  "dromlet 64 64 pieces"
  "ocherin 16 16 characters"
  "ocherin 1024 1,024 characters"
  "vireth 1 1 item"
  "vireth 16 16 items"
  "tamsel 1 1 item"
  "tamsel 16 16 items"
)

# The instructions executed inside node's callback over calls calls.
instructions() {
  local node=$1 size=$2 calls=$3 out
  out=$(mktemp)
  valgrind --tool=callgrind --toggle-collect="${node}_Evaluate" --callgrind-out-file="$out" \
    "$program" "$node" "$size" "$calls" 2>/dev/null
  awk '/^summary:/ { print $2 }' "$out"
  rm -f "$out"
}

if [[ $smoke == --smoke ]]; then
  for c in "${cases[@]}"; do
    read -r node size _ <<<"$c"
    "$program" "$node" "$size" 2
    echo "call_cost $node $size: ok"
  done
  exit 0
fi

echo "| node | input | instructions per call |"
echo "|---|---|---:|"
for c in "${cases[@]}"; do
  read -r node size label <<<"$c"
  one=$(instructions "$node" "$size" 1)
  many=$(instructions "$node" "$size" 101)
  printf '| %s | %s | %s |\n' "$node" "$label" \
    "$(echo $(((many - one) / 100)) | sed ':a; s/\B[0-9]\{3\}\>/,&/; ta')"
done
