// ocherin: gives every evaluated element the character codes of a text, computed once from
// element 0 of the input. A code is the character's byte in the text's narrow form, the SDK's
// one byte per character, read as a signed 8-bit value: bytes 128 to 255 give -128 to -1. An
// embedded NUL is a character like any other and gives 0. Which byte a character beyond one byte
// becomes is the SDK's choice (the stand-in's narrow form gives '?', 63).
#pragma once

#include <cstdint>

#include "frame/node.h"
#include "frame/numbers.h"

namespace ocherin {

struct Ocherin {
  static constexpr frame::NodeTable<1> table{
      .name = L"ocherin",
      // Its inputs at element 0, once per call, for every evaluated element: the node has always
      // read so, and graphs built on it may rely on it.
      .reading = frame::Reading::once_at_element_0,
      .inputs = {{
          // The text whose characters are coded.
          {7, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"default string")},
      }},
      // One signed code per character, in text order.
      .output = {209, L"ASCII", frame::kInteger, frame::kArrayPerElement},
  };

  // The signed byte of each character of the text's narrow form; out of memory when the SDK
  // could not make that form.
  static frame::Result<frame::Numbers<std::int32_t>> compute(const XSI::CString& text);
};

}  // namespace ocherin
