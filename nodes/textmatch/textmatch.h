// textmatch: gives each evaluated element whether its text contains Key (Mode 0), starts with
// it (1), ends with it (2), equals it (3), or matches it whole as a wildcard pattern (4: `*`, `?`,
// `[seq]`, `[!seq]`, as Python's fnmatch.fnmatchcase, wildcard.h); any other Mode acts as 0. An
// empty Key is contained in, starts and ends every text, and equals the empty text alone.
// Characters are compared exactly, or with IgnoreCase on by their simple lower-case mappings
// (text_unicode/): "STRASSE" and "stra\u00dfe" differ, as do "\u03c3" and the final "\u03c2", which
// lower-case to themselves. A character past U+FFFF is one character on every platform: a key never
// matches half of it.
//
//   "text", "te", 0 -> true     "text", "xt", 1 -> false    "text", "xt", 2 -> true
//   "Text", "text", 3 -> false  "Text", "text", 3, IgnoreCase -> true
//   "sim_0042.bgeo", "sim_*.bgeo", 4 -> true        "B7", "[a-c]?", 4, IgnoreCase -> true
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace textmatch {

struct TextMatch {
  static constexpr frame::NodeTable<4> table{
      .name = L"textmatch",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text matched.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"text")},
          // The text matched against.
          {1, L"Key", frame::kText, frame::kOnePerElement, frame::text_value(L"te")},
          // 0 contains, 1 starts with, 2 ends with, 3 equals, 4 wildcard; any other as 0.
          {2, L"Mode", frame::kInteger, frame::kOnePerElement, frame::integer_value(0)},
          // Whether to compare the simple lower-case mappings of the characters.
          {3, L"IgnoreCase", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      // Whether the text matches.
      .output = {200, L"Result", frame::kBoolean, frame::kOnePerElement},
  };

  // Whether text matches key as mode says; in time linear in the lengths of text and key.
  static bool compute(std::wstring_view text, std::wstring_view key, std::int32_t mode,
                      bool ignore_case);
};

}  // namespace textmatch
