// textformat's rule written plainly, for the fuzz target: the format read one character at a
// time, a spec matched whole by a regular expression of Python's format-spec grammar, floats
// written by the C library's snprintf, the integers a float rounds to written digit by digit
// from the float's bits, the shortest form by std::to_chars. Nothing where the node gives the
// empty text.
#pragma once

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace fuzz {

struct PlainSpec {
  std::wstring fill;  // empty: none given
  wchar_t align = 0;
  wchar_t sign = 0;
  bool alternate = false;
  bool zero = false;
  int width = 0;
  int precision = -1;
  char type = 0;
};

// A width or precision of more than 1000 is not applied.
inline bool plain_number(const std::wstring& digits, int& number) {
  number = 0;
  for (const wchar_t c : digits)
    if ((number = number * 10 + (c - L'0')) > 1000) return false;
  return true;
}

inline std::optional<PlainSpec> plain_spec(const std::wstring& text) {
  static const std::wregex grammar(
      L"(?:([\\s\\S])([<>^=])|([<>^=]))?([-+ ])?(#)?(0)?([0-9]*)(?:\\.([0-9]+))?([fFeEgG%dxXob])?");
  std::wsmatch part;
  if (!std::regex_match(text, part, grammar)) return std::nullopt;
  PlainSpec spec;
  spec.fill = part[1].str();
  spec.align = part[2].matched ? part[2].str()[0] : part[3].matched ? part[3].str()[0] : 0;
  spec.sign = part[4].matched ? part[4].str()[0] : 0;
  spec.alternate = part[5].matched;
  spec.zero = part[6].matched && spec.fill.empty();
  spec.type = part[9].matched ? static_cast<char>(part[9].str()[0]) : 0;
  if (!plain_number(part[7].str(), spec.width)) return std::nullopt;
  if (part[8].matched && !plain_number(part[8].str(), spec.precision)) return std::nullopt;
  if (spec.precision >= 0 && std::string("dxXob").find(spec.type) != std::string::npos)
    return std::nullopt;
  return spec;
}

// The digits of the integer a finite float rounds to toward zero, in base 2, 8, 16 or 10.
inline std::string plain_integer(float value, char type) {
  if (type == 'd') {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", std::trunc(std::fabs(double{value})));
    return text;
  }
  const std::uint32_t bits = std::bit_cast<std::uint32_t>(std::fabs(value));
  const int exponent = static_cast<int>(bits >> 23) - 127;
  if (exponent < 0) return "0";
  std::string binary;
  for (int bit = 23; bit >= 0; --bit) binary += ((bits | 0x800000u) >> bit & 1u) ? '1' : '0';
  if (exponent >= 23)
    binary.append(static_cast<std::size_t>(exponent - 23), '0');
  else
    binary.resize(binary.size() - static_cast<std::size_t>(23 - exponent));
  const int group = type == 'b' ? 1 : type == 'o' ? 3 : 4;
  const char* symbols = type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
  std::string digits;
  while (!binary.empty()) {
    const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(group), binary.size());
    digits.insert(digits.begin(),
                  symbols[std::stoi(binary.substr(binary.size() - take), nullptr, 2)]);
    binary.resize(binary.size() - take);
  }
  const std::size_t first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

inline std::string plain_printf(const char* form, double magnitude, int precision) {
  std::vector<char> text(static_cast<std::size_t>(precision) + 400);
  std::snprintf(text.data(), text.size(), form, precision, magnitude);
  return text.data();
}

// Python's float with a precision and no type: C's 'g', but already in the exponent form at an
// exponent of precision - 1, and with ".0" after a fixed form that has no point.
inline std::string plain_general(double magnitude, int precision, bool alternate) {
  const int count = precision < 1 ? 1 : precision;
  const std::string e_form = plain_printf("%.*e", magnitude, count - 1);
  if (std::stoi(e_form.substr(e_form.find('e') + 1)) == count - 1) {
    std::string number = plain_printf(alternate ? "%#.*e" : "%.*e", magnitude, count - 1);
    std::size_t e = number.find('e');
    while (!alternate && e > 1 && (number[e - 1] == '0' || number[e - 1] == '.'))
      number.erase(--e, 1);
    return number;
  }
  std::string number = plain_printf(alternate ? "%#.*g" : "%.*g", magnitude, count);
  if (number.find_first_of(".e") == std::string::npos) number += ".0";
  return number;
}

inline std::string plain_float(float value, const PlainSpec& spec) {
  const bool upper = spec.type == 'F' || spec.type == 'E' || spec.type == 'G';
  const double magnitude = std::fabs(spec.type == '%' ? value * 100.0 : double{value});
  const std::string percent = spec.type == '%' ? "%" : "";
  if (spec.type == 0 && spec.precision < 0) {
    char text[64];
    std::string shortest(text, std::to_chars(text, text + 64, std::fabs(value)).ptr);
    const std::size_t e = shortest.find('e');
    if (spec.alternate && std::isfinite(value) &&
        shortest.substr(0, e).find('.') == std::string::npos)
      shortest.insert(e == std::string::npos ? shortest.size() : e, ".");
    return shortest;
  }
  if (std::isnan(magnitude)) return (upper ? "NAN" : "nan") + percent;
  if (std::isinf(magnitude)) return (upper ? "INF" : "inf") + percent;
  if (spec.type == 0) return plain_general(magnitude, spec.precision, spec.alternate);
  const int precision = spec.precision < 0 ? 6 : spec.precision;
  const char form = spec.type == '%' ? 'f' : spec.type;
  const std::string printf_form = std::string(spec.alternate ? "%#.*" : "%.*") + form;
  return plain_printf(printf_form.c_str(), magnitude, precision) + percent;
}

inline std::wstring plain_field(float value, const PlainSpec& spec) {
  const bool integer = spec.type != 0 && std::string("dxXob").find(spec.type) != std::string::npos;
  const bool negative = integer ? std::trunc(value) < 0 : std::signbit(value) && !std::isnan(value);
  std::string sign = negative ? "-" : spec.sign == L'+' ? "+" : spec.sign == L' ' ? " " : "";
  if (integer && spec.alternate && spec.type != 'd')
    sign += spec.type == 'b' ? "0b" : spec.type == 'o' ? "0o" : spec.type == 'x' ? "0x" : "0X";
  const std::string body = integer ? plain_integer(value, spec.type) : plain_float(value, spec);
  const std::wstring fill = !spec.fill.empty() ? spec.fill : spec.zero ? L"0" : L" ";
  const wchar_t align = spec.align ? spec.align : spec.zero ? L'=' : L'>';
  const int short_by = spec.width - static_cast<int>(sign.size() + body.size());
  std::wstring left, middle, right;
  for (int n = 0; n < short_by; ++n) {
    if (align == L'<' || (align == L'^' && n >= short_by / 2))
      right += fill;
    else
      (align == L'=' ? middle : left) += fill;
  }
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
    const bool doubled = i + 1 < format.size() && format[i + 1] == c;
    if ((c == L'{' || c == L'}') && doubled) {
      out += c;
      ++i;
      continue;
    }
    if (c == L'}') return std::nullopt;
    if (c != L'{') {
      out += c;
      continue;
    }
    std::wstring name, spec;
    bool in_spec = false;
    for (++i; i < format.size() && format[i] != L'}'; ++i) {
      if (format[i] == L'{') return std::nullopt;
      if (format[i] == L':' && !in_spec)
        in_spec = true;
      else
        (in_spec ? spec : name) += format[i];
    }
    if (i == format.size()) return std::nullopt;
    std::size_t index = next;
    if (name.empty()) {
      if (numbering == 2) return std::nullopt;
      numbering = 1;
      ++next;
    } else {
      if (numbering == 1 || name.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
      numbering = 2;
      const std::size_t first = name.find_first_not_of(L'0');
      if (first != std::wstring::npos && name.size() - first > 9) return std::nullopt;
      index = first == std::wstring::npos ? 0 : std::stoul(name.substr(first));
    }
    const std::optional<PlainSpec> parsed = plain_spec(spec);
    if (index >= values.size() || !parsed) return std::nullopt;
    if (std::string("dxXob").find(parsed->type) != std::string::npos &&
        !std::isfinite(values[index]))
      return std::nullopt;
    out += plain_field(values[index], *parsed);
  }
  return out;
}

}  // namespace fuzz
