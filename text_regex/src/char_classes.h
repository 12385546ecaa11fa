// The characters of a program in classes: two characters of one class are in the same of the
// program's sets, whether tested on themselves or on their lower case, and are alike word
// characters or not, so that the lazy DFA keeps one transition per class rather than per
// character.
#pragma once

#include <cstdint>
#include <vector>

#include "program.h"

namespace text_regex::detail {

class CharClasses {
 public:
  // An empty map (count 0) where the program's sets would part the characters into too many
  // classes for the DFA's tables.
  explicit CharClasses(const Program& program);

  int count() const { return count_; }

  // Whether the characters of class cls are in the program's set `set`, tested on their lower
  // case (fold) or on themselves.
  bool in(int cls, std::int32_t set, bool fold) const {
    return members_[static_cast<std::size_t>(cls) * row_ + 2 * static_cast<std::size_t>(set) +
                    (fold ? 1 : 0)] != 0;
  }

  int of(char32_t c) const {
    if (c < 0x80) return ascii_[c];
    return pairs_[plain_part(c) * folded_width_ + folded_part(c)];
  }

 private:
  std::size_t plain_part(char32_t c) const;
  std::size_t folded_part(char32_t c) const;

  // Where a class of the characters as they are begins, and one of their lower cases.
  std::vector<char32_t> plain_, folded_;
  std::size_t folded_width_ = 1;
  std::vector<std::uint16_t> pairs_;  // (plain part, folded part) -> class
  std::uint16_t ascii_[0x80] = {};
  std::vector<std::uint8_t> members_;  // each class's row: for each set, plain then folded
  std::size_t row_ = 0;
  int count_ = 0;
};

}  // namespace text_regex::detail
