// A bounded backtracker (RE2's BitState): the groups of a match the DFAs have found, by trying
// the program's paths in priority order from the match's start, each instruction at each position
// at most once (a bit says it was tried), so that it gives the Pike VM's answer in time linear in
// the match for a given program, without the Pike VM's copying of every thread's groups at every
// character. It runs where its bits fit kBacktrackBits, and on programs whose loops' bodies cannot
// match nothing (no kCheck): the rest go to the Pike VM.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "char_classes.h"
#include "program.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

// The most bits a backtracker keeps: one for each instruction at each position of the match.
inline constexpr std::size_t kBacktrackBits = std::size_t{1} << 18;

class Backtracker {
 public:
  // classes: the program's, for telling a character's sets quickly where they are made.
  Backtracker(const Program& program, const CharClasses& classes);

  // Whether it can run over a match of length wchar_t.
  bool fits(std::size_t length) const {
    return usable_ && (length + 1) * program_.insts.size() <= kBacktrackBits;
  }

  // The first match by priority that starts at from (anchored) or at the first position at or
  // after it where one starts, and ends at to (ends_at_to: the end the forward DFA found) or at
  // or before it. Its slots into slots.
  bool search(std::wstring_view text, std::size_t from, std::size_t to, bool anchored,
              bool ends_at_to, std::size_t* slots);

  std::int64_t steps() const { return steps_; }

 private:
  // Go on at pc at position at; or, when slot >= 0, restore slot to at; or, when slot is kExits,
  // go on at pc at at, and then at each character boundary before it down to low.
  struct Job {
    std::int32_t pc;
    std::int32_t slot;
    std::size_t at;
    std::size_t low;
  };
  static constexpr std::int32_t kExits = -2;

  // The paths from start, each tried at most once over the search.
  bool run(std::wstring_view text, std::size_t from, std::size_t to, std::size_t start,
           bool ends_at_to, std::size_t* slots);
  bool can_start(std::wstring_view text, std::size_t at, std::size_t to) const;
  bool reads(const Inst& inst, char32_t c) const {
    if (classes_.count() > 0) return classes_.in(classes_.of(c), inst.x, inst.fold);
    return program_.sets[inst.x].contains(inst.fold ? text_unicode::to_lower(c) : c);
  }

  const Program& program_;
  const CharClasses& classes_;
  std::vector<bool> greedy_loop_;
  std::vector<const Inst*> first_;  // the sets a match begins with; empty: any start
  bool usable_;
  std::vector<std::uint64_t> tried_;
  std::vector<Job> jobs_;
  std::vector<std::size_t> slots_;
  std::int64_t steps_ = 0;
};

}  // namespace text_regex::detail
