#include "palvane.h"

#include <optional>

#include "frame/host_text.h"
#include "frame/plugin.h"
#include "text_to_numbers/text_to_numbers.h"

namespace palvane {
namespace {

// A delimiter that begins with a decimal digit would cut through the numbers themselves; an
// empty one cuts nothing. Only '0' to '9' of the narrow form's first character count as digits.
// The host's search finds an empty delimiter nowhere here, but the contract leaves that open:
// the emptiness test is what refuses one wherever it is found.
std::optional<bool> suits(const XSI::CString& delimiter) {
  const std::optional<std::string_view> narrow = frame::narrow_form(delimiter);
  if (!narrow) return std::nullopt;
  if (!narrow->empty() && narrow->front() >= '0' && narrow->front() <= '9') return false;
  return !delimiter.IsEmpty();
}

}  // namespace

frame::Result<frame::Numbers<float>> Palvane::compute(std::wstring_view text,
                                                      std::wstring_view delimiter) {
  return text_to_numbers::read<float>(text, delimiter, suits);
}

}  // namespace palvane

FRAME_NODE_PLUGIN(palvane, palvane::Palvane)
