// Boost.Regex as this room compiles it, and the bound on the work of one element. Every file of
// the room that uses the engine includes this header first, and no other file includes Boost:
// the settings below change what Boost's templates compile to, so they are the same wherever
// those are compiled.
#pragma once

#ifdef BOOST_RE_REGEX_HPP
#error "boost/regex.hpp was included before the room's settings: include boost_regex.h instead"
#endif

// The engine's own headers alone (boost/regex/), none of the rest of Boost.
#define BOOST_REGEX_STANDALONE
// No cache of memory blocks kept from one match to the next: it would be static data shared by
// every thread of the host. A search takes its backtracking blocks anew, 4 KiB each; a search
// that needs more than 2048 of them (8 MiB) gives up, as one past its bound does. Boost allows
// 1024, for positions the size of a pointer; a Cursor is twice that, so the same room holds as
// many positions.
#define BOOST_REGEX_MAX_CACHE_BLOCKS 0
#define BOOST_REGEX_MAX_BLOCKS 2048

#include <algorithm>
#include <boost/regex.hpp>
#include <compare>
#include <cstddef>
#include <iterator>
#include <memory>

#include "traits.h"

#ifdef BOOST_REGEX_CXX03
#error "the bound on a match's work is written for Boost.Regex's C++11 version (Boost 1.76 on)"
#endif

namespace text_regex::detail {

// The work one text may still cost, across every search made for it (a replacement of every
// match searches once per match): each state the engine visits and each step its position takes
// through the text costs one. The engine counts states itself, but a single state may step over
// the whole text (a repeat of one character, as in (?=a*)), so the steps are counted as well, by
// the position itself (Cursor).
struct Budget {
  std::ptrdiff_t allowed = 0;
  std::ptrdiff_t left = 0;
};

// Ends a search whose work has passed its budget, as the engine ends one past its own bound.
[[noreturn]] inline void exhausted() {
  throw boost::regex_error(boost::regex_constants::error_complexity);
}

// A position in a text, as the engine walks it: a pointer to a code point that charges each
// step forward or back to the text's budget. A jump (+=) costs nothing: it is one step of work,
// whatever its length. Copies share the budget.
class Cursor {
 public:
  using iterator_category = std::random_access_iterator_tag;
  using value_type = Char;
  using difference_type = std::ptrdiff_t;
  using pointer = const Char*;
  using reference = const Char&;

  Cursor() = default;
  Cursor(const Char* at, Budget* budget) : at_(at), budget_(budget) {}

  const Char* get() const { return at_; }
  Budget* budget() const { return budget_; }

  reference operator*() const { return *at_; }
  reference operator[](difference_type n) const { return at_[n]; }
  Cursor& operator++() {
    ++at_;
    charge();
    return *this;
  }
  Cursor& operator--() {
    --at_;
    charge();
    return *this;
  }
  Cursor operator++(int) {
    Cursor before = *this;
    ++*this;
    return before;
  }
  Cursor operator--(int) {
    Cursor before = *this;
    --*this;
    return before;
  }
  Cursor& operator+=(difference_type n) {
    at_ += n;
    return *this;
  }
  Cursor& operator-=(difference_type n) {
    at_ -= n;
    return *this;
  }
  friend Cursor operator+(Cursor c, difference_type n) { return c += n; }
  friend Cursor operator+(difference_type n, Cursor c) { return c += n; }
  friend Cursor operator-(Cursor c, difference_type n) { return c -= n; }
  friend difference_type operator-(const Cursor& a, const Cursor& b) { return a.at_ - b.at_; }
  friend bool operator==(const Cursor& a, const Cursor& b) { return a.at_ == b.at_; }
  friend auto operator<=>(const Cursor& a, const Cursor& b) { return a.at_ <=> b.at_; }

 private:
  void charge() {
    if (--budget_->left < 0) exhausted();
  }

  const Char* at_ = nullptr;
  Budget* budget_ = nullptr;
};

using Regex = boost::basic_regex<Char, Traits>;
using Results = boost::match_results<Cursor>;

// Boost marks a repeat of one character or class at the start of a pattern as leading, so that
// a search whose attempt failed may start its next attempt past what the repeat took. For a
// lazy repeat that skips matches: [ab]{0,2}?(?=1) on "aba1" gives "a" where the leftmost match
// is "ba". The skip is only a speed-up: this takes it off every lazy repeat of a pattern just
// compiled, and so off the one the pattern may start with (the compiled program is the
// pattern's own, shared with no one).
inline void keep_lazy_repeats_from_skipping(const Regex& regex) {
  namespace states = boost::BOOST_REGEX_DETAIL_NS;
  for (const states::re_syntax_base* state = regex.get_first_state(); state;
       state = state->next.p) {
    switch (state->type) {
      case states::syntax_element_dot_rep:
      case states::syntax_element_char_rep:
      case states::syntax_element_short_set_rep:
      case states::syntax_element_long_set_rep: {
        auto* repeat = const_cast<states::re_repeat*>(static_cast<const states::re_repeat*>(state));
        if (!repeat->greedy) repeat->leading = false;
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace text_regex::detail

// The engine's searcher for this room's texts and traits. By itself it allows each search a
// number of states that grows with the square of the pattern's length times the text's, without
// a cap: a catastrophic pattern of a few hundred characters would run for minutes on a text of
// ten thousand. These two members, specialized for this searcher alone, take the bound from the
// text's budget instead, and charge each search's states to it, so that the bound holds for the
// text whatever the pattern, the text and the number of searches.
namespace boost::BOOST_REGEX_DETAIL_NS {

using TextMatcher =
    perl_matcher<text_regex::detail::Cursor, std::allocator<sub_match<text_regex::detail::Cursor>>,
                 text_regex::detail::Traits>;

template <>
inline void TextMatcher::estimate_max_state_count(std::random_access_iterator_tag*) {
  max_state_count = std::max<std::ptrdiff_t>(base.budget()->left, 0);
}

template <>
inline bool TextMatcher::find() {
  text_regex::detail::Budget& budget = *base.budget();
  try {
    const bool found = find_imp();
    budget.left -= state_count;
    return found;
  } catch (...) {
    budget.left -= state_count;
    throw;
  }
}

}  // namespace boost::BOOST_REGEX_DETAIL_NS
