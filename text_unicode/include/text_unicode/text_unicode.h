// Unicode's simple case mappings, one character to one, and its White_Space set, from the
// Unicode Character Database (its version stands at the head of src/unicode_tables.cpp, which
// generate_tables.py makes from it). Host-free, and the same under every locale and on every
// platform: a character is one wide character as the host gives it, so on Windows, where
// wchar_t holds 16 bits, a character outside 16 bits is two characters (a surrogate pair) and
// each maps to itself. A value that is no character (past U+10FFFF, or a negative wchar_t)
// maps to itself and is not white space. ASCII takes a fast path.
//
//   to_lower(L'A') == L'a'     to_upper(L'\u00e9') == L'\u00c9'    to_lower(L'\u0130') == L'i'
//   to_upper(L'\u00df') == L'\u00df'  (its upper case is two characters: no simple mapping)
//   is_white_space(L'\u00a0') == true   is_white_space(L'\u200b') == false
//   equal_ignoring_case(L"Stra\u00dfe", L"STRA\u00dfE") == true
//   CaseMapped(L"Text", Case::upper).view() == L"TEXT"
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

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

  wchar_t map(wchar_t c) const {
    const auto code = static_cast<std::uint32_t>(c);
    if (code >= limit) return c;
    const std::uint8_t entry = entries[(std::size_t{blocks[code >> kBlockShift]} << kBlockShift) |
                                       (code & ((1u << kBlockShift) - 1))];
    return static_cast<wchar_t>(code + static_cast<std::uint32_t>(deltas[entry]));
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

// c's simple lower-case mapping, or c when it has none.
inline wchar_t to_lower(wchar_t c) {
  const auto code = static_cast<std::uint32_t>(c);
  if (code < 0x80) return code - 'A' < 26 ? static_cast<wchar_t>(code + 32) : c;
  return detail::kLower.map(c);
}

// c's simple upper-case mapping, or c when it has none.
inline wchar_t to_upper(wchar_t c) {
  const auto code = static_cast<std::uint32_t>(c);
  if (code < 0x80) return code - 'a' < 26 ? static_cast<wchar_t>(code - 32) : c;
  return detail::kUpper.map(c);
}

// Whether c has Unicode's White_Space property: tab to carriage return, the space, U+0085, the
// no-break spaces, the line and paragraph separators and the other spaces of category Zs.
inline bool is_white_space(wchar_t c) {
  const auto code = static_cast<std::uint32_t>(c);
  if (code < 0x80) return code == ' ' || code - '\t' < 5;
  for (std::size_t i = 0; i < detail::kWhiteSpaceRanges && code >= detail::kWhiteSpace[i].first;
       ++i)
    if (code <= detail::kWhiteSpace[i].last) return true;
  return false;
}

// Whether a and b have one length and the same simple lower-case mapping, character by
// character.
bool equal_ignoring_case(std::wstring_view a, std::wstring_view b);

enum class Case { lower, upper };

// A text with every character mapped to its simple lower or upper case. When no character
// changes, the text itself: a view of it, valid while it is. Else the mapped characters, held
// in the object up to kInline of them, so that the short texts most elements hold allocate
// nothing, and on the heap beyond. Neither copied nor moved, since it may view itself: made
// where it is used (a function may return one made in its return statement).
class CaseMapped {
 public:
  static constexpr std::size_t kInline = 64;

  CaseMapped(std::wstring_view text, Case to);
  CaseMapped(const CaseMapped&) = delete;
  CaseMapped& operator=(const CaseMapped&) = delete;
  ~CaseMapped() = default;

  std::wstring_view view() const { return view_; }

 private:
  std::wstring_view view_;
  wchar_t inline_[kInline];
  std::unique_ptr<wchar_t[]> heap_;
};

}  // namespace text_unicode
