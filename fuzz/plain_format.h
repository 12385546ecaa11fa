// textformat's rule written plainly, for the fuzz target: the format read one character at a
// time, a layout matched whole by a regular expression of its grammar, floats written by snprintf,
// the shortest form by std::to_chars, and the integer a float rounds to digit by digit. Nothing
// where the node gives the empty text.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "plain_text.h"

namespace fuzz {

inline std::string plain_printf(const std::string& form, int precision, double magnitude) {
  std::vector<char> text(static_cast<std::size_t>(precision) + 400);
  std::snprintf(text.data(), text.size(), form.c_str(), precision, magnitude);
  return text.data();
}

// whole: an integral value, not negative, below 2^128 as every float is.
inline std::string plain_integer(double whole, char type) {
  const unsigned base = type == 'b' ? 2 : type == 'o' ? 8 : type == 'd' ? 10 : 16;
  auto m = static_cast<__uint128_t>(whole);
  std::string digits;
  do
    digits.insert(digits.begin(),
                  (type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef")[m % base]);
  while ((m /= base) != 0);
  return digits;
}

inline std::string plain_float(float value, char type, int precision, bool alternate) {
  const double magnitude = std::fabs(type == '%' ? value * 100.0 : double{value});
  const std::string hash = alternate ? "%#.*" : "%.*", percent = type == '%' ? "%" : "";
  if (type == 0 && precision < 0) {  // the shortest, with a point for '#'
    char text[64];
    std::string shortest(text, std::to_chars(text, text + 64, std::fabs(value)).ptr);
    if (alternate && std::isfinite(value) && shortest.find('.') == std::string::npos)
      shortest.insert(std::min(shortest.find('e'), shortest.size()), ".");
    return shortest;
  }
  if (!std::isfinite(magnitude)) {
    const bool upper = type == 'F' || type == 'E' || type == 'G';
    return (std::isnan(magnitude) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf")) + percent;
  }
  if (type != 0)
    return plain_printf(hash + (type == '%' ? 'f' : type), precision < 0 ? 6 : precision,
                        magnitude) +
           percent;
  // No type: C's 'g', but in the exponent form already at an exponent of precision - 1, and
  // with ".0" after a fixed form without a point.
  const int count = std::max(precision, 1);
  std::string number = plain_printf(hash + 'e', count - 1, magnitude);
  const std::size_t e = number.find('e');
  if (std::stoi(number.substr(e + 1)) != count - 1) {
    number = plain_printf(hash + 'g', count, magnitude);
    return number.find_first_of(".e") == std::string::npos ? number + ".0" : number;
  }
  std::string mantissa = number.substr(0, e);
  while (!alternate && mantissa.find('.') != std::string::npos &&
         (mantissa.back() == '0' || mantissa.back() == '.'))
    mantissa.pop_back();
  return mantissa + number.substr(e);
}

inline std::optional<std::wstring> plain_field(float value, std::wstring layout) {
  static const std::wregex grammar(
      L"(?:([\\s\\S])([<>^=])|([<>^=]))?([-+ ])?(#)?(0)?([0-9]*)(?:\\.([0-9]+))?([fFeEgG%dxXob])?");
  // A fill past U+FFFF is one character: where texts are UTF-16, its pair stands in the layout
  // read by the grammar as one placeholder.
  std::wstring pair;
  if (text_unicode::kUtf16 && layout.size() >= 2 && fuzz::is_high(fuzz::code_of(layout[0])) &&
      fuzz::is_low(fuzz::code_of(layout[1]))) {
    pair = layout.substr(0, 2);
    layout.replace(0, 2, 1, L'\x1');
  }
  std::wsmatch part;
  if (!std::regex_match(layout, part, grammar)) return std::nullopt;
  auto number = [](const std::wstring& digits) {
    int n = 0;
    for (const wchar_t c : digits) n = std::min(n * 10 + (c - L'0'), 1001);
    return n;
  };
  const int width = number(part[7]), precision = part[8].matched ? number(part[8]) : -1;
  const char type = part[9].matched ? static_cast<char>(part[9].str()[0]) : 0;
  const bool integer = type != 0 && std::string("dxXob").find(type) != std::string::npos;
  if (width > 1000 || precision > 1000 || (integer && (precision >= 0 || !std::isfinite(value))))
    return std::nullopt;
  const bool negative = integer ? std::trunc(value) < 0 : std::signbit(value) && !std::isnan(value);
  std::string sign = negative ? "-" : part[4] == L"+" ? "+" : part[4] == L" " ? " " : "";
  if (integer && part[5].matched && type != 'd') sign += std::string("0") + type;
  const std::string body = integer ? plain_integer(std::trunc(std::fabs(double{value})), type)
                                   : plain_float(value, type, precision, part[5].matched);
  const bool zero = part[6].matched && !part[1].matched;
  const std::wstring fill = part[1].matched ? (pair.empty() ? part[1].str() : pair)
                            : zero          ? L"0"
                                            : L" ";
  const wchar_t align = part[2].matched   ? part[2].str()[0]
                        : part[3].matched ? part[3].str()[0]
                        : zero            ? L'='
                                          : L'>';
  const int padding = width - static_cast<int>(sign.size() + body.size());
  std::wstring left, middle, right;
  for (int n = 0; n < padding; ++n)
    (align == L'<' || (align == L'^' && n >= padding / 2) ? right
     : align == L'='                                      ? middle
                                                          : left) += fill;
  return left + std::wstring(sign.begin(), sign.end()) + middle +
         std::wstring(body.begin(), body.end()) + right;
}

inline std::optional<std::wstring> plain_format(const std::wstring& format,
                                                const std::vector<float>& values) {
  std::wstring out;
  int numbering = 0;  // 1 automatic, 2 manual
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const wchar_t c = format[i];
    if ((c == L'{' || c == L'}') && i + 1 < format.size() && format[i + 1] == c) {
      out += format[i++];
    } else if (c == L'}') {
      return std::nullopt;
    } else if (c != L'{') {
      out += c;
    } else {
      const std::size_t end = format.find(L'}', i);
      const std::wstring field = format.substr(i + 1, end - i - 1);
      const std::wstring name = field.substr(0, field.find(L':'));
      if (end == std::wstring::npos || field.find(L'{') != std::wstring::npos ||
          name.find_first_not_of(L"0123456789") != std::wstring::npos ||
          numbering == (name.empty() ? 2 : 1))
        return std::nullopt;
      numbering = name.empty() ? 1 : 2;
      const std::size_t index =
          name.empty()
              ? next++
              : std::min<std::size_t>(std::wcstoul(name.c_str(), nullptr, 10), values.size());
      const std::optional<std::wstring> text =
          index < values.size()
              ? plain_field(values[index], field.substr(std::min(name.size() + 1, field.size())))
              : std::nullopt;
      if (!text) return std::nullopt;
      out += *text;
      i = end;
    }
  }
  // Halves of a pair that the fields bring together make their pair's character.
  return fuzz::text_of(fuzz::characters(out));
}

}  // namespace fuzz
