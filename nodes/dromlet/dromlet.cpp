#include "dromlet.h"

#include "frame/plugin.h"
#include "text_to_numbers/text_to_numbers.h"

namespace dromlet {

// No test of its own on the delimiter: one that begins with a digit is accepted.
frame::Result<frame::Numbers<std::int32_t>> Dromlet::compute(const XSI::CString& text,
                                                             const XSI::CString& delimiter) {
  return text_to_numbers::read<std::int32_t>(text, delimiter);
}

}  // namespace dromlet

FRAME_NODE_PLUGIN(dromlet, dromlet::Dromlet)
