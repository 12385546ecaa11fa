// regexfindall: gives each evaluated element the text of group Group (0: the whole match) of
// every match of its pattern in its text, from left to right and none overlapping; the empty text
// where the group took no part in a match, as Python's re.finditer finds them: an empty match
// gives an item as any other (text_regex::Matches). Patterns are ECMAScript's regular
// expressions (text_regex/); one that is not valid, or longer than 4096 characters, a group that
// does not exist, and a search whose work passes the bound give no items. The pattern is
// compiled once while it is the text the element before gave.
//
//   "a1, b22, c333", "\d+", 0       -> "1", "22", "333"
//   "a1, b22", "([a-z])(\d+)", 2    -> "1", "22"          "ab", "x*", 0 -> "", "", ""
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"
#include "frame/numbers.h"
#include "text_regex/text_regex.h"

namespace regexfindall {

// The groups' texts, each a view into the text searched, valid while it is; the few most elements
// give are held in the object and allocate nothing.
using Found = frame::Numbers<std::wstring_view>;

struct RegexFindAll {
  // The pattern of the element before, compiled, for as long as the call lasts.
  using State = text_regex::PatternCache;

  static constexpr frame::NodeTable<3> table{
      .name = L"regexfindall",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text searched.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"a1, b22, c333")},
          // The regular expression searched for.
          {1, L"Pattern", frame::kText, frame::kOnePerElement, frame::text_value(L"\\d+")},
          // The group whose text each match gives, counted from 1 in the order the groups
          // open; 0 for the whole match.
          {2, L"Group", frame::kInteger, frame::kOnePerElement, frame::integer_value(0)},
      }},
      // The group's text in every match, an array of texts per element.
      .output = {200, L"Matches", frame::kText, frame::kArrayPerElement},
  };

  // Group group of every match of pattern in text, views into text: written to the output while
  // text is still there.
  static Found compute(std::wstring_view text, std::wstring_view pattern, std::int32_t group,
                       State& patterns);
};

}  // namespace regexfindall
