// textreplace: gives each evaluated element its text with the first occurrence of Find
// replaced by With, or, with ReplaceAll on, every occurrence, found from left to right without
// overlaps: each search resumes after the last occurrence, in the text as it was, so a
// replacement is never searched again. Characters are compared exactly, case and all, and an
// occurrence never begins or ends inside a character past U+FFFF; an empty Find, or one that
// does not occur, leaves the text as it is. A lone high surrogate that comes to stand before a
// lone low one makes the character the two make, on every platform.
//
//   "a-b-c", "-", "+"            -> "a+b-c"     ReplaceAll: "a+b+c"
//   "aaa", "aa", "b", ReplaceAll -> "ba"        "ab", "a", "aa", ReplaceAll -> "aab"
#pragma once

#include <string_view>

#include "frame/node.h"

namespace textreplace {

// A text with its replacements made: the text itself, viewed, when there were none; else the text
// built, its first 32 characters held in the object.
using Replaced = frame::SmallText<32>;

struct TextReplace {
  static constexpr frame::NodeTable<4> table{
      .name = L"textreplace",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to replace in.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"a-b-c")},
          // The sub-text to replace, matched exactly.
          {1, L"Find", frame::kText, frame::kOnePerElement, frame::text_value(L"-")},
          // What replaces it.
          {2, L"With", frame::kText, frame::kOnePerElement, frame::text_value(L"+")},
          // Whether to replace every occurrence rather than the first.
          {3, L"ReplaceAll", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      // The text with the replacements made.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // text with the first occurrence of find, or when all every one, replaced by with; in time
  // linear in the lengths of text and of the result.
  static Replaced compute(std::wstring_view text, std::wstring_view find, std::wstring_view with,
                          bool all);
};

}  // namespace textreplace
