// palvane: cuts a delimited text into pieces and gives every evaluated element the pieces read
// as 32-bit floats, cut and read once from element 0 of each input. A text that lacks the
// delimiter, a delimiter that begins with a digit, or an empty delimiter leaves the marker -1.0
// in output element 0 alone.
#pragma once

#include "frame/node.h"
#include "frame/numbers.h"

namespace palvane {

struct Palvane {
  static constexpr frame::NodeTable<2> table{
      .name = L"palvane",
      // Its inputs at element 0, once per call, for every evaluated element: the node has always
      // read so, and graphs built on it may rely on it.
      .reading = frame::Reading::once_at_element_0,
      .inputs = {{
          // The text to cut.
          {0, L"String", frame::kText, frame::kOnePerElement,
           frame::text_value(L"1.36,4.6704993,83.2243,114.68")},
          // What the pieces are cut at.
          {1, L"Delimiter", frame::kText, frame::kOnePerElement, frame::text_value(L",")},
      }},
      // The pieces, each read as a 32-bit float.
      .output = {200, L"Scalar", frame::kFloat, frame::kArrayPerElement},
  };

  // The pieces of text between the delimiters, as the SDK cuts them, each as the SDK reads it as
  // a float; unsuitable when the text lacks the delimiter, or the delimiter begins with a digit
  // 0 to 9, or is empty.
  static frame::Result<frame::Numbers<float>> compute(const XSI::CString& text,
                                                      const XSI::CString& delimiter);
};

}  // namespace palvane
