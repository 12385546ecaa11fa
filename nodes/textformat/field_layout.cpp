#include "field_layout.h"

#include <cstddef>

#include "text_unicode/characters.h"

namespace textformat {
namespace {

constexpr bool is_align(wchar_t c) { return c == L'<' || c == L'>' || c == L'^' || c == L'='; }

constexpr bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The wchar_t of layout's first character: two for a surrogate pair where texts are UTF-16, so
// that a fill beyond 16 bits stays one character on Windows too.
std::size_t first_character(std::wstring_view layout) {
  return layout.empty() ? 1 : text_unicode::character_at(layout, 0).units;
}

// Reads the decimal digits at layout[i], if any, into number, stopping above kMaxWidth; false
// when the number is past it.
bool read_number(std::wstring_view layout, std::size_t& i, int& number) {
  number = 0;
  for (; i < layout.size() && is_digit(layout[i]); ++i) {
    number = number * 10 + (layout[i] - L'0');
    if (number > kMaxWidth) return false;
  }
  return true;
}

}  // namespace

std::optional<FieldLayout> parse_layout(std::wstring_view layout) {
  FieldLayout field;
  std::size_t i = 0;
  bool fill_given = false;
  bool align_given = false;
  const std::size_t fill_size = first_character(layout);
  if (layout.size() > fill_size && is_align(layout[fill_size])) {
    field.fill = layout.substr(0, fill_size);
    field.align = layout[fill_size];
    i = fill_size + 1;
    fill_given = align_given = true;
  } else if (!layout.empty() && is_align(layout[0])) {
    field.align = layout[0];
    i = 1;
    align_given = true;
  }
  if (i < layout.size() && (layout[i] == L'-' || layout[i] == L'+' || layout[i] == L' '))
    field.sign = layout[i++];
  if (i < layout.size() && layout[i] == L'#') {
    field.alternate = true;
    ++i;
  }
  if (!fill_given && i < layout.size() && layout[i] == L'0') {
    field.fill = std::wstring_view(L"0", 1);
    if (!align_given) field.align = L'=';
    ++i;
  }
  if (!read_number(layout, i, field.width)) return std::nullopt;
  if (i < layout.size() && layout[i] == L'.') {
    const std::size_t digits = ++i;
    if (!read_number(layout, i, field.precision) || i == digits) return std::nullopt;
  }
  if (layout.size() - i > 1) return std::nullopt;
  if (i < layout.size()) {
    field.type = layout[i];
    if (!float_type(field.type) && !integer_type(field.type)) return std::nullopt;
  }
  if (integer_type(field.type) && field.precision >= 0) return std::nullopt;
  return field;
}

}  // namespace textformat
