#include "boost_regex.h"

namespace text_regex::detail {
namespace {

bool between(Char c, Char first, Char last) { return c >= first && c <= last; }

// ECMAScript's white space and line terminators: Unicode's White_Space set but U+0085 (NEL),
// and U+FEFF (the zero-width no-break space).
bool is_space(Char c) {
  const auto code = static_cast<std::uint32_t>(c);
  return (text_unicode::is_white_space(c) && code != 0x85) || code == 0xFEFF;
}

bool in_class(Char c, Traits::Class one) {
  switch (one) {
    case Traits::kDigit:
      return between(c, L'0', L'9');
    case Traits::kLower:
      return between(c, L'a', L'z');
    case Traits::kUpper:
      return between(c, L'A', L'Z');
    case Traits::kUnderscore:
      return c == L'_';
    case Traits::kSpace:
      return is_space(c);
    case Traits::kPunct:
      return between(c, L'!', L'/') || between(c, L':', L'@') || between(c, L'[', L'`') ||
             between(c, L'{', L'~');
    case Traits::kCntrl:
      return between(c, 0, 0x1F) || c == 0x7F;
    case Traits::kBlank:
      return c == L' ' || c == L'\t';
    case Traits::kHexLetter:
      return between(c, L'a', L'f') || between(c, L'A', L'F');
    case Traits::kSpaceCharacter:
      return c == L' ';
  }
  return false;
}

}  // namespace

Traits::char_class_type Traits::lookup_classname(const char_type* p1, const char_type* p2) const {
  constexpr char_class_type kAlpha = kLower | kUpper;
  constexpr char_class_type kGraph = kAlpha | kDigit | kUnderscore | kPunct;
  static constexpr struct {
    const char* name;  // ASCII
    char_class_type mask;
  } kNames[] = {
      {"d", kDigit},
      {"w", kAlpha | kDigit | kUnderscore},
      {"s", kSpace},
      {"digit", kDigit},
      {"word", kAlpha | kDigit | kUnderscore},
      {"space", kSpace},
      {"lower", kLower},
      {"upper", kUpper},
      {"alpha", kAlpha},
      {"alnum", kAlpha | kDigit},
      {"xdigit", kDigit | kHexLetter},
      {"punct", kUnderscore | kPunct},
      {"cntrl", kCntrl},
      {"blank", kBlank},
      {"graph", kGraph},
      {"print", kGraph | kSpaceCharacter},
  };
  // Names are found whatever their case: \W asks for "W", the complement of \w.
  for (const auto& known : kNames) {
    const Char* p = p1;
    const char* k = known.name;
    while (p != p2 && *k != '\0' && tolower(*p) == static_cast<Char>(*k)) ++p, ++k;
    if (p == p2 && *k == '\0') return known.mask;
  }
  return 0;
}

bool Traits::isctype(char_type c, char_class_type mask) const {
  for (char_class_type bit = 1; bit != 0 && bit <= mask; bit <<= 1)
    if ((mask & bit) != 0 && in_class(c, static_cast<Class>(bit))) return true;
  return false;
}

int Traits::value(char_type c, int radix) const {
  int digit = -1;
  if (between(c, L'0', L'9'))
    digit = c - L'0';
  else if (between(c, L'a', L'f'))
    digit = c - L'a' + 10;
  else if (between(c, L'A', L'F'))
    digit = c - L'A' + 10;
  return digit < radix ? digit : -1;
}

std::intmax_t Traits::toi(const char_type*& p1, const char_type* p2, int radix) const {
  if (p1 == p2 || value(*p1, radix) < 0) return -1;
  std::intmax_t number = 0;
  for (int digit; p1 != p2 && (digit = value(*p1, radix)) >= 0; ++p1) {
    if (number > (std::numeric_limits<std::intmax_t>::max() - digit) / radix) return -1;
    number = number * radix + digit;
  }
  return number;
}

}  // namespace text_regex::detail
