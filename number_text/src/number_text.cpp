#include "number_text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace number_text {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

bool is_space(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Whether a character may belong to a number: digits, signs, the point, letters (exponents,
// "inf", "nan"), and the parentheses and underscore of a NaN's payload. All of them ASCII.
bool may_belong_to_a_number(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
         c == L'+' || c == L'-' || c == L'.' || c == L'(' || c == L')' || c == L'_';
}

// Calls read(prefix, white) with the number's characters after leading white space, narrowed, up
// to the first character that cannot belong to a number, so the copy stays short whatever
// follows, and the count of white space characters before them.
// The characters are tested and copied in one pass onto the stack; a prefix too long for that
// is copied again, whole, to the heap.
template <class Read>
auto with_number_prefix(std::wstring_view text, Read&& read) {
  std::size_t begin = 0;
  while (begin < text.size() && is_space(text[begin])) ++begin;
  const std::wstring_view rest = text.substr(begin);
  constexpr std::size_t kOnStack = 64;
  char buffer[kOnStack];
  const std::size_t on_stack = std::min(rest.size(), kOnStack);
  std::size_t length = 0;
  while (length < on_stack && may_belong_to_a_number(rest[length])) {
    buffer[length] = static_cast<char>(rest[length]);
    ++length;
  }
  if (length < kOnStack) return read(std::string_view(buffer, length), begin);
  while (length < rest.size() && may_belong_to_a_number(rest[length])) ++length;
  std::string long_prefix(length, '\0');
  for (std::size_t i = 0; i < length; ++i) long_prefix[i] = static_cast<char>(rest[i]);
  return read(std::string_view(long_prefix), begin);
}

// Leading '+' is accepted; from_chars takes only '-'.
std::string_view strip_plus(std::string_view s) {
  if (!s.empty() && s[0] == '+' && (s.size() == 1 || s[1] != '-')) s.remove_prefix(1);
  return s;
}

// A decimal number split into its significant digits and the power of ten of the first one:
// value = 0.d1d2d3... * 10^point. Empty digits for zero.
struct Decimal {
  bool negative = false;
  bool valid = false;
  std::string digits;
  long long point = 0;
};

Decimal parse_decimal(std::string_view s) {
  Decimal d;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) d.negative = s[i++] == '-';
  long long integer_digits = 0;
  bool any = false;
  for (; i < s.size() && is_digit(s[i]); ++i, any = true) {
    if (d.digits.empty() && s[i] == '0') continue;
    d.digits.push_back(s[i]);
    ++integer_digits;
  }
  long long leading_fraction_zeros = 0;
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && is_digit(s[i]); ++i, any = true) {
      if (d.digits.empty() && s[i] == '0') {
        ++leading_fraction_zeros;
        continue;
      }
      d.digits.push_back(s[i]);
    }
  }
  if (!any) return d;
  d.valid = true;
  long long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool exponent_negative = false;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) exponent_negative = s[j++] == '-';
    if (j < s.size() && is_digit(s[j])) {
      for (; j < s.size() && is_digit(s[j]); ++j)
        exponent = std::min<long long>(exponent * 10 + (s[j] - '0'), 1'000'000'000);
      if (exponent_negative) exponent = -exponent;
    }
  }
  d.point = (integer_digits > 0 ? integer_digits : -leading_fraction_zeros) + exponent;
  return d;
}

std::size_t widen(const char* text, std::size_t length, wchar_t* out) {
  std::copy(text, text + length, out);
  return length;
}

// The number at the start of prefix and the characters of prefix it took. from_chars reads
// exactly the forms strtof reads, but for hexadecimal and a leading '+', and gives where the
// number ended even when it is out of range.
Leading read_float_prefix(std::string_view prefix) {
  const std::string_view s = strip_plus(prefix);
  float value = 0.0f;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (error != std::errc() && error != std::errc::result_out_of_range) return {};
  const std::size_t length = prefix.size() - s.size() + static_cast<std::size_t>(end - s.data());
  if (error == std::errc::result_out_of_range) {
    const Decimal d = parse_decimal(s);
    const float magnitude = d.point > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    return {d.negative ? -magnitude : magnitude, length};
  }
  return {value, length};
}

std::int32_t read_integer_prefix(std::string_view prefix) {
  // Plain decimal digits, the number ending there: read at once.
  const std::string_view digits = strip_plus(prefix);
  long long plain = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), plain);
  if (!digits.empty() && digits.front() != '+' && error == std::errc() &&
      end == digits.data() + digits.size())
    return static_cast<std::int32_t>(std::clamp<long long>(plain, kMin, kMax));
  // One sign at the most, as for a float: "++5" holds no number.
  const Decimal d = parse_decimal(prefix);
  if (!d.valid) {  // "inf", "nan" or no number at all
    const float special = read_float_prefix(prefix).value;
    return std::isinf(special) ? (special > 0 ? kMax : kMin) : 0;
  }
  if (d.digits.empty() || d.point <= 0) return 0;
  if (d.point > 10) return d.negative ? kMin : kMax;
  long long magnitude = 0;
  for (long long i = 0; i < d.point; ++i)
    magnitude =
        magnitude * 10 + (i < static_cast<long long>(d.digits.size()) ? d.digits[i] - '0' : 0);
  const long long value = d.negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(std::clamp<long long>(value, kMin, kMax));
}

}  // namespace

Leading read_leading_float(std::wstring_view text) {
  return with_number_prefix(text, [](std::string_view prefix, std::size_t white) {
    Leading read = read_float_prefix(prefix);
    if (read.length > 0) read.length += white;
    return read;
  });
}

float read_float(std::wstring_view text) { return read_leading_float(text).value; }

std::int32_t read_integer(std::wstring_view text) {
  return with_number_prefix(
      text, [](std::string_view prefix, std::size_t) { return read_integer_prefix(prefix); });
}

std::int32_t truncate_to_int32(double value) {
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(kMin)) return kMin;
  if (value >= static_cast<double>(kMax)) return kMax;
  return static_cast<std::int32_t>(value);
}

std::size_t format_float(float value, char* out) {
  if (std::isnan(value)) return std::copy_n("nan", 3, out) - out;
  const auto result = std::to_chars(out, out + kMaxDigits, value);
  return static_cast<std::size_t>(result.ptr - out);
}

std::size_t format_float(float value, wchar_t* out) {
  char narrow[kMaxDigits];
  return widen(narrow, format_float(value, narrow), out);
}

std::size_t format_integer(std::int64_t value, char* out) {
  const auto result = std::to_chars(out, out + kMaxDigits, value);
  return static_cast<std::size_t>(result.ptr - out);
}

std::size_t format_integer(std::int64_t value, wchar_t* out) {
  char narrow[kMaxDigits];
  return widen(narrow, format_integer(value, narrow), out);
}

Text format(float value) {
  Text text;
  text.length = format_float(value, text.characters);
  return text;
}

Text format(std::int32_t value) {
  Text text;
  text.length = format_integer(value, text.characters);
  return text;
}

}  // namespace number_text
