// The lazy DFA: the program's threads at a position, in priority order, taken as one state, and
// each state's transition on a class of characters made the first time it is needed and kept. A
// search reads each character once, with one table look-up where the transition is known. The
// states kept are bounded (kDfaMemory for each direction); when they fill, the cache is emptied
// and the search goes on, unless the cache has emptied so often that states are made at nearly
// every character: then the search gives up, and the Pike VM answers instead.
//
// A state holds where its threads stand just after the character they read, before the paths
// that read nothing: those are followed at the transition, when the next character is known, so
// that every assertion (\b \B $) is settled there. A match is so seen one character late, at the
// transition out of the position it ends at, as RE2's DFA sees it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "char_classes.h"
#include "context.h"
#include "program.h"

namespace text_regex::detail {

// The memory of the states one direction of a pattern keeps.
inline constexpr std::size_t kDfaMemory = 1 << 20;

class LazyDfa {
 public:
  struct Result {
    bool gave_up = false;
    bool found = false;
    std::size_t at = 0;
  };

  // longest: every thread goes on past a match, for the furthest end (the mirror's: the
  // leftmost start); else the threads of lower priority than a match end there, so that the
  // match found is the one a backtracking engine finds first.
  LazyDfa(const Program& program, const CharClasses& classes, bool longest);

  // Reads text forward from from to its end, a match allowed to start anywhere from from on:
  // where the first match ends, or, with earliest, where any match first ends.
  Result forward(std::wstring_view text, std::size_t from, bool earliest);
  // Reads text backward from from down to to, the mirror program anchored at from: the smallest
  // position a match reaches.
  Result backward(std::wstring_view text, std::size_t from, std::size_t to);

  std::int64_t steps() const { return steps_; }

 private:
  enum Flag : std::int32_t {
    kAtStart = 1,     // no character before
    kPrevWord = 2,    // the character before is a word character
    kSearching = 4,   // a new thread starts at each position
    kMatched = 8,     // a match ends just before the character read into this state
    kDead = 16,       // no thread, none to start: nothing more can match
    kStartLike = 32,  // no thread but the one starting here: the search may skip ahead
  };
  static constexpr std::int32_t kUnknown = -1;
  static constexpr std::int32_t kFull = -2;
  struct Hash {
    std::size_t operator()(const std::vector<std::int32_t>& key) const;
  };

  std::int32_t start_state(const Context& context, bool searching);
  std::int32_t next_state(std::int32_t state, char32_t c);
  // Where a match can first start at or after at: the next occurrence of first_, or at itself
  // where there is none to look for.
  std::size_t skip(std::wstring_view text, std::size_t at) const;
  std::int32_t step(std::int32_t state, char32_t c);
  bool matches_at_end(std::int32_t state);
  // The state after reading c, or, at_end, whether the state matches at the text's end (1 or 0).
  std::int32_t build(std::int32_t state, char32_t c, bool at_end);
  std::int32_t intern(std::int32_t flags);
  bool follow(std::int32_t pc, const Context& context, bool at_end, char32_t c, bool& matched);
  bool reset(std::int32_t& state);
  void new_marks();

  const Program& program_;
  const CharClasses& classes_;
  bool longest_;
  std::size_t stride_;  // a state's transitions: one per class, and one for the text's end
  std::unordered_map<std::vector<std::int32_t>, std::int32_t, Hash> index_;
  std::vector<const std::vector<std::int32_t>*> states_;  // flags, then the threads
  std::vector<std::int32_t> table_;
  std::vector<std::int32_t> flags_;
  std::int32_t starts_[8];
  std::size_t memory_ = 0;
  // Scratch of one transition's making.
  std::vector<std::int32_t> key_, stack_;
  std::vector<std::uint32_t> seen_;
  std::uint32_t mark_ = 0;
  // The one character every match begins with, where the program's start reads one character,
  // the same, first (and it is a single wchar_t): 0 where there is none.
  wchar_t first_ = 0;
  std::int64_t steps_ = 0;
  std::int64_t steps_at_reset_ = 0;
};

}  // namespace text_regex::detail
