// textsplit: gives each evaluated element the pieces of its text between the occurrences of
// Delimiter, found from left to right without overlaps, in order, empty pieces kept: one piece
// more than there are occurrences, so the empty text gives one empty piece and the delimiter
// alone two. An empty Delimiter occurs nowhere and gives the text as its one piece. Characters
// are compared exactly, case and all.
//
//   "a,b,c", ","  -> "a", "b", "c"       "a,,b", "," -> "a", "", "b"
//   ",", ","      -> "", ""              "", ","    -> ""
//   "aaaaa", "aa" -> "", "", "a"         "a,b", ""  -> "a,b"
#pragma once

#include <cstddef>
#include <string_view>

#include "frame/node.h"
#include "frame/numbers.h"

namespace textsplit {

// The pieces of a text, each a view into it, valid while it is; the few most elements give
// are held in the object and allocate nothing.
using Pieces = frame::Numbers<std::wstring_view>;

struct TextSplit {
  static constexpr frame::NodeTable<2> table{
      .name = L"textsplit",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to split.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"a,b,c")},
          // What stands between the pieces.
          {1, L"Delimiter", frame::kText, frame::kOnePerElement, frame::text_value(L",")},
      }},
      // The pieces, an array of texts per element.
      .output = {200, L"Strings", frame::kText, frame::kArrayPerElement},
  };

  // The pieces of text between the occurrences of delimiter, views into text: written to the
  // output while text is still there. In time linear in the length of text.
  static Pieces compute(std::wstring_view text, std::wstring_view delimiter);
};

}  // namespace textsplit
