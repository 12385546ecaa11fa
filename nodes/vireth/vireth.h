// vireth: turns each evaluated element's array of 32-bit floats into an array of texts of the
// same length, item i the shortest text that reads back to float i ("1.5", "-2", "1e+20", "-0",
// "inf", "nan"). While the input's constant flag is set, every text is that of item 0.
#pragma once

#include "frame/node.h"
#include "number_text/number_text.h"

namespace vireth {

struct Vireth {
  static constexpr frame::NodeTable<1> table{
      .name = L"vireth",
      .inputs = {{
          // The numbers of each element. A float port with an integer default, the value 0 as
          // the node has always registered it.
          {0, L"Scalar", frame::kFloat, frame::kArrayPerElement, frame::integer_value(0)},
      }},
      // One text per number, in item order.
      .output = {200, L"String", frame::kText, frame::kArrayPerElement},
  };

  // The number's text.
  static number_text::Text compute(float number);
};

}  // namespace vireth
