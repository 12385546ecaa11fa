// textnumber: gives each evaluated element the number that begins its text, after optional
// white space, read as C's strtof reads one in the "C" locale but for hexadecimal, correctly
// rounded to a 32-bit float (Value); and the count of characters read, that white space
// included (Length). Both are 0 when no number begins the text. Each output is computed only
// when the host pulls it.
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace textnumber {

struct TextNumber {
  static constexpr frame::NodeTable<1, 2> table{
      .name = L"textnumber",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text that begins with a number.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"12.5 m")},
      }},
      .outputs = {{
          // The number, or 0.
          {200, L"Value", frame::kFloat, frame::kOnePerElement},
          // The characters read, or 0.
          {201, L"Length", frame::kInteger, frame::kOnePerElement},
      }},
  };

  // The number at the start of text: "12.5 m" gives 12.5, " -1e3x" -1000, "inf" infinity, "1e39"
  // infinity, "nan" NaN, "0x1A" 0, "m" 0.
  static float compute(frame::Output<0>, std::wstring_view text);

  // The characters that number took: "12.5 m" gives 4, " -1e3x" 5, "1e" 1, "infinit" 3, "0x1A" 1,
  // "m" and "-" 0. A count past 2^31 - 1 gives 2^31 - 1.
  static std::int32_t compute(frame::Output<1>, std::wstring_view text);
};

}  // namespace textnumber
