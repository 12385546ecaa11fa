#!/usr/bin/env bash
# linearity.sh BUILD_DIR NODE[:PORT] SMALL LARGE [INPUT=INTEGER]
#
# Checks that one call of NODE (its output PORT pulled, by default its first; its integer input
# INPUT set to INTEGER, if given) costs time linear in the size of its input: counts the
# instructions of one call at SIZE SMALL and at SIZE LARGE (call_cost's inputs,
# bench/node_inputs.h) under callgrind, collecting only inside NODE_Evaluate, and fails when the
# larger costs more than 1.2 times LARGE / SMALL times the smaller. Instruction counts do not
# depend on the load of the machine, so the check cannot flake the way a stopwatch does.
set -euo pipefail
shopt -s inherit_errexit

if (($# != 4 && $# != 5)); then
  echo "usage: linearity.sh BUILD_DIR NODE[:PORT] SMALL LARGE [INPUT=INTEGER]" >&2
  exit 2
fi
program=$1/bin/call_cost
node=$2 small=$3 large=$4 input=(${5:+"$5"})
[[ -x $program ]] || { echo "linearity.sh: no $program; build the bench preset first" >&2; exit 2; }

instructions() {
  local out
  out=$(mktemp)
  valgrind --tool=callgrind --toggle-collect="${node%%:*}_Evaluate" --callgrind-out-file="$out" \
    "$program" "$node" "$1" 1 "${input[@]}" 2>/dev/null
  awk '/^summary:/ { print $2 }' "$out"
  rm -f "$out"
}

at_small=$(instructions "$small")
at_large=$(instructions "$large")
# ratio and bound in hundredths, in integers
ratio=$((100 * at_large / at_small))
bound=$((120 * large / small))
echo "$node${5:+ $5}: $at_small instructions at $small, $at_large at $large: $((ratio / 100)).$(printf %02d $((ratio % 100))) times for $((large / small)) times the size (at most $((bound / 100)).$(printf %02d $((bound % 100))))"
((ratio <= bound))
