// Unicode's simple case mappings, one character to one, and its White_Space set, from the
// Unicode Character Database (its version stands at the head of src/unicode_tables.cpp, which
// generate_tables.py makes from it). Host-free, and the same under every locale and on every
// platform: the functions on texts take a character as characters.h reads it, a surrogate pair
// one character where wchar_t holds 16 bits. A code that is no character (a surrogate, a value
// past U+10FFFF, a negative wchar_t) maps to itself and is not white space. ASCII takes a fast
// path.
//
//   to_lower(U'A') == U'a'     to_upper(U'\u00e9') == U'\u00c9'    to_lower(U'\u0130') == U'i'
//   to_upper(U'\u00df') == U'\u00df'  (its upper case is two characters: no simple mapping)
//   to_lower(U'\U00010400') == U'\U00010428'
//   is_white_space(L'\u00a0') == true   is_white_space(L'\u200b') == false
//   equal_ignoring_case(L"Stra\u00dfe", L"STRA\u00dfE") == true
//   CaseMapped(L"Text", Case::upper).view() == L"TEXT"
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text_unicode/characters.h"
#include "text_unicode/small_text.h"

namespace text_unicode {

namespace detail {

// The generated tables' layout (generate_tables.py): characters in blocks of 2^kBlockShift;
// blocks[c >> kBlockShift] picks one of the distinct blocks of entries, and the entry of c in
// it the difference between c and its mapping in deltas.
inline constexpr unsigned kBlockShift = 6;

struct CaseTable {
  std::uint32_t limit;  // characters at and past it map to themselves
  const std::uint8_t* blocks;
  const std::uint8_t* entries;
  const std::int32_t* deltas;

  char32_t map(char32_t code) const {
    if (code >= limit) return code;
    const std::uint8_t entry = entries[(std::size_t{blocks[code >> kBlockShift]} << kBlockShift) |
                                       (code & ((1u << kBlockShift) - 1))];
    return code + static_cast<char32_t>(deltas[entry]);
  }
};

struct CodeRange {
  std::uint32_t first, last;
};

extern const CaseTable kLower;
extern const CaseTable kUpper;
extern const CodeRange kWhiteSpace[];  // beyond ASCII, ascending
extern const std::size_t kWhiteSpaceRanges;

}  // namespace detail

// The simple lower-case mapping of a code point, or the code itself when it has none.
inline char32_t to_lower(char32_t code) {
  if (code < 0x80) return code - U'A' < 26 ? code + 32 : code;
  return detail::kLower.map(code);
}

// The simple upper-case mapping of a code point, or the code itself when it has none.
inline char32_t to_upper(char32_t code) {
  if (code < 0x80) return code - U'a' < 26 ? code - 32 : code;
  return detail::kUpper.map(code);
}

// The same of one wide character, which holds its whole code point: where wchar_t holds 16 bits
// a surrogate, half of a character past U+FFFF, maps to itself.
inline wchar_t to_lower(wchar_t c) { return static_cast<wchar_t>(to_lower(unit_value(c))); }
inline wchar_t to_upper(wchar_t c) { return static_cast<wchar_t>(to_upper(unit_value(c))); }

// Whether a code point has Unicode's White_Space property: tab to carriage return, the space,
// U+0085, the no-break spaces, the line and paragraph separators and the other spaces of
// category Zs. Every one lies below U+FFFF, so a wide character is white space or not whatever
// the width of wchar_t.
inline bool is_white_space(char32_t code) {
  if (code < 0x80) return code == ' ' || code - '\t' < 5;
  for (std::size_t i = 0; i < detail::kWhiteSpaceRanges && code >= detail::kWhiteSpace[i].first;
       ++i)
    if (code <= detail::kWhiteSpace[i].last) return true;
  return false;
}
inline bool is_white_space(wchar_t c) { return is_white_space(unit_value(c)); }

// Whether a and b have the same characters but for case: the same simple lower-case mapping,
// character by character. A simple mapping keeps a character's width, so such texts have one
// length.
bool equal_ignoring_case(std::wstring_view a, std::wstring_view b);

enum class Case { lower, upper };

// A text with every character mapped to its simple lower or upper case, of the text's length (a
// character past U+FFFF maps to another past it, or to itself); the text itself, viewed, when no
// character changes.
class CaseMapped : public SmallText<64> {
 public:
  CaseMapped(std::wstring_view text, Case to);
};

}  // namespace text_unicode
