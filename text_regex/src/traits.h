// The character traits the engine matches with: what a class such as \d or [[:alpha:]] holds,
// how a letter folds for case-insensitive matching, how a digit of a count or an escape reads.
// Every answer is fixed here, from the character's code alone: nothing asks the process's
// locale (the host's to set, never ours to rely on), nothing is kept between calls, so a
// pattern matches the same on every platform, in every locale and from any thread.
//
// The classes are ECMAScript's: \d the ASCII digits, \w the ASCII letters, digits and '_', \s
// ECMAScript's white space and line terminators. The POSIX bracket classes ([[:alpha:]] ...)
// are their ASCII sets. Case, under (?i), is Unicode's simple lower-case mapping (text_unicode/).
//
// The engine reads code points: where texts are UTF-16 it matches char32_t, each text read into
// its code points first (text_regex.cpp), so that a surrogate pair is one character; elsewhere
// wchar_t, each one a code point already.
//
// Included only after boost/regex.hpp, by the room's own boost_regex.h.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

// A character as the engine reads it: a whole code point.
using Char = std::conditional_t<text_unicode::kUtf16, char32_t, wchar_t>;
using String = std::basic_string<Char>;

class Traits {
 public:
  using char_type = Char;
  using size_type = std::size_t;
  using string_type = String;
  using char_class_type = std::uint32_t;
  // Spelled out here, so Boost's wrapper adds none of its locale-bound defaults.
  struct boost_extensions_tag {};
  // No locale: every answer is fixed.
  struct locale_type {};

  // The classes a character may belong to; a mask is true of a character in any of its classes.
  enum Class : char_class_type {
    kDigit = 1u << 0,
    kLower = 1u << 1,
    kUpper = 1u << 2,
    kUnderscore = 1u << 3,
    kSpace = 1u << 4,
    kPunct = 1u << 5,
    kCntrl = 1u << 6,
    kBlank = 1u << 7,
    kHexLetter = 1u << 8,
    kSpaceCharacter = 1u << 9,  // U+0020 alone, which [[:print:]] holds beside [[:graph:]]
  };

  static size_type length(const char_type* p) { return std::char_traits<Char>::length(p); }

  boost::regex_constants::syntax_type syntax_type(char_type c) const {
    return ascii(c) ? boost::BOOST_REGEX_DETAIL_NS::get_default_syntax_type(static_cast<char>(c))
                    : boost::regex_constants::syntax_char;
  }
  boost::regex_constants::escape_syntax_type escape_syntax_type(char_type c) const {
    return ascii(c)
               ? boost::BOOST_REGEX_DETAIL_NS::get_default_escape_syntax_type(static_cast<char>(c))
               : boost::regex_constants::escape_type_identity;
  }

  char_type translate(char_type c) const { return c; }
  char_type translate_nocase(char_type c) const { return tolower(c); }
  char_type translate(char_type c, bool icase) const { return icase ? tolower(c) : c; }
  char_type tolower(char_type c) const { return text_unicode::to_lower(c); }
  char_type toupper(char_type c) const { return text_unicode::to_upper(c); }

  // Ranges and equivalence classes compare code points: the text itself is its sort key.
  string_type transform(const char_type* p1, const char_type* p2) const { return {p1, p2}; }
  string_type transform_primary(const char_type* p1, const char_type* p2) const { return {p1, p2}; }
  // [[.x.]] names one character, itself; no other name is known.
  string_type lookup_collatename(const char_type* p1, const char_type* p2) const {
    return p2 - p1 == 1 ? string_type(p1, p2) : string_type();
  }

  // \d \w \s, and the POSIX names; 0 for any other, which Boost then reads as a plain letter
  // after a backslash (\h is h, as in ECMAScript) and refuses in brackets.
  char_class_type lookup_classname(const char_type* p1, const char_type* p2) const;
  bool isctype(char_type c, char_class_type mask) const;

  // The value of a digit in the radix (8, 10 or 16), or -1; and the number the digits at p1 make,
  // p1 left past them, or -1 when there is none or it would overflow.
  int value(char_type c, int radix) const;
  std::intmax_t toi(const char_type*& p1, const char_type* p2, int radix) const;

  std::string error_string(boost::regex_constants::error_type code) const {
    return boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(code);
  }

 private:
  static bool ascii(char_type c) { return static_cast<std::uint32_t>(c) < 0x80; }
};

}  // namespace text_regex::detail
