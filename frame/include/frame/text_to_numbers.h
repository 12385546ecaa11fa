// The nodes that cut a delimited text into numbers: input port 0 the text, input port 1 the
// delimiter, an array-per-element numeric output. Each call reads element 0 of both inputs once,
// tests them, cuts the text once and reads every piece once; each evaluated element then gets a
// copy of those values. A failed test leaves the marker -1 in output element 0 alone.
//
//   read_pieces<float>(L"1.36, x,,-2e1", L",")       == {1.36f, 0.0f, -20.0f}
//   read_pieces<std::int32_t>(L"7,2.9,-1e10", L",")  == {7, 2, -2147483648}
//
// A node picks its item type, its table and, beyond the test that the text holds the delimiter,
// any test of its own on the delimiter:
//   struct Node : frame::TextToNumbers<float, delimiter_suits> {
//     static constexpr frame::NodeTable<2> table = frame::text_to_numbers_table(
//         L"node", L"1.5,2", {200, L"Scalar", frame::kFloat, frame::kArrayPerElement});
//   };
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include "frame/evaluate.h"
#include "xsi_sdk.h"

namespace frame {

// The pieces of text cut at delimiter by CString::Split (empty pieces dropped), in text order,
// each read by CValue: a float correctly rounded to 32 bits, an integer truncated toward zero
// and saturated to 32 bits; a piece that holds no number reads as 0.
template <class Item>
std::vector<Item> read_pieces(const XSI::CString& text, const XSI::CString& delimiter) {
  static_assert(std::is_same_v<Item, float> || std::is_same_v<Item, std::int32_t>);
  const XSI::CStringArray pieces = text.Split(delimiter);
  std::vector<Item> values;
  values.reserve(static_cast<std::size_t>(pieces.GetCount()));
  for (long i = 0; i < pieces.GetCount(); ++i) {
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

// The port table of such a node: the text "String" (port 0) with the node's default, the
// delimiter "Delimiter" (port 1) defaulting to ",", and the node's array-per-element output.
constexpr NodeTable<2> text_to_numbers_table(const wchar_t* name, const wchar_t* default_text,
                                             Port output) {
  return {
      .name = name,
      .inputs = {{
          {0, L"String", kText, kOnePerElement, text_value(default_text)},
          {1, L"Delimiter", kText, kOnePerElement, text_value(L",")},
      }},
      .output = output,
  };
}

// The frame hooks of such a node. delimiter_suits, when given, is the node's further test of
// the delimiter, made after the text is found to hold it: nothing when the SDK could not give
// what the test needs.
template <class Item, std::optional<bool> (*delimiter_suits)(const XSI::CString&) = nullptr>
struct TextToNumbers {
  Prepared prepare(const Inputs<2>& in) {
    const std::optional<XSI::CString> text = to_cstring(in[0].text(0));
    const std::optional<XSI::CString> delimiter = to_cstring(in[1].text(0));
    if (!text || !delimiter) return Prepared::failed;
    // The SDK's search finds an empty delimiter nowhere, so an empty delimiter fails here too.
    if (text->FindString(*delimiter, 0) == XSI::kNotFound) return Prepared::marker;
    if constexpr (delimiter_suits != nullptr) {
      const std::optional<bool> suits = delimiter_suits(*delimiter);
      if (!suits) return Prepared::failed;
      if (!*suits) return Prepared::marker;
    }
    values = read_pieces<Item>(*text, *delimiter);
    return Prepared::walk;
  }

  void write(OutputArray& out, const Inputs<2>& /*in*/, ULONG k) const {
    out.write_items<Item>(k, values);
  }

  std::vector<Item> values;
};

}  // namespace frame
