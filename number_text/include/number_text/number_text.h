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

// A number read from the start of a text, and how many characters of the text it took, the
// white space before it included; the value 0 and no character when no number begins the text.
struct Leading {
  float value = 0.0f;
  std::size_t length = 0;
};

// read_float's number and the characters it took, which are those C's strtof takes in the "C"
// locale, but that hexadecimal is not read: white space as isspace there (space, \t \n \v \f
// \r), one sign, then digits with one optional point (at least one digit), then an exponent
// only when it has digits ("1e" takes 1, "1e+x" 1, "1e5" 3); or "inf", "infinity" (whole, else
// "inf"), "nan", "nan(" letters, digits, "_" ")" (whole when closed, else "nan"), in any case.
// A lone sign or point takes nothing; "0x1A" takes "0".
//   read_leading_float(L" 12.5 m") == {12.5f, 5}    read_leading_float(L"infinit") == {inf, 3}
//   read_leading_float(L"-")       == {0.0f, 0}     read_leading_float(L"nan(x)")  == {nan, 6}
Leading read_leading_float(std::wstring_view text);

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
