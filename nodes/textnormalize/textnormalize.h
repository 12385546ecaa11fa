// textnormalize: gives each evaluated element its text in one of Unicode's normal forms
// (text_unicode/): NFC, NFD, NFKC or NFKD, by Form 0 to 3; any other Form gives the text as it
// is. The same on every platform and under every locale; a text already in the form is given
// back as it is.
//
//   "Cafe\u0301"       -> "Caf\u00e9"          Form 1 (NFD): "Caf\u00e9" -> "Cafe\u0301"
//   "\ufb01", Form 2 (NFKC): "fi"              "\uac01", Form 1: "\u1100\u1161\u11a8"
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"
#include "text_unicode/normalization.h"

namespace textnormalize {

struct TextNormalize {
  static constexpr frame::NodeTable<2> table{
      .name = L"textnormalize",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to normalize.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"Cafe\u0301")},
          // The normal form: 0 NFC, 1 NFD, 2 NFKC, 3 NFKD.
          {1, L"Form", frame::kInteger, frame::kOnePerElement, frame::integer_value(0)},
      }},
      // The text in that form.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // text in the form; text itself when it is in the form already, or Form is none of the four.
  static text_unicode::Normalized compute(std::wstring_view text, std::int32_t form);
};

}  // namespace textnormalize
