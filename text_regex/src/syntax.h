// A pattern read into a tree: what the automata are compiled from. The reading takes the part of
// the syntax an automaton can match (characters, classes, repeats, groups, alternation and the
// assertions that look at one character on each side), and says for every other pattern either
// that it is not valid or that it is foreign: one that Boost.Regex must compile and judge
// (back-references, lookarounds, atomic groups, possessive and doubled quantifiers, the rarer
// escapes and flags). A foreign pattern may still be one Boost refuses.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "char_set.h"

namespace text_regex::detail {

// The zero-width tests: the text's start and end (^ \A, $ \z), and \b \B.
enum class Assertion : std::uint8_t { kTextStart, kTextEnd, kWordBoundary, kNotWordBoundary };

struct Node {
  enum class Kind : std::uint8_t {
    kEmpty,
    kSet,
    kAssertion,
    kGroup,
    kConcat,
    kAlternation,
    kRepeat
  };
  Kind kind = Kind::kEmpty;
  // kSet: whether the set is tested on a character's simple lower case ((?i)) or on itself.
  bool fold = false;
  bool greedy = true;  // kRepeat
  Assertion assertion = Assertion::kTextStart;
  int group = 0;               // kGroup: its number, from 1
  int min = 0, max = 0;        // kRepeat: max < 0 for no limit
  CharSet set;                 // kSet
  std::vector<Node> children;  // kGroup and kRepeat: one; kConcat, kAlternation: any
};

enum class Reading : std::uint8_t { kParsed, kInvalid, kForeign };

struct Syntax {
  Reading reading = Reading::kInvalid;
  Node root;
  int groups = 0;  // capturing groups, numbered 1 to groups
};

// The most a counted repeat's bound may be; a larger one is foreign, so that a pattern's program
// stays small.
inline constexpr int kMaxCount = 1000;

Syntax parse(std::wstring_view pattern);

}  // namespace text_regex::detail
