// regexsplit: gives each evaluated element the pieces of its text between the matches of its
// pattern, found from left to right without overlaps, empty pieces kept: one piece more than
// there are matches, as Python's re.split gives them. Empty matches cut the text too, found as
// text_regex::Matches finds them (Python's way). A group of the pattern adds no piece. Patterns
// are ECMAScript's regular expressions (text_regex/); one that is not valid, or longer than 4096
// characters, and a search whose work passes the bound, match nothing: the text is its one piece.
// The pattern is compiled once while it is the text the element before gave.
//
//   "a, b,c", ",\s*"  -> "a", "b", "c"        "a,,b", "," -> "a", "", "b"
//   "", ","           -> ""                   "axbc", "x*" -> "", "a", "", "b", "c", ""
//   "a,b", "|,"       -> "", "a", "", "", "b", ""
#pragma once

#include <string_view>

#include "frame/node.h"
#include "frame/numbers.h"
#include "text_regex/text_regex.h"

namespace regexsplit {

// The pieces of a text, each a view into it, valid while it is; the few most elements give are
// held in the object and allocate nothing.
using Pieces = frame::Numbers<std::wstring_view>;

struct RegexSplit {
  // The pattern of the element before, compiled, for as long as the call lasts.
  using State = text_regex::PatternCache;

  static constexpr frame::NodeTable<2> table{
      .name = L"regexsplit",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to split.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"a, b,c")},
          // The regular expression whose matches stand between the pieces.
          {1, L"Pattern", frame::kText, frame::kOnePerElement, frame::text_value(L",\\s*")},
      }},
      // The pieces, an array of texts per element.
      .output = {200, L"Strings", frame::kText, frame::kArrayPerElement},
  };

  // The pieces of text between the matches of pattern, views into text: written to the output
  // while text is still there.
  static Pieces compute(std::wstring_view text, std::wstring_view pattern, State& patterns);
};

}  // namespace regexsplit
