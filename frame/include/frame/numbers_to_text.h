// The per-element work of a node that turns each element's array of numbers into an array of
// texts of the same length, item by item, whatever the number type:
//
//   struct Vireth : frame::NumbersToText<float> {
//     static constexpr frame::NodeTable<1> table{...};  // input 0: floats, output: texts
//   };
//
// Element k of the output gets exactly as many texts as input sub-array k has items (none for
// an empty one), in item order; while the input's constant flag is set every text is that of
// item 0. A float's text is the shortest that reads back to the same 32-bit value ("1.5", "-2",
// "1e+20", "-0", "inf", "-inf", "nan"), an integer's plain decimal ("-7", "2147483647"), so a
// node reading the texts back gets every finite float and every integer exactly. Each text is
// formatted into a buffer on the stack: no allocation per item besides the host's storage.
#pragma once

#include <concepts>
#include <cstdint>
#include <string_view>

#include "frame/evaluate.h"
#include "number_text/number_text.h"

namespace frame {

template <class Number>
requires std::same_as<Number, float> || std::same_as<Number, std::int32_t>
struct NumbersToText {
  void write(OutputArray& out, const Inputs<1>& in, ULONG k) const {
    const Items<Number> items = in[0].items<Number>(k);
    wchar_t buffer[number_text::kMaxDigits];
    out.write_text_items(k, items.count, [&](ULONG i) {
      std::size_t length = 0;
      if constexpr (std::same_as<Number, float>)
        length = number_text::format_float(items[i], buffer);
      else
        length = number_text::format_integer(items[i], buffer);
      return std::wstring_view(buffer, length);
    });
  }
};

}  // namespace frame
