#include "palvane.h"

#include <optional>
#include <string_view>

#include "frame/host_text.h"
#include "frame/plugin.h"
#include "text_to_numbers/text_to_numbers.h"

namespace palvane {
namespace {

// A delimiter that begins with a decimal digit would cut through the numbers themselves; an
// empty one cuts nothing. Only '0' to '9' count as digits, told from the first byte of the
// delimiter's narrow form, the one byte of it the test reads.
std::optional<bool> suits(const XSI::CString& delimiter) {
  if (delimiter.IsEmpty()) return false;
  const std::optional<std::string_view> narrow = frame::narrow_form(delimiter);
  if (!narrow) return std::nullopt;
  return !(narrow->front() >= '0' && narrow->front() <= '9');
}

}  // namespace

frame::Result<frame::Numbers<float>> Palvane::compute(const XSI::CString& text,
                                                      const XSI::CString& delimiter) {
  return text_to_numbers::read<float>(text, delimiter, suits);
}

}  // namespace palvane

FRAME_NODE_PLUGIN(palvane, palvane::Palvane)
