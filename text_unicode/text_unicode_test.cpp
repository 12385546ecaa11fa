#include "text_unicode/text_unicode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <initializer_list>
#include <string>

#include "plain_unicode.h"

namespace text_unicode {
namespace {

const tests::PlainUnicode& database() {
  static const tests::PlainUnicode read(TEXTNODES_UCD);
  return read;
}

// Every value a wide character holds up to past the last code point, and beyond it the ends
// of wchar_t's range where it is wider than 16 bits.
template <class Check>
void for_every_character(Check&& check) {
  constexpr std::uint32_t kLast = WCHAR_MAX < 0x10FFFF ? WCHAR_MAX : 0x110000;
  for (std::uint32_t code = 0; code <= kLast; ++code) check(static_cast<wchar_t>(code));
  if constexpr (WCHAR_MAX > 0xFFFF)
    for (const long long c : std::initializer_list<long long>{WCHAR_MIN, -1, WCHAR_MAX})
      check(static_cast<wchar_t>(c));
}

TEST(Tables, AgreeWithTheDatabaseForEveryCharacter) {
  for_every_character([](wchar_t c) {
    ASSERT_EQ(to_lower(c), database().to_lower(c)) << std::hex << +c;
    ASSERT_EQ(to_upper(c), database().to_upper(c)) << std::hex << +c;
    ASSERT_EQ(is_white_space(c), database().is_white_space(c)) << std::hex << +c;
  });
}

TEST(EqualIgnoringCase, ComparesSimpleLowerCaseMappings) {
  EXPECT_TRUE(equal_ignoring_case(L"", L""));
  EXPECT_TRUE(equal_ignoring_case(L"Stra\u00dfe", L"STRA\u1e9eE"));  // capital sharp s lowers
  EXPECT_TRUE(equal_ignoring_case(L"\u212a", L"k"));                 // the Kelvin sign lowers
  EXPECT_FALSE(equal_ignoring_case(L"\u03c2", L"\u03a3"));  // final sigma: lowers to itself
  EXPECT_FALSE(equal_ignoring_case(L"ab", L"abc"));
  EXPECT_FALSE(equal_ignoring_case(L"@", L"`"));  // either side of the letters, 32 apart
}

// One changed character, first or last, in texts on either side of what the object holds
// itself: the characters before it copied, those after it mapped; a text that no character
// changes given as itself.
TEST(CaseMapped, MapsInlineOrOnTheHeapAndGivesAnUnchangedTextItself) {
  for (std::size_t length = 1; length <= CaseMapped::kInline + 1; ++length) {
    for (const std::size_t at : {std::size_t{0}, length - 1}) {
      std::wstring text(length, L'x'), lower(length, L'x'), upper(length, L'X');
      text[at] = upper[at] = L'\u00c9';
      lower[at] = L'\u00e9';
      EXPECT_EQ(CaseMapped(text, Case::lower).view(), lower) << length << ", " << at;
      EXPECT_EQ(CaseMapped(text, Case::upper).view(), upper) << length << ", " << at;
    }
  }
  const std::wstring unchanged = L"lower \u00e9 \U0001f600";
  EXPECT_EQ(CaseMapped(unchanged, Case::lower).view().data(), unchanged.data());
  EXPECT_EQ(CaseMapped(L"", Case::upper).view(), L"");
}

}  // namespace
}  // namespace text_unicode
