// textfind: gives each evaluated element the position of the first occurrence of its sub-text
// in its text, counted in characters from 0, or -1 when the sub-text is empty or does not
// occur. Characters are compared exactly, case and all.
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace textfind {

struct TextFind {
  static constexpr frame::NodeTable<2> table{
      .name = L"textfind",
      // As graph nodes normally do: element k of the output from element k of each input.
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text searched.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"text")},
          // The sub-text searched for.
          {1, L"SubString", frame::kText, frame::kOnePerElement, frame::text_value(L"x")},
      }},
      // The position of its first occurrence, or -1.
      .output = {200, L"Position", frame::kInteger, frame::kOnePerElement},
  };

  // The first position of sub in text, or -1; in time linear in the text's length. A position
  // past 2^31 - 1 gives 2^31 - 1.
  static std::int32_t compute(std::wstring_view text, std::wstring_view sub);
};

}  // namespace textfind
