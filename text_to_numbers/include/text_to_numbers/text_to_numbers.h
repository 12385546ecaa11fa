// What palvane and dromlet share: a delimited text cut into pieces and every piece read as a
// number, by the host's own text operations (its search, its cut, its reading of a number). How
// those cut and read is the SDK's to decide; with the stand-in SDK:
//
//   read<float>(L"1.36, x,,-2e1", L",")        == {1.36f, 0.0f, -20.0f}
//   read<std::int32_t>(L"7;2.9;-1e10", L";")   == {7, 2, -2147483648}
//   read<float>(L"1.5", L",")                  == NoResult::unsuitable: no delimiter, anywhere
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>

#include "frame/node.h"
#include "frame/numbers.h"

namespace text_to_numbers {

// A node's own test of a delimiter the text holds: whether it suits; nothing when the SDK could
// not give what the test needs.
using DelimiterTest = std::optional<bool> (*)(const XSI::CString& delimiter);

// The pieces of text between the occurrences of delimiter, in text order, as CString::Split
// cuts them, each read by CValue as a float or an integer within 32 bits. Unsuitable when the
// text does not hold the delimiter (CString::FindString) or test refuses it; out of memory when
// the SDK could not give what test needs.
template <class Item>
frame::Result<frame::Numbers<Item>> read(const XSI::CString& text, const XSI::CString& delimiter,
                                         DelimiterTest test = nullptr) {
  static_assert(std::is_same_v<Item, float> || std::is_same_v<Item, std::int32_t>);
  if (text.FindString(delimiter, 0) == frame::kNotFound) return frame::NoResult::unsuitable;
  if (test) {
    const std::optional<bool> suits = test(delimiter);
    if (!suits) return frame::NoResult::out_of_memory;
    if (!*suits) return frame::NoResult::unsuitable;
  }
  const XSI::CStringArray pieces = text.Split(delimiter);
  frame::Numbers<Item> values;
  const auto count = pieces.GetCount();
  values.reserve(static_cast<std::size_t>(count));
  for (decltype(pieces.GetCount()) i = 0; i < count; ++i) {
    const XSI::CValue piece(pieces[i]);
    if constexpr (std::is_same_v<Item, float>) {
      values.push_back(static_cast<float>(piece));
    } else {
      // CValue keeps every integer it gives within 32 bits, whatever the width of long.
      values.push_back(static_cast<std::int32_t>(static_cast<long>(piece)));
    }
  }
  return values;
}

}  // namespace text_to_numbers
