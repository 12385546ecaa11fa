// dromlet: cuts a delimited text into pieces and gives every evaluated element the pieces read
// as 32-bit signed integers, cut and read once from element 0 of each input. A text that lacks
// the delimiter leaves the marker -1 in output element 0 alone. A delimiter that begins with a
// digit is accepted, and an empty one has no test of its own: the SDK's search decides (the
// stand-in's finds it nowhere). The cut and the reading of each piece are the SDK's.
#pragma once

#include <cstdint>

#include "frame/node.h"
#include "frame/numbers.h"

namespace dromlet {

struct Dromlet {
  static constexpr frame::NodeTable<2> table{
      .name = L"dromlet",
      // Its inputs at element 0, once per call, for every evaluated element: the node has always
      // read so, and graphs built on it may rely on it.
      .reading = frame::Reading::once_at_element_0,
      .inputs = {{
          // The text to cut.
          {0, L"String", frame::kText, frame::kOnePerElement,
           frame::text_value(L"1,2,3,4,5,6,7,8,9")},
          // What the pieces are cut at.
          {1, L"Delimiter", frame::kText, frame::kOnePerElement, frame::text_value(L",")},
      }},
      // The pieces, each read as a 32-bit signed integer.
      .output = {208, L"Integer", frame::kInteger, frame::kArrayPerElement},
  };

  // The pieces of text between the delimiters, as the SDK cuts them, each as the SDK reads it as
  // an integer; unsuitable when the text lacks the delimiter.
  static frame::Result<frame::Numbers<std::int32_t>> compute(const XSI::CString& text,
                                                             const XSI::CString& delimiter);
};

}  // namespace dromlet
