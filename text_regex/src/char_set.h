// Sets of code points, the one thing a pattern's characters, classes and dot are made of: sorted,
// disjoint ranges that are never adjacent, so that two equal sets are equal range for range.
// The universe is every value a wide character's code may take (up to 0xFFFFFFFF, since a 32-bit
// wchar_t may hold values past U+10FFFF): a complement holds those too.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace text_regex::detail {

inline constexpr char32_t kLastCode = 0xFFFFFFFF;

class CharSet {
 public:
  struct Range {
    char32_t first, last;
    friend bool operator==(const Range&, const Range&) = default;
  };

  CharSet() = default;
  static CharSet of(char32_t code) { return range(code, code); }
  static CharSet range(char32_t first, char32_t last);

  void add(char32_t first, char32_t last);
  void add(const CharSet& other);
  CharSet complement() const;

  bool contains(char32_t code) const;
  bool empty() const { return ranges_.empty(); }
  const std::vector<Range>& ranges() const { return ranges_; }
  friend bool operator==(const CharSet&, const CharSet&) = default;

 private:
  std::vector<Range> ranges_;
};

// The named classes, as the room's Boost traits define them (src/traits.cpp), so that both
// engines read a class alike: \d \w \s and the POSIX bracket names. Found by exact name; an
// empty optional-like result (false) for a name not known.
bool named_class(std::u32string_view name, CharSet& out);

// What . matches: every character but a line end (\n \r \f U+0085 U+2028 U+2029).
CharSet any_but_line_end();

// Whether a character is a word character for \b and \B: \w's set.
constexpr bool is_word(char32_t c) {
  return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') ||
         c == U'_';
}

}  // namespace text_regex::detail
