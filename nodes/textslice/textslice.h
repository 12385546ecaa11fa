// textslice: gives each evaluated element a part of its text: Length characters from position
// Start. A negative Start counts from the end (-1 is the last character), a negative Length
// means to the end, and both are clamped to the text, so the result is always a part of it,
// empty when Start lies at or past the end or Length is 0. Characters are code points: a
// character past U+FFFF is one on every platform, and a part never cuts one in two.
//
//   "text", Start 1, Length 2    -> "ex"       "text", Start -3, Length -1  -> "ext"
//   "text", Start -9, Length 2   -> "te"       "text", Start 3, Length 9    -> "t"
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace textslice {

struct TextSlice {
  static constexpr frame::NodeTable<3> table{
      .name = L"textslice",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to take a part of.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"text")},
          // The position of the part's first character; negative: counted from the end.
          {1, L"Start", frame::kInteger, frame::kOnePerElement, frame::integer_value(0)},
          // The count of characters; negative: every character from Start to the end.
          {2, L"Length", frame::kInteger, frame::kOnePerElement, frame::integer_value(-1)},
      }},
      // The part of the text.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // The part of text, as a view into it: written to the output while text is still there.
  static std::wstring_view compute(std::wstring_view text, std::int32_t start, std::int32_t length);
};

}  // namespace textslice
