// Boost.Regex's side of the room: a text read as the code points Boost matches, the pattern in
// Boost's spelling, and a text's searches charged to its bound. Included by text_regex.cpp alone,
// after boost_regex.h's settings.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <type_traits>
#include <vector>

#include "boost_regex.h"
#include "text_regex/text_regex.h"
#include "text_unicode/characters.h"

namespace text_regex::detail {

using Codes = std::basic_string_view<Char>;

// A text as the engine reads it: its code points, and where each begins in the text. Where each
// wchar_t is a code point, the text itself.
class TextInPlace {
 public:
  explicit TextInPlace(std::wstring_view text) : text_(text) {}
  std::wstring_view codes() const { return text_; }
  std::size_t position(std::size_t index) const { return index; }
  std::size_t index(std::size_t position) const { return position; }

 private:
  std::wstring_view text_;
};

// Where texts are UTF-16, the code points read into a buffer of their own, a surrogate pair one
// code point, so that the engine never matches half of one.
class TextDecoded {
 public:
  explicit TextDecoded(std::wstring_view text) {
    codes_.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
      const text_unicode::Character c = text_unicode::character_at(text, i);
      if (c.units == 2) pairs_.push_back(codes_.size());
      codes_.push_back(static_cast<Char>(c.code));
      i += c.units;
    }
  }
  Codes codes() const { return codes_; }
  // Where the code point at index (up to the count of them) begins in the text: past every pair
  // before it, one wchar_t more.
  std::size_t position(std::size_t index) const {
    return index + static_cast<std::size_t>(std::lower_bound(pairs_.begin(), pairs_.end(), index) -
                                            pairs_.begin());
  }
  // The index of the code point that begins at position (a character boundary): one fewer for
  // every pair before it.
  std::size_t index(std::size_t position) const {
    std::size_t before = 0, count = pairs_.size();  // pairs before position: in [before, count]
    while (before < count) {
      const std::size_t k = before + (count - before) / 2;
      if (pairs_[k] + k < position)
        before = k + 1;
      else
        count = k;
    }
    return position - before;
  }

 private:
  String codes_;
  std::vector<std::size_t> pairs_;  // the indices of the code points read from a pair, ascending
};

using CodePoints = std::conditional_t<text_unicode::kUtf16, TextDecoded, TextInPlace>;

// Whether c is an ASCII digit.
bool is_digit(Char c);

// The pattern in the engine's own spelling: ECMAScript's \uHHHH becomes \x{HHHH}; every other
// escape is kept as it is, its escaped character included, so that \\u0041 stays a backslash
// and "u0041".
String engine_spelling(Codes pattern);

// The work one text may cost: the engine's own allowance of states, the square of the text's
// length or of the pattern's times the text's, whichever is greater, plus 100,000; at most
// kMaxWork.
std::ptrdiff_t allowance(std::size_t text_length, std::size_t pattern_length);

// One text's searches, charged to one budget.
class Searches {
 public:
  Searches(const detail::Regex& regex, std::size_t pattern_length, std::wstring_view text)
      : regex_(regex), text_(text), read_(text), codes_(read_.codes()) {
    budget_.allowed = budget_.left = allowance(codes_.size(), pattern_length);
  }

  // The count of code points, the positions a search may start at being 0 to it.
  std::size_t length() const { return codes_.size(); }

  // The first match at or after the code point at position. (Boost's match_any, which might
  // seem to suit a mere test, makes a search quadratic where the engine is otherwise linear:
  // (\w+)_L$ over a word.)
  bool from(std::size_t position) {
    auto flags = boost::regex_constants::match_default;
    if (position > 0) flags |= boost::regex_constants::match_prev_avail;
    const Char* begin = codes_.data();
    return boost::regex_search(at(begin + position), at(begin + codes_.size()), results_, regex_,
                               flags, at(begin));
  }

  // The first match by priority that starts at the code point at position and is not empty.
  bool not_empty_at(std::size_t position) {
    auto flags = boost::regex_constants::match_continuous | boost::regex_constants::match_not_null;
    if (position > 0) flags |= boost::regex_constants::match_prev_avail;
    const Char* begin = codes_.data();
    return boost::regex_search(at(begin + position), at(begin + codes_.size()), results_, regex_,
                               flags, at(begin));
  }

  // The match's start and end, in code points.
  std::size_t start() const { return index(results_[0].first); }
  std::size_t end() const { return index(results_[0].second); }

  // Where the code point at index begins in the text, and the index of the one at position.
  std::size_t position(std::size_t index) const { return read_.position(index); }
  std::size_t index_of(std::size_t position) const { return read_.index(position); }

  // The text of a group of the match, a view into the text; empty when there is no such group
  // or it did not take part.
  std::wstring_view group(std::size_t group) const {
    if (group >= results_.size()) return {};
    const auto& sub = results_[static_cast<int>(group)];  // Boost numbers groups in int
    if (!sub.matched) return {};
    const std::size_t first = position(index(sub.first));
    return text_.substr(first, position(index(sub.second)) - first);
  }

  std::size_t groups() const { return results_.size(); }

  // Records the cost in work, when asked for.
  void report(Work* work, bool gave_up) const {
    if (work) *work = {budget_.allowed - std::max<std::ptrdiff_t>(budget_.left, 0), gave_up};
  }

 private:
  detail::Cursor at(const Char* character) { return {character, &budget_}; }
  std::size_t index(const detail::Cursor& cursor) const {
    return static_cast<std::size_t>(cursor.get() - codes_.data());
  }

  const detail::Regex& regex_;
  std::wstring_view text_;
  CodePoints read_;
  Codes codes_;
  Budget budget_;
  Results results_;
};

}  // namespace text_regex::detail
