// Regular expressions on the host's wide texts, in ECMAScript's syntax, matched so that no text
// can hang the caller: what regexmatch, regexextract, regexreplace, regexsplit and regexfindall
// share. Host-free. The room's own automata (a lazy DFA, its mirror and a Pike VM) match every
// pattern they can, in time linear in the text and without a bound; Boost.Regex (header-only, seen
// by no one else) matches the rest (back-references, lookarounds, atomic groups, possessive
// quantifiers, the rarer escapes and flags) within a bound on each text's work.
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
// locale (src/char_set.h, src/traits.h).
//
// A pattern that is not valid, or longer than kMaxPatternLength characters, compiles to
// nothing. Every use of it, and every use on Boost whose work passes the bound (kMaxWork), gives
// the no-match result: false, the empty text, the text unchanged. Nothing is thrown but
// std::bad_alloc, when memory runs out.
//
// A Pattern keeps its automata's caches (bounded) from one use to the next, so that a pattern
// used on many texts builds its states once; its DFAs are built only once the texts it has
// searched come to a few dozen characters, the first ones searched without them, so that a
// pattern used once on a short text costs little more than its reading. Use one Pattern from one
// thread at a time (a node's PatternCache is its call's own).
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

// The most work one text may cost on Boost, across every search made for it: each state the engine
// visits and each step its position takes through the text counts one. Below this cap the
// engine's own allowance holds: the square of the text's length, or of the pattern's times the
// text's, whichever is greater, plus 100,000. Past it, the engine gives up.
inline constexpr std::int64_t kMaxWork = 20'000'000;

// What a use of a pattern cost, and whether the engine gave up: on Boost, the work the bound
// counts; on the automata, the characters they read (each at most a few times), and never
// giving up.
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

  // The pattern compiled for Boost.Regex alone, within the bound, whatever it is: the room's
  // matching before it had its automata, kept for comparisons (the differential tests, the fuzz
  // target, the benchmark). The nodes never use it.
  static Pattern on_boost(std::wstring_view pattern);

  bool valid() const { return compiled_ != nullptr; }
  // Whether the room's automata match it, in time linear in the text and with no bound on the
  // work; else Boost.Regex does, within the bound (a valid pattern with a back-reference, a
  // lookaround or another form no automaton matches).
  bool automaton() const;

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
  friend class Matches;
  Pattern() = default;
  void compile_for_boost(std::wstring_view pattern);

  std::unique_ptr<const Compiled> compiled_;
};

// Every match of a pattern in a text, from left to right, none overlapping, as Python's
// re.finditer (3.7 and later) finds them: each search starts where the match before ended, an
// empty match there included; after an empty match, the first match there that is not empty,
// else the search goes on one character further. (replace, as ECMAScript does, goes one
// character further at once: "a*?" in "ab" is matched empty at 0, 1 and 2 by both, and "a" at 0
// here too.)
//
//   text_regex::Matches each(pattern, text);
//   while (each.next()) use(each.start(), each.end(), each.group(1));
//
// The pattern and the text must outlive it. A pattern that is not valid has no match; one on
// Boost that passes the bound ends the matches there (gave_up()).
class Matches {
 public:
  Matches(const Pattern& pattern, std::wstring_view text);
  ~Matches();
  Matches(const Matches&) = delete;
  Matches& operator=(const Matches&) = delete;

  // Finds the next match: false when there is none.
  bool next();

  // The match found last: its span in wchar_t offsets, at character boundaries.
  std::size_t start() const;
  std::size_t end() const;
  // The count of groups, the match included as group 0.
  std::size_t groups() const;
  // A view of the text of group g, empty where it took no part or does not exist.
  std::wstring_view group(std::size_t g) const;

  bool gave_up() const { return gave_up_; }

  class Search;

 private:
  std::wstring_view text_;
  std::unique_ptr<Search> search_;
  std::size_t position_ = 0;
  bool after_empty_ = false;  // the match before was empty, at position_
  bool gave_up_ = false;
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
