// The automata compared with Boost.Regex, the engine the room had before them and still has for
// what they cannot match: random patterns of the syntax the automata take, random texts, and
// every answer of a pattern on a text. Shared by text_regex_test and the fuzz target
// fuzz_regex_engine, each with its own source of choices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "src/program.h"
#include "src/syntax.h"
#include "text_regex/text_regex.h"

namespace text_regex::comparison {

// A pattern made of choices: choose(n) gives one of 0 to n - 1. Pieces of every kind the
// automata read, cased and uncased letters, characters past U+FFFF and line ends among them, so
// that folding, classes, groups in repeats and the empty matches of repeats all come up.
template <class Choose>
class PatternMaker {
 public:
  explicit PatternMaker(Choose& choose) : choose_(choose) {}

  std::wstring alternation(int depth) {
    std::wstring pattern;
    for (int branches = choose_(4) == 0 ? 2 + choose_(2) : 1; branches > 0; --branches) {
      if (!pattern.empty()) pattern += L"|";
      for (int n = choose_(4); n > 0; --n) pattern += piece(depth);
    }
    return pattern;
  }

 private:
  std::wstring piece(int depth) {
    static const wchar_t* const kAssertions[] = {L"^", L"$", L"\\b", L"\\B", L"\\A", L"\\z"};
    static const wchar_t* const kFlags[] = {L"(?i)", L"(?-i)"};
    static const wchar_t* const kGroups[] = {L"(", L"(", L"(?:", L"(?i:", L"(?<g>"};
    static const wchar_t* const kAtoms[] = {L"a",
                                            L"b",
                                            L"c",
                                            L"A",
                                            L"k",
                                            L"\u00e9",
                                            L"\u00c9",
                                            L"\u212a",
                                            L"\U0001F600",
                                            L" ",
                                            L"\\n",
                                            L".",
                                            L"[ab]",
                                            L"[^a]",
                                            L"[a-c]",
                                            L"[A-Z]",
                                            L"\\d",
                                            L"\\w",
                                            L"\\s",
                                            L"\\W",
                                            L"\\D",
                                            L"\\S",
                                            L"[[:alpha:]]",
                                            L"[\\w.]",
                                            L"\\.",
                                            L"\\x41",
                                            L"\\u00e9",
                                            L"[^\\s]",
                                            L"1",
                                            L"_",
                                            L"-",
                                            L"[\u00c0-\u00ff]",
                                            L"[^\\W\\d]",
                                            L"[[:upper:]]",
                                            L"x",
                                            L"[[:punct:][:cntrl:]]",
                                            L"[^[:graph:]]",
                                            L"[[:print:][:xdigit:]]",
                                            L"[[:blank:][:space:]]",
                                            L"[[:alnum:][:lower:]]",
                                            L"\\uDE00"};
    const int kind = choose_(12);
    if (kind == 0) return kAssertions[choose_(std::size(kAssertions))];
    if (kind == 1) return kFlags[choose_(std::size(kFlags))];
    if (depth > 0 && kind <= 4) {
      std::wstring open = kGroups[choose_(std::size(kGroups))];
      if (open == L"(?<g>") open = L"(?<g" + std::to_wstring(++names_) + L">";
      return open + alternation(depth - 1) + L")" + quantifier();
    }
    return kAtoms[choose_(std::size(kAtoms))] + quantifier();
  }
  std::wstring quantifier() {
    static const wchar_t* const kQuantifiers[] = {L"*",     L"+",     L"?",      L"{2}",
                                                  L"{1,3}", L"{0,2}", L"{2,}",   L"*?",
                                                  L"+?",    L"??",    L"{1,2}?", L"{0}"};
    if (choose_(2) != 0) return L"";
    return kQuantifiers[choose_(std::size(kQuantifiers))];
  }

  Choose& choose_;
  int names_ = 0;
};

// A text of up to longest characters from an alphabet that the patterns' pieces match.
template <class Choose>
std::wstring random_text(Choose& choose, std::size_t longest) {
  static const wchar_t* const kCharacters[] = {
      L"a",          L"b", L"c",  L"A", L"B", L"k", L"K", L"\u212a", L"\u00e9", L"\u00c9",
      L"\U0001F600", L" ", L"\n", L"1", L"_", L".", L"-", L"x",      L"\xD83D", L"\xDE00"};
  std::wstring text;
  for (std::size_t n = static_cast<std::size_t>(choose(static_cast<int>(longest) + 1)); n > 0; --n)
    text += kCharacters[choose(std::size(kCharacters))];
  return text;
}

// Whether a node repeats, more than once, what can match the empty text: there Boost ends a
// repeat at an iteration that matched nothing, before its count is reached too, where the
// automata go on as JavaScript and Python do; the two may give other groups, another match, or
// none ((^(\S+)?){2}\s on "11 ": the automata "11 ", Boost no match; docs/nodes.md, the syntax).
inline bool repeats_what_can_be_empty(const detail::Node& node) {
  if (node.kind == detail::Node::Kind::kRepeat && node.max != 0 && node.max != 1 &&
      detail::can_be_empty(node.children[0]))
    return true;
  for (const detail::Node& child : node.children)
    if (repeats_what_can_be_empty(child)) return true;
  return false;
}

inline bool repeats_what_can_be_empty(std::wstring_view pattern) {
  const detail::Syntax syntax = detail::parse(pattern);
  return syntax.reading == detail::Reading::kParsed && repeats_what_can_be_empty(syntax.root);
}

// Where the automata's answers for pattern on text differ from Boost's: empty when they agree,
// or when Boost passed its bound (its answer is then the no-match result, not an answer).
// Compared: whether the pattern is valid, and, but for a pattern that repeats what can match
// nothing, whether it matches, each match from left to right and its groups, extract and replace.
inline std::string difference(std::wstring_view source, std::wstring_view text) {
  const Pattern ours(source);
  const Pattern boost = Pattern::on_boost(source);
  if (ours.valid() != boost.valid()) return "valid " + std::to_string(ours.valid());
  if (!ours.valid()) return {};
  if (repeats_what_can_be_empty(source)) return {};
  Work work;
  const bool found = boost.matches(text, &work);
  if (work.gave_up) return {};
  if (ours.matches(text) != found) return "matches " + std::to_string(!found);
  Matches mine(ours, text), theirs(boost, text);
  for (int k = 0; k < 3; ++k) {
    const bool one = mine.next(), other = theirs.next();
    if (theirs.gave_up()) return {};
    if (one != other) return "match " + std::to_string(k) + " found " + std::to_string(one);
    if (!one) break;
    if (mine.start() != theirs.start() || mine.end() != theirs.end())
      return "match " + std::to_string(k) + " at " + std::to_string(mine.start()) + "-" +
             std::to_string(mine.end()) + ", Boost's " + std::to_string(theirs.start()) + "-" +
             std::to_string(theirs.end());
    for (std::size_t g = 0; g < std::max(mine.groups(), theirs.groups()); ++g)
      if (mine.group(g) != theirs.group(g))
        return "match " + std::to_string(k) + " group " + std::to_string(g);
  }
  for (std::int32_t g = -1; g < 4; ++g)
    if (ours.extract(text, g) != boost.extract(text, g, &work) && !work.gave_up)
      return "extract " + std::to_string(g);
  for (const wchar_t* with : {L"<$&>", L"[$2|$1]", L"$3$$"})
    for (const bool all : {false, true})
      if (ours.replace(text, with, all).view() != boost.replace(text, with, all, &work).view() &&
          !work.gave_up)
        return "replace " + std::string(all ? "all" : "first");
  return {};
}

}  // namespace text_regex::comparison
