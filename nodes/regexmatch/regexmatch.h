// regexmatch: gives each evaluated element whether its pattern matches somewhere in its text.
// Patterns are ECMAScript's regular expressions (text_regex/); one that is not valid, or longer
// than 4096 characters, and a match whose work passes the bound, give false. The pattern is
// compiled once while it is the text the element before gave.
//
//   "piece_12", "^piece_\d+$" -> true        "piece_12b", "^piece_\d+$" -> false
#pragma once

#include <string_view>

#include "frame/node.h"
#include "text_regex/text_regex.h"

namespace regexmatch {

struct RegexMatch {
  // The pattern of the element before, compiled, for as long as the call lasts.
  using State = text_regex::PatternCache;

  static constexpr frame::NodeTable<2> table{
      .name = L"regexmatch",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text searched.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"piece_12")},
          // The regular expression searched for.
          {1, L"Pattern", frame::kText, frame::kOnePerElement, frame::text_value(L"^piece_\\d+$")},
      }},
      // Whether it matches somewhere in the text.
      .output = {200, L"Result", frame::kBoolean, frame::kOnePerElement},
  };

  static bool compute(std::wstring_view text, std::wstring_view pattern, State& patterns);
};

}  // namespace regexmatch
