// texttrim: gives each evaluated element its text without the white space at both ends (Mode
// 0), at the start (1) or at the end (2); any other Mode acts as 0. White space is Unicode's
// White_Space set (text_unicode/): tab to carriage return, the space, U+0085, the no-break and
// other spaces, the line and paragraph separators; not the zero-width space.
//
//   " text ", 0 -> "text"    " text ", 1 -> "text "    " text ", 2 -> " text"
//   "\u3000a b\u00a0", 0 -> "a b"    "  ", 0 -> ""
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace texttrim {

struct TextTrim {
  static constexpr frame::NodeTable<2> table{
      .name = L"texttrim",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to trim.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L" text ")},
          // Where to trim: 0 both ends, 1 the start, 2 the end; any other as 0.
          {1, L"Mode", frame::kInteger, frame::kOnePerElement, frame::integer_value(0)},
      }},
      // The text trimmed.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // The trimmed text, as a view into text: written to the output while text is still there.
  static std::wstring_view compute(std::wstring_view text, std::int32_t mode);
};

}  // namespace texttrim
