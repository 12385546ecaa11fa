#include "textnumber.h"

#include <algorithm>
#include <cstddef>

#include "frame/plugin.h"
#include "number_text/number_text.h"

namespace textnumber {

float TextNumber::compute(frame::Output<0>, std::wstring_view text) {
  return number_text::read_leading_float(text).value;
}

std::int32_t TextNumber::compute(frame::Output<1>, std::wstring_view text) {
  constexpr std::size_t kLargest = 2147483647;
  return static_cast<std::int32_t>(
      std::min(number_text::read_leading_float(text).length, kLargest));
}

}  // namespace textnumber

FRAME_NODE_PLUGIN(textnumber, textnumber::TextNumber)
