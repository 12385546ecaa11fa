// Finding a sub-text in a text, exactly, character by character (case and all), in time linear
// in the text's length whatever the two hold. Host-free: characters of any width and NUL are
// ordinary characters, and positions count wide characters.
//
//   find_first(L"xaby ab", L"ab")   == 1
//   find_first(L"aaa", L"aa")       == 0
//   find_first(L"abc", L"")         == npos          (an empty sub-text occurs nowhere)
//   Occurrences in(L"aaaaa", L"aa");  in.next() == 0, in.next() == 2, in.next() == npos
//   as_int32(7) == 7   as_int32(npos) == -1   as_int32(std::size_t{1} << 40) == 2147483647
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace text_search {

inline constexpr std::size_t npos = std::wstring_view::npos;

// Texts up to this long are searched directly, by the standard search: its work, at most the
// square of this, is less than building the matcher's table takes. Longer ones get the matcher,
// linear in the lengths of both.
inline constexpr std::size_t kDirect = 128;

// The Knuth-Morris-Pratt matcher of one sub-text, which it refers to and does not copy: the
// sub-text must outlive it. Its table takes one word per character of the sub-text.
class Matcher {
 public:
  // sub is not empty.
  explicit Matcher(std::wstring_view sub);

  // The characters of the sub-text matched after reading c, when matched (fewer than all of
  // them) were matched before it. Amortised constant over a scan.
  std::size_t advance(std::size_t matched, wchar_t c) const {
    return step(sub_, border_.data(), matched, c);
  }

  // Position of the first occurrence in text that begins at or after from, or npos. Linear in
  // the characters read.
  std::size_t find(std::wstring_view text, std::size_t from) const;

 private:
  // The step of advance, on the matcher's parts as given: a scan hands them over once, so that
  // they stay in registers.
  static std::size_t step(std::wstring_view sub, const std::size_t* border, std::size_t matched,
                          wchar_t c) {
    while (matched > 0 && c != sub[matched]) matched = border[matched - 1];
    return c == sub[matched] ? matched + 1 : matched;
  }

  std::wstring_view sub_;
  // border_[i]: the length of the longest proper prefix of sub[0..i] that is also its suffix.
  std::vector<std::size_t> border_;
};

// Position of the first occurrence of sub in text, or npos; an empty sub occurs nowhere.
std::size_t find_first(std::wstring_view text, std::wstring_view sub);

// The occurrences of sub in text that do not overlap, found from left to right: each search
// resumes where the last occurrence ended, so the whole walk reads each character of the text
// once. An empty sub occurs nowhere. Refers to both texts, which must outlive it.
class Occurrences {
 public:
  Occurrences(std::wstring_view text, std::wstring_view sub);

  // Position of the next occurrence, or npos once there is none left.
  std::size_t next();

 private:
  std::wstring_view text_;
  std::wstring_view sub_;
  std::size_t from_ = 0;
  std::optional<Matcher> matcher_;  // for texts longer than kDirect
};

// A position or count of characters as the host's signed 32-bit integer: npos as -1, and one
// past 2^31 - 1 (a text of more than two thousand million characters) as 2^31 - 1, never
// wrapped to a negative number.
constexpr std::int32_t as_int32(std::size_t position) {
  constexpr std::size_t kLargest = 2147483647;
  if (position == npos) return -1;
  return static_cast<std::int32_t>(position < kLargest ? position : kLargest);
}

}  // namespace text_search
