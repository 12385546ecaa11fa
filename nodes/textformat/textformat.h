// textformat: gives each evaluated element its format with every replacement field filled from
// its values, as Python's str.format fills them from floats: "{}" the next value, "{N}" value N,
// a layout after ':' in Python's format mini-language (fill, align "<>^=", sign "+- ", '#',
// '0', width, ".precision", the types "fFeEgG%" and "dxXob"), "{{" and "}}" a brace.
//
//   "{:.2f}", 3.14159           -> "3.14"       "{} m", 12.5            -> "12.5 m"
//   "{1}/{0}", 2, 8             -> "8/2"        "{:>+8.1e}", 1500       -> "+1.5e+03"
//   "{:x}", -255.9              -> "-ff"        "{:.0%}", 0.25          -> "25%"
//   "{:*^7}", 1.5               -> "**1.5**"    "{:05.1f}", -2          -> "-02.0"
//
// A field without a layout gives vireth's text of the value, the shortest that reads back to it
// ("12.5", "2", "1e+20"). The integer types take the value rounded toward zero, to any size.
// A format that cannot be applied gives the empty text: an unmatched brace ("{:.2f"), a field
// past the last value, mixing "{}" with "{0}", a layout the value's type refuses ("{:.2d}"), NaN
// or an infinity under an integer type, anything Python's str.format refuses for a float, and
// what this node does not apply: a nested field ("{:{}}"), a conversion ("{!r}"), an attribute
// or an index ("{0.real}"), grouping (',', '_'), 'z', the type 'n', or a width or precision
// above 1000 (kMaxWidth).
#pragma once

#include <string_view>

#include "formatted_text.h"
#include "frame/node.h"
#include "frame/values.h"

namespace textformat {

struct TextFormat {
  static constexpr frame::NodeTable<2> table{
      .name = L"textformat",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text with replacement fields.
          {0, L"Format", frame::kText, frame::kOnePerElement, frame::text_value(L"{:.2f}")},
          // The values the fields take, an array of them per element.
          {1, L"Values", frame::kFloat, frame::kArrayPerElement, frame::float_value(0.0f)},
      }},
      // The format filled.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // The format filled from values; the empty text when it cannot be applied.
  static FormattedText compute(std::wstring_view format, frame::Items<float> values);
};

}  // namespace textformat
