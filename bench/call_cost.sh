#!/usr/bin/env bash
# call_cost.sh BUILD_DIR [--smoke]
#
# The instructions one call of each node costs on a batch of one element, and whose they are,
# as a Markdown table. BUILD_DIR/bin/call_cost runs under callgrind, collecting only inside
# <node>_Evaluate, once with 1 call and once with 101; (Ir(101) - Ir(1)) / 100 is the cost of a
# call once the storage is sized, free of loading and set-up. Instruction counts do not depend
# on the load of the machine, so this runs beside other work.
#
# Each count is split by the object file the instructions ran in:
#   own       the plug-in's library (plugins/lib<node>.so): the node, the frame and whatever of
#             the standard library the compiler inlined into them. This is what ships.
#   stand-in  the stand-in SDK's library (libxsisdk.so): the test double's cost, not the
#             host's; the host's own SDK does the same work in its own way.
#   runtime   everything else: the C and C++ runtime (malloc, memcpy, from_chars) called from
#             either of the two.
# The split reads callgrind's profile itself: with --compress-strings=no every block of costs
# is preceded by an "ob=" line naming its object file, each cost line ends in its instruction
# count, and the line after each "calls=" line holds the inclusive cost of a call, which is
# skipped so that every instruction is counted once, in the object that executed it. The three
# parts add up to callgrind's total; the script checks that they do.
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

# NODE[:PORT] SIZE LABEL: the inputs of the benchmarks (bench/node_inputs.h), kestrune at its default
# text with RemoveAll on; the nodes read at each element at their defaults and at a size.
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
  "textlength 0 default text"
  "textlength 64 64 characters"
  "textfind 0 default texts"
  "textfind 1000 1,000 characters, worst case"
  "textreplace 0 default texts"
  "textreplace 1000 1,000 characters, worst case"
  "textslice 0 default text"
  "textslice 64 64 characters"
  "textjoin 0 default texts"
  "textjoin 16 16 texts"
  "textfind:201 0 default texts, Count"
  "textfind:201 1000 1,000 characters, Count of many"
  "textnumber 0 default text"
  "textnumber:201 0 default text, Length"
  "textnumber 32 a number of 32 digits"
  "textformat 0 default format"
  "textformat 8 8 fields"
  "regexmatch 0 default pattern, a short text"
  "regexmatch 1000 default pattern, 1,000 characters"
  "regexextract 0 default pattern, a short text"
  "regexreplace 0 default pattern, a short text"
  "regexsplit 0 default pattern, a short text"
  "regexfindall 0 default pattern, a short text"
)

# "OWN STAND_IN RUNTIME": the instructions executed inside node's callback over calls calls,
# by the object they ran in.
instructions() {
  local node=$1 size=$2 calls=$3 out
  out=$(mktemp)
  valgrind --tool=callgrind --toggle-collect="${node%%:*}_Evaluate" --compress-strings=no \
    --callgrind-out-file="$out" "$program" "$node" "$size" "$calls" 2>/dev/null
  awk -v own="/lib${node%%:*}.so" -v sdk="/libxsisdk.so" '
    /^ob=/ { ob = substr($0, 4); next }
    /^calls=/ { skip = 1; next }
    /^[0-9+*-]/ {
      if (skip) { skip = 0; next }
      if (index(ob, own)) o += $NF; else if (index(ob, sdk)) s += $NF; else r += $NF
      next
    }
    /^summary:/ { total = $2 }
    END {
      if (o + s + r != total) { print "call_cost.sh: the parts do not add up" > "/dev/stderr"; exit 1 }
      print o, s, r
    }' "$out"
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

thousands() { sed ':a; s/\B[0-9]\{3\}\>/,&/; ta' <<<"$1"; }

echo "| node | input | own | stand-in SDK | runtime | total |"
echo "|---|---|---:|---:|---:|---:|"
for c in "${cases[@]}"; do
  read -r node size label <<<"$c"
  one=$(instructions "$node" "$size" 1)
  many=$(instructions "$node" "$size" 101)
  read -r own1 sdk1 rt1 <<<"$one"
  read -r own sdk rt <<<"$many"
  own=$(((own - own1) / 100)) sdk=$(((sdk - sdk1) / 100)) rt=$(((rt - rt1) / 100))
  printf '| %s | %s | %s | %s | %s | %s |\n' "$node" "$label" "$(thousands $own)" \
    "$(thousands $sdk)" "$(thousands $rt)" "$(thousands $((own + sdk + rt)))"
done
