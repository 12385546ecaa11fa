// Numbers to and from text, the one convention shared by the stand-in SDK (CValue, CString from
// CValue) and the nodes that format numbers into their own buffers. Host-free and
// locale-independent.
//
//   read_float(L" +1.5e3 ")  == 1500.0f     read_integer(L"-2.9")   == -2
//   read_float(L"1e39")      == +inf        read_integer(L"1e10")   == 2147483647
//   read_float(L"abc")       == 0.0f        read_integer(L"nan")    == 0
//   format_float(1.36f)      -> L"1.36"     format_integer(-7)      -> L"-7"
//   format(1.36f).view()     == L"1.36"     format(-7).view()       == L"-7"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace number_text {

// Enough characters for any text the formatters produce.
inline constexpr std::size_t kMaxDigits = 48;

// Reads the longest decimal number at the start of text, after leading white space: an optional
// sign, digits with an optional point, an optional exponent; or "inf", "infinity", "nan" in any
// case. Trailing characters are ignored. No number reads as 0.

// The number correctly rounded to a 32-bit float; overflow gives an infinity of its sign.
float read_float(std::wstring_view text);

// The number truncated toward zero and saturated to the 32-bit range; NaN gives 0.
std::int32_t read_integer(std::wstring_view text);

// Truncates toward zero and saturates to the 32-bit range; NaN gives 0.
std::int32_t truncate_to_int32(double value);

// The shortest text that reads back to the same 32-bit value ("1.36", "-2", "1e+20", "-0",
// "inf", "-inf", "nan"). Writes at most kMaxDigits characters, returns how many.
std::size_t format_float(float value, wchar_t* out);
std::size_t format_float(float value, char* out);

// Plain decimal, "-" before a negative number.
std::size_t format_integer(std::int64_t value, wchar_t* out);
std::size_t format_integer(std::int64_t value, char* out);

// A number's text held inline, so that making one allocates nothing.
struct Text {
  wchar_t characters[kMaxDigits];
  std::size_t length = 0;

  std::wstring_view view() const { return {characters, length}; }
};

// The texts of format_float and format_integer.
Text format(float value);
Text format(std::int32_t value);

}  // namespace number_text
