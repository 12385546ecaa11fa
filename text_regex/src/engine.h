// The search of a pattern the automata take: the lazy DFA finds whether and where the first
// match ends, reading the text once; its mirror, reading back from there, where it starts; the
// Pike VM (or, where it fits, a bounded backtracker that gives the same answer), run over the
// match alone, its groups. Where a DFA gives up, the Pike VM searches the text itself. Time
// linear in the text for a given pattern; memory bounded by the pattern: the states each DFA
// keeps (kDfaMemory), and the Pike VM's threads (kMaxThreadSlots slots).
//
// The DFAs and the classes of characters their tables need cost more to build than a short text
// costs to search without them: until the texts searched have come to dfa_after characters, the
// backtracker (or, past its bits, the Pike VM) searches them itself, as it would where a DFA gave
// up, with the same answers; the first search that would pass dfa_after builds the DFAs. So a
// pattern used once on a short text, as a call of one element uses it, builds no DFA, and one
// used on many texts builds it once, early.
//
// An engine keeps its caches from one search to the next: one engine serves one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "backtracker.h"
#include "char_classes.h"
#include "lazy_dfa.h"
#include "pike_vm.h"
#include "program.h"
#include "syntax.h"

namespace text_regex::detail {

// The most group slots the Pike VM's threads hold, one per slot and instruction: a pattern past
// it is foreign.
inline constexpr std::size_t kMaxThreadSlots = std::size_t{1} << 17;

// The characters a pattern's searches may read without a DFA before it is built (dfa_after).
// Building the classes and the first states of a small pattern's DFA costs some 15,000 to 30,000
// instructions; the backtracker's search, 40 a character on most patterns and up to some 350
// where every position starts a match that fails late (docs/performance.md, the regular
// expressions): so that neither way costs much more than the other at its worst.
inline constexpr std::size_t kDfaAfter = 64;

class Engine {
 public:
  // The engine of a parsed pattern, or none where its program is too large; its DFAs built once
  // its searches pass dfa_after characters (0: at the first search).
  static std::unique_ptr<Engine> make(Syntax syntax, std::size_t dfa_after = kDfaAfter);

  // Group slots of a search: 2 for each group and for the match itself (0 and 1).
  std::size_t slots() const { return static_cast<std::size_t>(forward_.slots); }

  bool matches(std::wstring_view text);
  // The first match at or after from: its span into slots[0] and slots[1], and with groups,
  // group g's into slots[2g] and slots[2g + 1] (kUnset where it took no part).
  bool find(std::wstring_view text, std::size_t from, bool groups, std::size_t* slots);
  // The first match by priority that starts at at and is not empty, with its groups: what
  // follows an empty match there, where matches are listed as Python lists them.
  bool find_not_empty(std::wstring_view text, std::size_t at, std::size_t* slots);

  // The characters the automata have read, over every search.
  std::int64_t steps() const;

 private:
  Engine(Syntax syntax, Program forward, std::size_t dfa_after);
  // Whether a search that may read span characters goes by the forward DFA: false while the
  // searches stay within dfa_after characters, and where the program has no DFA.
  bool by_dfa(std::size_t span);
  // The first match at or after from, with its groups, by the backtracker where its bits fit,
  // else by the Pike VM.
  bool without_dfa(std::wstring_view text, std::size_t from, std::size_t* slots);
  LazyDfa& backward_dfa();
  Backtracker& backtracker();
  PikeVm& pike();

  Syntax syntax_;  // kept for the mirror, compiled when first needed
  Program forward_, backward_;
  // Of both programs, whose sets are numbered alike; empty (count 0) until the DFAs are built,
  // and where the sets part the characters too finely for a DFA.
  CharClasses classes_;
  std::optional<LazyDfa> forward_dfa_, backward_dfa_;
  std::optional<Backtracker> backtracker_;
  std::optional<PikeVm> pike_;
  std::size_t before_dfa_;  // the characters searches may still read before the DFAs are built
  bool dfa_built_ = false;
  std::vector<std::size_t> slots_;  // of a search that reports whether it matched alone
};

}  // namespace text_regex::detail
