#include "textformat.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

#include "field_layout.h"
#include "frame/plugin.h"
#include "number_field.h"

namespace textformat {
namespace {

constexpr std::size_t kNone = std::wstring_view::npos;

// The position of the first brace at or after from, or kNone.
std::size_t next_brace(std::wstring_view format, std::size_t from) {
  for (std::size_t i = from; i < format.size(); ++i)
    if (format[i] == L'{' || format[i] == L'}') return i;
  return kNone;
}

// How the fields of one format name their values: Python refuses a format that mixes "{}"
// with "{N}".
enum class Numbering { unset, automatic, manual };

// The index a field's name gives: the next value for an empty name, value N for decimal
// digits; nothing for any other name, or for a name that switches the numbering.
std::optional<std::size_t> value_index(std::wstring_view name, Numbering& numbering,
                                       std::size_t& next) {
  if (name.empty()) {
    if (numbering == Numbering::manual) return std::nullopt;
    numbering = Numbering::automatic;
    return next++;
  }
  if (numbering == Numbering::automatic) return std::nullopt;
  numbering = Numbering::manual;
  std::size_t index = 0;
  for (const wchar_t c : name) {
    if (c < L'0' || c > L'9') return std::nullopt;
    // Any index past the largest count of values is as far past the last one.
    index = std::min<std::size_t>(index * 10 + static_cast<std::size_t>(c - L'0'), 1u << 31);
  }
  return index;
}

// Appends format filled from values to out; false at the first thing that cannot be applied.
bool fill(std::wstring_view format, const frame::Items<float>& values, FormattedText& out) {
  Numbering numbering = Numbering::unset;
  std::size_t next = 0;
  std::size_t i = 0;
  while (i < format.size()) {
    const std::size_t brace = next_brace(format, i);
    out.append(format.substr(i, brace == kNone ? kNone : brace - i));
    if (brace == kNone) break;
    i = brace + 1;
    const bool doubled = i < format.size() && format[i] == format[brace];
    if (format[brace] == L'}' || doubled) {
      if (!doubled) return false;
      out.append(format.substr(brace, 1));
      ++i;
      continue;
    }
    // A field ends at the next '}'; a '{' before it would open a nested field.
    const std::size_t end = next_brace(format, i);
    if (end == kNone || format[end] == L'{') return false;
    const std::wstring_view field = format.substr(i, end - i);
    i = end + 1;
    std::size_t colon = 0;
    while (colon < field.size() && field[colon] != L':') ++colon;
    const std::optional<std::size_t> index = value_index(field.substr(0, colon), numbering, next);
    if (!index || *index >= values.size()) return false;
    const std::optional<FieldLayout> layout =
        parse_layout(colon < field.size() ? field.substr(colon + 1) : std::wstring_view());
    if (!layout || !append_number(values[*index], *layout, out)) return false;
  }
  return true;
}

}  // namespace

FormattedText TextFormat::compute(std::wstring_view format, frame::Items<float> values) {
  FormattedText text;
  if (!fill(format, values, text)) text.clear();
  return text;
}

}  // namespace textformat

FRAME_NODE_PLUGIN(textformat, textformat::TextFormat)
