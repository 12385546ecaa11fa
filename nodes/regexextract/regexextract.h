// regexextract: gives each evaluated element the text of one group of the first match of its
// pattern in its text (group 0: the whole match); the empty text when nothing matches, the group
// did not take part, or there is no such group. Patterns are ECMAScript's regular expressions
// (text_regex/); one that is not valid, or longer than 4096 characters, and a match whose work
// passes the bound, give the empty text. The pattern is compiled once while it is the text the
// element before gave.
//
//   "piece_12", "(\d+)", 1 -> "12"       "piece_12", "(\d+)", 0 -> "12"      2 -> ""
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"
#include "text_regex/text_regex.h"

namespace regexextract {

struct RegexExtract {
  // The pattern of the element before, compiled, for as long as the call lasts.
  using State = text_regex::PatternCache;

  static constexpr frame::NodeTable<3> table{
      .name = L"regexextract",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text searched.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"piece_12")},
          // The regular expression searched for.
          {1, L"Pattern", frame::kText, frame::kOnePerElement, frame::text_value(L"(\\d+)")},
          // The group whose text is given, counted from 1 in the order the groups open; 0 for
          // the whole match.
          {2, L"Group", frame::kInteger, frame::kOnePerElement, frame::integer_value(1)},
      }},
      // The group's text, a part of the text searched.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  static std::wstring_view compute(std::wstring_view text, std::wstring_view pattern,
                                   std::int32_t group, State& patterns);
};

}  // namespace regexextract
