// textchar: gives each evaluated element the text whose characters are the codes of its array,
// in order, each a Unicode code point, as Python's chr gives them; a code that is no character
// (negative, a surrogate, past U+10FFFF) gives U+FFFD. Where texts are UTF-16 a code past U+FFFF
// gives its surrogate pair: one character on every platform. So the text is the same on every
// platform, and never holds a lone surrogate.
//
//   [104, 105]          -> "hi"          []                 -> ""
//   [233, 128512]       -> "\u00e9\U0001F600"
//   [-1, 55357, 1114112] -> "\ufffd\ufffd\ufffd"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/node.h"
#include "frame/ports.h"

namespace textchar {

struct TextChar {
  // The characters of the element before, their storage reused for the next element's.
  using State = std::wstring;

  static constexpr frame::NodeTable<1> table{
      .name = L"textchar",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The codes, an array of them per element.
          {0, L"Codes", frame::kInteger, frame::kArrayPerElement, frame::integer_value(104)},
      }},
      // The text of their characters.
      .output = {200, L"String", frame::kText, frame::kOnePerElement},
  };

  // The text of the codes' characters, held in characters, which it views; in time linear in
  // the count of codes.
  static std::wstring_view compute(frame::Items<std::int32_t> codes, State& characters);
};

}  // namespace textchar
