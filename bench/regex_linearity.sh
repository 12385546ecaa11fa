#!/usr/bin/env bash
# regex_linearity.sh BUILD_DIR [SMALL LARGE]
#
# Checks that the regular expressions take time linear in the text, for a pattern of each kind,
# as linearity.sh checks the other nodes: one element evaluated with BUILD_DIR/bin/icehost under
# callgrind, collecting only inside the node's <node>_Evaluate, on a text of SMALL characters
# (default 10,000) and of LARGE (default 100,000); fails when the larger costs more than 1.2
# times LARGE / SMALL times the smaller. The call compiles its pattern once, a cost that does not
# grow with the text. Instruction counts do not depend on the load of the machine.
set -euo pipefail
shopt -s inherit_errexit

if (($# != 1 && $# != 3)); then
  echo "usage: regex_linearity.sh BUILD_DIR [SMALL LARGE]" >&2
  exit 2
fi
icehost=$1/bin/icehost
small=${2:-10000} large=${3:-100000}
[[ -x $icehost ]] || { echo "regex_linearity.sh: no $icehost; build first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# NAME;NODE;PATTERN;MOTIF;TAIL: the text is MOTIF repeated to the size, then TAIL; regexextract
# takes group 1, regexreplace replaces every match by x.
cases=(
  "literal;regexmatch;particles;the quieter harbour ;"
  "classes_and_repeats;regexextract;([a-z]+)\\d{3}x;abc 12 d 9;"
  "alternation;regexreplace;(cat|dog|bird)s?!;cats dogs birds ;"
  "nested_repeats;regexmatch;(a+)+\$;a;b"
  "repeated_alternation;regexextract;(x|y)*e;x;e"
)

text_of() {  # motif tail size -> file
  python3 - "$1" "$2" "$3" "$4" <<'PY'
import sys
motif, tail, size, path = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
text = (motif * (size // len(motif) + 1))[: size - len(tail)] + tail
open(path, "w", encoding="utf-8").write(text)
PY
}

instructions() {  # node pattern file
  local out extra=()
  out=$(mktemp -p "$work")
  [[ $1 == regexextract ]] && extra=(--set Group=1)
  [[ $1 == regexreplace ]] && extra=(--set With=x --set ReplaceAll=true)
  valgrind --tool=callgrind --toggle-collect="$1_Evaluate" --callgrind-out-file="$out" \
    "$icehost" eval "$1" --set "Pattern=$2" --set-file "String=$3" "${extra[@]}" --elements 1 \
    >/dev/null 2>&1
  awk '/^summary:/ { print $2 }' "$out"
}

failed=0
for c in "${cases[@]}"; do
  IFS=';' read -r name node pattern motif tail <<<"$c"
  text_of "$motif" "$tail" "$small" "$work/small.txt"
  text_of "$motif" "$tail" "$large" "$work/large.txt"
  at_small=$(instructions "$node" "$pattern" "$work/small.txt")
  at_large=$(instructions "$node" "$pattern" "$work/large.txt")
  ratio=$((100 * at_large / at_small))
  bound=$((120 * large / small))
  printf '%s %s %s: %s instructions at %s, %s at %s: %d.%02d times for %d times the size (at most %d.%02d)\n' \
    "$name" "$node" "$pattern" "$at_small" "$small" "$at_large" "$large" $((ratio / 100)) \
    $((ratio % 100)) $((large / small)) $((bound / 100)) $((bound % 100))
  ((ratio <= bound)) || failed=1
done
exit $failed
