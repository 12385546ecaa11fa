// Regular expressions on the host's wide texts, in ECMAScript's syntax, matched so that no text
// can hang the caller: what regexmatch, regexextract and regexreplace share. Host-free; Boost.Regex
// (header-only) does the matching, and no one else sees it.
//
//   text_regex::Pattern pattern(L"(\\w+)_L$");
//   pattern.matches(L"arm_L")                  -> true
//   pattern.extract(L"arm_L", 1)               -> L"arm"
//   pattern.replace(L"arm_L", L"$1_R", true)   -> L"arm_R"
//
// Syntax: ECMAScript's (classes, \d \w \s \b, greedy and lazy quantifiers, groups, (?:...),
// alternation, ^ and $ for the ends of the whole text, (?=...) and (?!...), \uHHHH), and what
// Boost.Regex adds beside it. Characters are code points, in the pattern and in the text, on
// every platform (. matches é, and a character past U+FFFF whole; text_unicode/characters.h), and
// a match or a group never begins or ends inside one. The classes and case are the same in every
// locale (src/traits.h).
//
// A pattern that is not valid, or longer than kMaxPatternLength characters, compiles to
// nothing. Every use of it, and every use whose work passes the bound (kMaxWork), gives the
// no-match result: false, the empty text, the text unchanged. Nothing is thrown but
// std::bad_alloc, when memory runs out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text_unicode/small_text.h"

namespace text_regex {

// The longest pattern compiled, in characters.
inline constexpr std::size_t kMaxPatternLength = 4096;

// The most work one text may cost, across every search made for it: each state the engine
// visits and each step its position takes through the text counts one. Below this cap the
// engine's own allowance holds: the square of the text's length, or of the pattern's times the
// text's, whichever is greater, plus 100,000. Past it, the engine gives up.
inline constexpr std::int64_t kMaxWork = 20'000'000;

// What a use of a pattern cost, and whether the engine gave up.
struct Work {
  std::int64_t spent = 0;
  bool gave_up = false;
};

// A text with replacements made: the text itself when there were none (a view of it, valid
// while it is), else the text built.
using Replaced = text_unicode::SmallText<32>;

class Pattern {
 public:
  // Compiles the pattern; one that does not compile is kept as not valid.
  explicit Pattern(std::wstring_view pattern);
  ~Pattern();
  Pattern(Pattern&&) noexcept;
  Pattern& operator=(Pattern&&) noexcept;

  bool valid() const { return compiled_ != nullptr; }

  // Whether the pattern matches somewhere in the text.
  bool matches(std::wstring_view text, Work* work = nullptr) const;

  // The text of group `group` of the first match (0: the whole match), a view into text; empty
  // when nothing matches, the group did not take part or there is no such group.
  std::wstring_view extract(std::wstring_view text, std::int32_t group, Work* work = nullptr) const;

  // The text with its first match, or with all every match from left to right, none
  // overlapping, replaced by with, in which $& stands for the match, $1 to $99 for its groups
  // (two digits are always read as one number; a group that does not exist or did not take
  // part gives the empty text) and $$ for $; any other $ is itself. After an empty match the
  // next search starts one character further on: "abc" with "x*" replaced by "-" gives
  // "-a-b-c-".
  Replaced replace(std::wstring_view text, std::wstring_view with, bool all,
                   Work* work = nullptr) const;

  // The engine's compiled form, seen by the room alone.
  struct Compiled;

 private:
  std::unique_ptr<const Compiled> compiled_;
};

// The pattern of the element being computed, compiled once while its text stays the text the
// element before gave: a node's per-call state.
class PatternCache {
 public:
  const Pattern& operator()(std::wstring_view text);

 private:
  std::wstring text_;
  std::optional<Pattern> pattern_;
};

}  // namespace text_regex
