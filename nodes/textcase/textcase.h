// textcase: gives each evaluated element its text with every character lower-cased, or with
// Upper on upper-cased, one character to one by Unicode's simple case mapping (text_unicode/),
// the same on every platform and under every locale. A character without a simple mapping of
// its own stays as it is: "\u00df" (sharp s), whose upper case is two characters, among them.
//
//   "Text"             -> "text"            Upper: "TEXT"
//   "\u0130stanbul"    -> "istanbul"        "stra\u00dfe", Upper: "STRA\u00dfE"
#pragma once

#include <string_view>

#include "frame/node.h"
#include "text_unicode/text_unicode.h"

namespace textcase {

struct TextCase {
  static constexpr frame::NodeTable<2> table{
      .name = L"textcase",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to change the case of.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"Text")},
          // Whether to upper-case it rather than lower-case it.
          {1, L"Upper", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      // The text in the one case.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // text lower- or upper-cased, of text's length; text itself when no character changes.
  static text_unicode::CaseMapped compute(std::wstring_view text, bool upper);
};

}  // namespace textcase
