// textfind: gives each evaluated element the position of the first occurrence of its sub-text
// in its text, counted in characters from 0, or -1 when the sub-text is empty or does not
// occur (Position); or the count of its occurrences, found from left to right without overlaps,
// 0 for an empty sub-text (Count). Characters are compared exactly, case and all, and counted
// as code points: a character past U+FFFF is one on every platform, and an occurrence never
// begins or ends inside one. Each output is computed only when the host pulls it.
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace textfind {

struct TextFind {
  static constexpr frame::NodeTable<2, 2> table{
      .name = L"textfind",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text searched.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"text")},
          // The sub-text searched for.
          {1, L"SubString", frame::kText, frame::kOnePerElement, frame::text_value(L"x")},
      }},
      .outputs = {{
          // The position of its first occurrence, or -1.
          {200, L"Position", frame::kInteger, frame::kOnePerElement},
          // The count of its occurrences.
          {201, L"Count", frame::kInteger, frame::kOnePerElement},
      }},
  };

  // The first position of sub in text, or -1; in time linear in the text's length. A position
  // past 2^31 - 1 gives 2^31 - 1.
  static std::int32_t compute(frame::Output<0>, std::wstring_view text, std::wstring_view sub);

  // The occurrences of sub in text that do not overlap, each search resuming where the last
  // occurrence ended ("aaaa", "aa": 2), 0 for an empty sub; in time linear in the text's length.
  static std::int32_t compute(frame::Output<1>, std::wstring_view text, std::wstring_view sub);
};

}  // namespace textfind
