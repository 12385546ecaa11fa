// kestrune: removes a sub-text from a text, its first occurrence or, with RemoveAll on, every
// occurrence until none is left, those a removal joins included. Every evaluated element gets
// the result computed once from element 0 of each input; an empty text or sub-text, or a
// sub-text that does not occur, leaves the marker "-1" in output element 0 alone.
#pragma once

#include <string>
#include <string_view>

#include "frame/node.h"

namespace kestrune {

struct Kestrune {
  static constexpr frame::NodeTable<3> table{
      .name = L"kestrune",
      // Its inputs at element 0, once per call, for every evaluated element: the node has always
      // read so, and graphs built on it may rely on it.
      .reading = frame::Reading::once_at_element_0,
      .inputs = {{
          // The text to remove the sub-text from.
          {0, L"String", frame::kText, frame::kOnePerElement,
           frame::text_value(L"this_string_has_a_subString_and_another_subString_and_yet_another_"
                             L"subString_in_it")},
          // The sub-text to remove, matched exactly, case and all.
          {1, L"SubString", frame::kText, frame::kOnePerElement, frame::text_value(L"subString")},
          // Whether to remove every occurrence rather than the first.
          {2, L"RemoveAll", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      // The text without the sub-text.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // The text without the first occurrence of sub, or, when all, without every occurrence, each
  // search from the start; unsuitable when either text is empty or sub does not occur.
  static frame::Result<std::wstring> compute(std::wstring_view text, std::wstring_view sub,
                                             bool all);
};

}  // namespace kestrune
