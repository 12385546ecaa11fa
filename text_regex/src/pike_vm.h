// The Pike VM: every thread of a program run in step over the text, in the order of their
// priority, so that the match found is the one a backtracking engine would find first, with its
// groups; in time linear in the text for a given program, and memory fixed by the program (one
// thread per instruction, each with its group slots). It runs only over a match the lazy DFA has
// found, or over the text where the DFA gave up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "char_classes.h"
#include "context.h"
#include "program.h"

namespace text_regex::detail {

inline constexpr std::size_t kUnset = static_cast<std::size_t>(-1);

class PikeVm {
 public:
  // program: a forward program with its slots; classes: its classes of characters, for telling
  // a character's sets quickly where they are made.
  PikeVm(const Program& program, const CharClasses& classes);

  // The first match, by priority, that starts at from (anchored) or at the first position at or
  // after it where one starts, and ends at or before to; its slots (kUnset where a group did not
  // take part) into slots, of the program's count. Assertions see the whole text, beyond to too.
  bool search(std::wstring_view text, std::size_t from, std::size_t to, bool anchored,
              std::size_t* slots);

  // The characters stepped over, summed over every search.
  std::int64_t steps() const { return steps_; }

 private:
  struct Threads {
    std::vector<std::int32_t> sparse, dense;  // the instructions visited at this position
    std::vector<std::int32_t> leaves;         // those that read a character or match, by priority
    std::vector<std::size_t> slots;           // each leaf's slots, at its instruction
    std::size_t visited = 0;
    bool seen(std::int32_t pc) const {
      const auto at = static_cast<std::size_t>(sparse[pc]);
      return at < visited && dense[at] == pc;
    }
    void clear() { visited = 0, leaves.clear(); }
  };
  struct Job {
    std::int32_t pc;  // go on at pc, or, when slot >= 0, restore slot to value
    std::int32_t slot;
    std::size_t value;
  };

  void add(Threads& threads, std::int32_t pc, std::size_t at, const Context& context,
           std::size_t* slots);

  const Program& program_;
  const CharClasses& classes_;
  bool asserts_;       // whether the program has assertions, which need each position's context
  std::size_t width_;  // slots per thread
  Threads current_, next_;
  std::vector<Job> jobs_;
  std::vector<std::size_t> fresh_;
  std::int64_t steps_ = 0;
};

}  // namespace text_regex::detail
