// regexreplace: gives each evaluated element its text with the first match of its pattern, or
// with ReplaceAll every match, from left to right and none overlapping, replaced by With, in
// which $& stands for the match, $1 to $99 for its groups (the empty text for a group that does
// not exist or did not take part; two digits are always one number) and $$ for $. After an
// empty match the next search starts one character further on. Patterns are ECMAScript's
// regular expressions (text_regex/); one that is not valid, or longer than 4096 characters, and
// a replacement whose work passes the bound, leave the text as it is. The pattern is compiled
// once while it is the text the element before gave.
//
//   "arm_L", "(\w+)_L$", "$1_R"           -> "arm_R"
//   "a-b-c", "-", "+", ReplaceAll false   -> "a+b-c"
#pragma once

#include <string_view>

#include "frame/node.h"
#include "text_regex/text_regex.h"

namespace regexreplace {

struct RegexReplace {
  // The pattern of the element before, compiled, for as long as the call lasts.
  using State = text_regex::PatternCache;

  static constexpr frame::NodeTable<4> table{
      .name = L"regexreplace",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to replace in.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"arm_L")},
          // The regular expression whose matches are replaced.
          {1, L"Pattern", frame::kText, frame::kOnePerElement, frame::text_value(L"(\\w+)_L$")},
          // What replaces a match, $&, $1 to $99 and $$ read as above.
          {2, L"With", frame::kText, frame::kOnePerElement, frame::text_value(L"$1_R")},
          // Whether to replace every match rather than the first.
          {3, L"ReplaceAll", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(true)},
      }},
      // The text with the replacements made.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  static text_regex::Replaced compute(std::wstring_view text, std::wstring_view pattern,
                                      std::wstring_view with, bool all, State& patterns);
};

}  // namespace regexreplace
