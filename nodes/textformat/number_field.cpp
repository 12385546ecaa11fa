#include "number_field.h"

#include <fmt/compile.h>
#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "number_text/number_text.h"

namespace textformat {
namespace {

using namespace std::literals;

// A number's characters without its sign, as {fmt} writes them.
using Digits = fmt::basic_memory_buffer<wchar_t, 64>;

// The integer a float rounds to toward zero, without its sign: Python's integers have any
// size, and every float's fits in 128 bits.
using Magnitude = __uint128_t;

// whole: a finite integral value, not negative.
Magnitude magnitude_of(double whole) {
  if (whole < 0x1p64) return static_cast<std::uint64_t>(whole);
  int exponent = 0;
  const double fraction = std::frexp(whole, &exponent);  // whole = fraction * 2^exponent
  return Magnitude{static_cast<std::uint64_t>(std::ldexp(fraction, 53))} << (exponent - 53);
}

void write_integer(Magnitude magnitude, wchar_t type, Digits& digits) {
  auto out = std::back_inserter(digits);
  switch (type) {
    case L'x':
      fmt::format_to(out, FMT_COMPILE(L"{:x}"), magnitude);
      break;
    case L'X':
      fmt::format_to(out, FMT_COMPILE(L"{:X}"), magnitude);
      break;
    case L'o':
      fmt::format_to(out, FMT_COMPILE(L"{:o}"), magnitude);
      break;
    case L'b':
      fmt::format_to(out, FMT_COMPILE(L"{:b}"), magnitude);
      break;
    default:
      fmt::format_to(out, FMT_COMPILE(L"{:d}"), magnitude);
  }
}

// {fmt} writes the exponent form exactly at any precision, but gives a fixed form at most 767
// significant digits, and its alternate general form ends "2.0" where C and Python end "2.".
// So the fixed form is asked at a precision every float's fraction ends within (its exact
// value, even times 100, has at most 172 digits after the point), the zeros past it added here;
// the general forms are made from the exponent form's digits.
constexpr int kExactFraction = 400;

// A finite magnitude in the fixed ('f') or exponent ('e') form; alternate keeps the point.
void write_float(double magnitude, wchar_t form, int precision, bool alternate, Digits& digits) {
  auto out = std::back_inserter(digits);
  if (form == L'e') {
    alternate ? fmt::format_to(out, FMT_COMPILE(L"{:#.{}e}"), magnitude, precision)
              : fmt::format_to(out, FMT_COMPILE(L"{:.{}e}"), magnitude, precision);
    return;
  }
  const int exact = std::min(precision, kExactFraction);
  alternate ? fmt::format_to(out, FMT_COMPILE(L"{:#.{}f}"), magnitude, exact)
            : fmt::format_to(out, FMT_COMPILE(L"{:.{}f}"), magnitude, exact);
  digits.resize(digits.size() + static_cast<std::size_t>(precision - exact));
  std::fill(digits.end() - (precision - exact), digits.end(), L'0');
}

// The general form of a finite magnitude with precision significant digits, as C's 'g' and
// Python's float without a type write it: the exponent form for an exponent below -4 or from
// the count of significant digits on (one sooner without a type), else the fixed form; without
// alternate, no zeros end the fraction and no point ends the number, but a fixed form without a
// type keeps a digit after its point ("1.0", and "1.23e+02" for 123 at precision 3).
void write_general(double magnitude, int precision, bool alternate, bool without_type,
                   Digits& digits) {
  const int significant = std::max(precision, 1);
  Digits form;
  write_float(magnitude, L'e', significant - 1, alternate, form);
  const std::wstring_view e_form(form.data(), form.size());
  const std::size_t e = e_form.find(L'e');
  int exponent = 0;
  for (std::size_t i = e + 2; i < e_form.size(); ++i) exponent = exponent * 10 + (e_form[i] - L'0');
  if (e_form[e + 1] == L'-') exponent = -exponent;
  Digits all;  // the significant digits without the point: "1.2345e+02" -> "12345"
  for (const wchar_t c : e_form.substr(0, e))
    if (c != L'.') all.push_back(c);
  const std::wstring_view significand(all.data(), all.size());

  const bool exponent_form = exponent < -4 || exponent >= significant - (without_type ? 1 : 0);
  // The point after the first digit, or moved: "12345" at 2 -> "123.45", at -3 -> "0.0012345".
  const std::size_t point = exponent_form ? 1 : exponent >= 0 ? exponent + 1 : 0;
  const std::size_t zeros = exponent_form || exponent >= 0 ? 0 : -exponent - 1;
  const std::wstring_view whole = point > 0 ? significand.substr(0, point) : L"0"sv;
  std::wstring_view fraction = significand.substr(point);
  if (!alternate) fraction = fraction.substr(0, fraction.find_last_not_of(L'0') + 1);
  if (!alternate && !exponent_form && without_type && fraction.empty()) fraction = L"0"sv;
  digits.append(whole);
  if (alternate || zeros + fraction.size() > 0) digits.push_back(L'.');
  digits.resize(digits.size() + zeros);
  std::fill(digits.end() - zeros, digits.end(), L'0');
  digits.append(fraction);
  if (exponent_form) digits.append(e_form.substr(e));
}

// The shortest text that reads back to the value, vireth's; alternate puts a point in it.
void write_shortest(float magnitude, bool alternate, Digits& digits) {
  wchar_t text[number_text::kMaxDigits];
  const std::wstring_view shortest(text, number_text::format_float(magnitude, text));
  const std::size_t e = std::min(shortest.find(L'e'), shortest.size());
  digits.append(shortest.substr(0, e));
  if (alternate && std::isfinite(magnitude) &&
      shortest.substr(0, e).find(L'.') == std::wstring_view::npos)
    digits.push_back(L'.');
  digits.append(shortest.substr(e));
}

// The digits of a float type: those of the value's magnitude (times 100 for '%').
void write_float_type(float value, const FieldLayout& layout, Digits& digits) {
  const bool upper = layout.type == L'F' || layout.type == L'E' || layout.type == L'G';
  const double magnitude = std::fabs(layout.type == L'%' ? double{value} * 100.0 : double{value});
  const int precision = layout.precision < 0 ? 6 : layout.precision;
  if (layout.type == 0 && layout.precision < 0) {
    write_shortest(std::fabs(value), layout.alternate, digits);
  } else if (std::isinf(magnitude) || std::isnan(magnitude)) {
    digits.append(std::isnan(magnitude) ? (upper ? L"NAN"sv : L"nan"sv)
                                        : (upper ? L"INF"sv : L"inf"sv));
  } else if (layout.type == 0 || layout.type == L'g' || layout.type == L'G') {
    write_general(magnitude, precision, layout.alternate, layout.type == 0, digits);
  } else {
    const bool exponent = layout.type == L'e' || layout.type == L'E';
    write_float(magnitude, exponent ? L'e' : L'f', precision, layout.alternate, digits);
  }
  if (upper) std::replace(digits.begin(), digits.end(), L'e', L'E');
  if (layout.type == L'%') digits.push_back(L'%');
}

}  // namespace

bool append_number(float value, const FieldLayout& layout, FormattedText& out) {
  Digits digits;
  bool negative = false;
  std::wstring_view prefix;
  if (integer_type(layout.type)) {
    if (!std::isfinite(value)) return false;
    const double whole = std::trunc(double{value});
    negative = whole < 0;
    write_integer(magnitude_of(std::fabs(whole)), layout.type, digits);
    if (layout.alternate && layout.type != L'd')
      prefix = layout.type == L'b'   ? L"0b"sv
               : layout.type == L'o' ? L"0o"sv
               : layout.type == L'x' ? L"0x"sv
                                     : L"0X"sv;
  } else {
    negative = std::signbit(value) && !std::isnan(value);
    write_float_type(value, layout, digits);
  }
  const std::wstring_view sign = negative              ? L"-"sv
                                 : layout.sign == L'+' ? L"+"sv
                                 : layout.sign == L' ' ? L" "sv
                                                       : L""sv;
  const std::wstring_view body(digits.data(), digits.size());
  const std::size_t length = sign.size() + prefix.size() + body.size();
  const auto width = static_cast<std::size_t>(layout.width);
  if (width <= length) {
    out.append(sign);
    out.append(prefix);
    out.append(body);
    return true;
  }
  const std::size_t padding = width - length;
  const std::size_t before = layout.align == L'>'   ? padding
                             : layout.align == L'^' ? padding / 2
                                                    : 0;
  out.append(layout.fill, before);
  out.append(sign);
  out.append(prefix);
  if (layout.align == L'=') out.append(layout.fill, padding);
  out.append(body);
  if (layout.align == L'<' || layout.align == L'^') out.append(layout.fill, padding - before);
  return true;
}

}  // namespace textformat
