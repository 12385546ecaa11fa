#include "textnumber.h"

#include "frame/plugin.h"
#include "number_text/number_text.h"

namespace textnumber {

float TextNumber::compute(frame::Output<0>, std::wstring_view text) {
  return number_text::read_leading_float(text).value;
}

std::int32_t TextNumber::compute(frame::Output<1>, std::wstring_view text) {
  return frame::as_int32(number_text::read_leading_float(text).length);
}

}  // namespace textnumber

FRAME_NODE_PLUGIN(textnumber, textnumber::TextNumber)
