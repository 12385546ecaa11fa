// textjoin: gives each evaluated element the texts of its array joined in order, Delimiter
// between each two of them: "a", "b", "c" with "," give "a,b,c"; one text gives itself, and an
// empty array the empty text. A lone high surrogate joined to a lone low one makes the character
// the two make, on every platform (text_unicode/characters.h).
#pragma once

#include <string>
#include <string_view>

#include "frame/node.h"
#include "frame/values.h"

namespace textjoin {

struct TextJoin {
  static constexpr frame::NodeTable<2> table{
      .name = L"textjoin",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The texts to join, an array of them per element.
          {0, L"Strings", frame::kText, frame::kArrayPerElement, frame::text_value(L"")},
          // What stands between each two texts.
          {1, L"Delimiter", frame::kText, frame::kOnePerElement, frame::text_value(L",")},
      }},
      // The joined text.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // The texts in order with delimiter between each two.
  static std::wstring compute(const frame::Texts& texts, std::wstring_view delimiter);
};

}  // namespace textjoin
