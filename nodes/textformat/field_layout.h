// The layout of a replacement field, the text after its ':', read as Python's format
// mini-language reads it for a float, within what this node applies:
//
//   [[fill]align][sign]['#']['0'][width]['.' precision][type]
//   align  '<' left, '>' right (a number's default), '^' centred, '=' padding after the sign
//   sign   '-' on negative numbers only (the default), '+' on every number, ' ' a space or '-'
//   '0'    without an explicit fill: fill '0', and align '=' unless one is given
//   type   f F e E g G % (the float's value), d x X o b (the value rounded toward zero), none
//
//   parse_layout(L"*^+10.3f") -> fill "*", align '^', sign '+', width 10, precision 3, type 'f'
//   parse_layout(L"08")       -> fill "0", align '=', width 8
//   parse_layout(L".2d")      -> nothing: an integer type takes no precision
#pragma once

#include <optional>
#include <string_view>

namespace textformat {

// The largest width and precision a layout may give. Python allows any that fits in memory; a
// bound keeps one field of one element from asking for gigabytes.
inline constexpr int kMaxWidth = 1000;

struct FieldLayout {
  std::wstring_view fill{L" ", 1};  // one character: two wchar_t for a surrogate pair
  wchar_t align = L'>';
  wchar_t sign = L'-';
  bool alternate = false;  // '#'
  int width = 0;
  int precision = -1;  // none given
  wchar_t type = 0;    // none given
};

// Whether a type takes the value rounded toward zero, as an integer; whether it takes the float.
constexpr bool integer_type(wchar_t type) {
  return type == L'd' || type == L'x' || type == L'X' || type == L'o' || type == L'b';
}
constexpr bool float_type(wchar_t type) {
  return type == L'f' || type == L'F' || type == L'e' || type == L'E' || type == L'g' ||
         type == L'G' || type == L'%';
}

// The layout read; nothing when Python refuses it for a float (or, for an integer type, for an
// integer), or when it asks for more than this node applies (grouping, 'z', 'n', a width or
// precision above kMaxWidth). fill views layout.
std::optional<FieldLayout> parse_layout(std::wstring_view layout);

}  // namespace textformat
