// palvane: cuts a delimited text into pieces and gives every evaluated element the pieces read
// as 32-bit floats, cut and read once from element 0 of each input. A text that lacks the
// delimiter, a delimiter that begins with a digit, or an empty delimiter leaves the marker -1.0
// in output element 0 alone.
#include <optional>
#include <string_view>

#include "frame/plugin.h"
#include "frame/text_to_numbers.h"

namespace palvane {

constexpr frame::NodeTable<2> kTable =
    frame::text_to_numbers_table(L"palvane", L"1.36,4.6704993,83.2243,114.68",
                                 {200, L"Scalar", frame::kFloat, frame::kArrayPerElement});

// A delimiter that begins with a decimal digit would cut through the numbers themselves; an
// empty one cuts nothing. Only '0' to '9' of the narrow form's first character count as digits.
std::optional<bool> delimiter_suits(const XSI::CString& delimiter) {
  const std::optional<std::string_view> narrow = frame::narrow_form(delimiter);
  if (!narrow) return std::nullopt;
  const char first = narrow->empty() ? '\0' : narrow->front();
  if (first >= '0' && first <= '9') return false;
  return !delimiter.IsEmpty();
}

struct Palvane : frame::TextToNumbers<float, delimiter_suits> {
  static constexpr const frame::NodeTable<2>& table = kTable;
};

}  // namespace palvane

FRAME_NODE_PLUGIN(palvane, palvane::Palvane)
