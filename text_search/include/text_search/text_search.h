// Finding a sub-text in a text, exactly, character by character (case and all), in time linear
// in the text's length whatever the two hold, and on ordinary text at least as fast as the
// standard library's search. Host-free: characters of any width and NUL are ordinary
// characters, and positions count wide characters. An occurrence begins and ends between
// characters as text_unicode/characters.h reads them: where a text is UTF-16, a lone surrogate
// of the sub-text never matches half of a pair in the text.
//
//   find_first(L"xaby ab", L"ab")   == 1
//   find_first(L"aaa", L"aa")       == 0
//   find_first(L"abc", L"")         == npos          (an empty sub-text occurs nowhere)
//   Occurrences in(L"aaaaa", L"aa");  in.next() == 0, in.next() == 2, in.next() == npos
//   remove_all(L"aabb", L"ab")      == L""            (the removal joins a new occurrence)
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text_unicode/characters.h"

namespace text_search {

// Whether an occurrence of sub may begin or end inside a surrogate pair of a text, so that each
// found must be checked: only where texts are UTF-16, and only for a sub-text that begins with a
// low surrogate or ends with a high one (sub not empty).
inline bool may_split_pairs(std::wstring_view sub) {
  using text_unicode::unit_value;
  return text_unicode::kUtf16 && (text_unicode::is_low_surrogate(unit_value(sub.front())) ||
                                  text_unicode::is_high_surrogate(unit_value(sub.back())));
}

// Whether the length characters at position at of text begin and end between its characters.
inline bool whole_characters(std::wstring_view text, std::size_t at, std::size_t length) {
  return !text_unicode::inside_pair(text, at) && !text_unicode::inside_pair(text, at + length);
}

inline constexpr std::size_t npos = std::wstring_view::npos;

// Texts up to this long are searched directly, by the standard search, which has less to set up
// than a Searcher: on so short a text it is the faster, and its work is at most the square of
// this. Longer ones get a Searcher, linear in the lengths of both.
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

  // What is matched after a whole occurrence that is not taken (it splits a pair): its longest
  // border, from which the scan goes on as after any character.
  std::size_t after_whole() const { return border_.back(); }

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
  bool check_pairs_;  // may_split_pairs(sub_)
};

// The search of one sub-text, which it refers to and does not copy: the sub-text must outlive
// it. It scans for the sub-text's rarest character (rarest in English text: the guess decides
// the speed, never the result) with the C library's wmemchr, many characters per instruction,
// and at each place the scan stops compares one more chosen character, then the whole sub-text.
// Whole comparisons that fail are paid for from a credit that grows with the characters
// scanned; once they cost more, a Matcher built then takes over for good. So a search takes
// time linear in the text's length whatever the two hold, and on ordinary text, where the scan
// stops seldom, it reads at the scan's speed, as the standard search does at its best.
class Searcher {
 public:
  // sub is not empty.
  explicit Searcher(std::wstring_view sub);

  // Position of the first occurrence in text that begins at or after from, or npos. Linear in
  // the characters read, and so is a walk of calls with from moving forward past each
  // occurrence found: the credit carries over from one call to the next.
  std::size_t find(std::wstring_view text, std::size_t from);

 private:
  std::wstring_view sub_;
  std::size_t rarest_ = 0;          // where in sub the character scanned for stands
  std::size_t second_ = 0;          // and the one compared first at each stop
  std::size_t credit_;              // characters the comparisons that fail may still read
  std::optional<Matcher> matcher_;  // once the credit runs out
  bool check_pairs_;                // may_split_pairs(sub_)
};

// Position of the first occurrence of sub in text that begins at or after from, or npos; an empty
// sub occurs nowhere.
std::size_t find_first(std::wstring_view text, std::wstring_view sub, std::size_t from = 0);

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
  std::optional<Searcher> searcher_;  // for texts longer than kDirect
};

// What removing the first occurrence of sub again and again, until none is left, gives, in time
// linear in the text's length: a removal that joins a new occurrence removes that too. An empty
// sub removes nothing. first, when known, is where find_first finds sub, spared a second search.
std::wstring remove_all(std::wstring_view text, std::wstring_view sub, std::size_t first = npos);

}  // namespace text_search
