// The search of a pattern the automata take: the lazy DFA finds whether and where the first
// match ends, reading the text once; its mirror, reading back from there, where it starts; the
// Pike VM (or, where it fits, a bounded backtracker that gives the same answer), run over the
// match alone, its groups. Where a DFA gives up, the Pike VM searches the
// text itself. Time linear in the text for a given pattern; memory bounded by the pattern: the
// states each DFA keeps (kDfaMemory), and the Pike VM's threads (kMaxThreadSlots slots).
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

class Engine {
 public:
  // The engine of a parsed pattern, or none where its program is too large.
  static std::unique_ptr<Engine> make(Syntax syntax);

  // Group slots of a search: 2 for each group and for the match itself (0 and 1).
  std::size_t slots() const { return static_cast<std::size_t>(forward_.slots); }

  bool matches(std::wstring_view text);
  // The first match at or after from: its span into slots[0] and slots[1], and with groups,
  // group g's into slots[2g] and slots[2g + 1] (kUnset where it took no part).
  bool find(std::wstring_view text, std::size_t from, bool groups, std::size_t* slots);

  // The characters the automata have read, over every search.
  std::int64_t steps() const;

 private:
  Engine(Syntax syntax, Program forward);
  LazyDfa& backward_dfa();
  Backtracker& backtracker();
  PikeVm& pike();

  Syntax syntax_;  // kept for the mirror, compiled when first needed
  Program forward_, backward_;
  CharClasses classes_;  // of both programs, whose sets are numbered alike
  std::optional<LazyDfa> forward_dfa_, backward_dfa_;
  std::optional<Backtracker> backtracker_;
  std::optional<PikeVm> pike_;
};

}  // namespace text_regex::detail
