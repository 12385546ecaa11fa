// tamsel: turns each evaluated element's array of 32-bit signed integers into an array of
// texts of the same length, item i the plain decimal text of integer i ("-7", "2147483647").
// While the input's constant flag is set, every text is that of item 0.
#pragma once

#include <cstdint>

#include "frame/node.h"
#include "number_text/number_text.h"

namespace tamsel {

struct Tamsel {
  static constexpr frame::NodeTable<1> table{
      .name = L"tamsel",
      .inputs = {{
          // The numbers of each element.
          {0, L"Integer", frame::kInteger, frame::kArrayPerElement, frame::integer_value(0)},
      }},
      // One text per number, in item order.
      .output = {200, L"String", frame::kText, frame::kArrayPerElement},
  };

  // The number's text.
  static number_text::Text compute(std::int32_t number);
};

}  // namespace tamsel
