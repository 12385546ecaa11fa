#include "field_spec.h"

#include <cstddef>

namespace textformat {
namespace {

constexpr bool is_align(wchar_t c) { return c == L'<' || c == L'>' || c == L'^' || c == L'='; }

constexpr bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The wchar_t of spec's first character: two for a surrogate pair where wchar_t is 16 bits,
// so that a fill beyond 16 bits stays one character on Windows too.
std::size_t first_character(std::wstring_view spec) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (spec.size() >= 2 && spec[0] >= 0xD800 && spec[0] <= 0xDBFF && spec[1] >= 0xDC00 &&
        spec[1] <= 0xDFFF)
      return 2;
  }
  return 1;
}

// Reads the decimal digits at spec[i], if any, into number, stopping above kMaxWidth; false
// when the number is past it.
bool read_number(std::wstring_view spec, std::size_t& i, int& number) {
  number = 0;
  for (; i < spec.size() && is_digit(spec[i]); ++i) {
    number = number * 10 + (spec[i] - L'0');
    if (number > kMaxWidth) return false;
  }
  return true;
}

}  // namespace

std::optional<FieldSpec> parse_spec(std::wstring_view spec) {
  FieldSpec field;
  std::size_t i = 0;
  bool fill_given = false;
  bool align_given = false;
  const std::size_t fill_size = first_character(spec);
  if (spec.size() > fill_size && is_align(spec[fill_size])) {
    field.fill = spec.substr(0, fill_size);
    field.align = spec[fill_size];
    i = fill_size + 1;
    fill_given = align_given = true;
  } else if (!spec.empty() && is_align(spec[0])) {
    field.align = spec[0];
    i = 1;
    align_given = true;
  }
  if (i < spec.size() && (spec[i] == L'-' || spec[i] == L'+' || spec[i] == L' '))
    field.sign = spec[i++];
  if (i < spec.size() && spec[i] == L'#') {
    field.alternate = true;
    ++i;
  }
  if (!fill_given && i < spec.size() && spec[i] == L'0') {
    field.fill = std::wstring_view(L"0", 1);
    if (!align_given) field.align = L'=';
    ++i;
  }
  if (!read_number(spec, i, field.width)) return std::nullopt;
  if (i < spec.size() && spec[i] == L'.') {
    const std::size_t digits = ++i;
    if (!read_number(spec, i, field.precision) || i == digits) return std::nullopt;
  }
  if (spec.size() - i > 1) return std::nullopt;
  if (i < spec.size()) {
    field.type = spec[i];
    if (!float_type(field.type) && !integer_type(field.type)) return std::nullopt;
  }
  if (integer_type(field.type) && field.precision >= 0) return std::nullopt;
  return field;
}

}  // namespace textformat
