// A pattern's tree compiled to a program of a few instructions, as Thompson's construction makes
// it: the form both automata run. One program reads forward and records the groups; its mirror
// reads backward from a match's end to find where the match starts.
#pragma once

#include <cstdint>
#include <vector>

#include "char_set.h"
#include "syntax.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

enum class Op : std::uint8_t {
  kSet,     // one character in sets[x] (of its lower case when fold), then the next instruction
  kSplit,   // go on at x and, with lower priority, at y
  kJump,    // go on at x
  kSave,    // the position into group slot x (2g: group g's start, 2g + 1 its end)
  kAssert,  // go on only where the assertion holds
  kCheck,   // the end of a loop's body: where the body matched nothing (its start y was entered at
            // this position), leave the loop at x, else go on to loop again
  kMatch,
};

// Where the program reads: an assertion of the text's start looks behind in the direction read,
// so the mirror swaps start and end.
enum class Direction : std::uint8_t { kForward, kBackward };

struct Inst {
  Op op;
  bool fold = false;
  // A save or jump in the body of a loop that can match nothing: the automata follow it again at
  // a position where they have followed it already (it is a path, not a thread), so that an
  // iteration that matched nothing reaches the body's kCheck though a longer one passed first.
  bool revisit = false;
  Assertion assertion = Assertion::kTextStart;
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// The ASCII characters of a set, a bit each: its test without a search of its ranges.
struct AsciiBits {
  std::uint64_t bits[2] = {};
  bool has(char32_t c) const { return (bits[c >> 6] >> (c & 63) & 1) != 0; }
};

struct Program {
  std::vector<Inst> insts;
  std::vector<CharSet> sets;
  std::vector<AsciiBits> ascii;  // of each set
  std::int32_t start = 0;
  int slots = 0;  // 2 for each group and the match itself; none in the mirror
  bool word_assertions = false;
};

// Whether the set instruction inst reads c: c, or its lower case where inst folds, in its set.
inline bool set_reads(const Program& program, const Inst& inst, char32_t c) {
  if (inst.fold) c = text_unicode::to_lower(c);
  if (c < 0x80) return program.ascii[static_cast<std::size_t>(inst.x)].has(c);
  return program.sets[static_cast<std::size_t>(inst.x)].contains(c);
}

// The most instructions a program may have; a pattern that compiles to more is foreign, left to
// Boost, so that the automata's memory stays bounded by the pattern's size.
inline constexpr std::size_t kMaxInstructions = 10'000;

// Whether a node can match the empty text (an assertion taken to hold).
bool can_be_empty(const Node& node);

// The set instructions every path from the start reads first, through splits, jumps and saves
// alone; none where a path asserts or matches before it reads.
std::vector<const Inst*> first_sets(const Program& program);

// The program of a parsed pattern, or an empty one when it would pass kMaxInstructions; its sets
// numbered as in `sets` where given (the mirror's as the forward program's, so that one map of
// classes serves both).
Program compile(const Syntax& syntax, Direction direction, std::vector<CharSet> sets = {});

}  // namespace text_regex::detail
