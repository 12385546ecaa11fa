// textlength: gives each evaluated element the count of characters of its text, as Unicode
// counts code points: a character past U+FFFF (a surrogate pair where wchar_t holds 16 bits) is
// one on every platform, and so is a lone surrogate.
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace textlength {

struct TextLength {
  static constexpr frame::NodeTable<1> table{
      .name = L"textlength",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text whose characters are counted.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"text")},
      }},
      // The count of characters.
      .output = {200, L"Length", frame::kInteger, frame::kOnePerElement},
  };

  // The count of characters, NUL included; a count past 2^31 - 1 gives 2^31 - 1. Linear in the
  // text's length where wchar_t holds 16 bits, constant elsewhere.
  static std::int32_t compute(std::wstring_view text);
};

}  // namespace textlength
