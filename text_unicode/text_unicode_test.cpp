#include "text_unicode/text_unicode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "plain_unicode.h"
#include "text_unicode/characters.h"

namespace text_unicode {
namespace {

// Every code point and past the last one, as code points and as the wide characters that hold
// them whole: every value of wchar_t up to past the last code point, the ends of its range and -1
// (where wchar_t holds 16 bits, its last value).
TEST(Tables, AgreeWithTheDatabaseForEveryCharacter) {
  const tests::PlainUnicode database(TEXTNODES_UCD);
  for (std::uint32_t value = 0; value <= 0x110000; ++value) {
    const char32_t code = value;
    ASSERT_EQ(to_lower(code), database.to_lower(code)) << std::hex << value;
    ASSERT_EQ(to_upper(code), database.to_upper(code)) << std::hex << value;
    ASSERT_EQ(is_white_space(code), database.is_white_space(code)) << std::hex << value;
    // CaseMapped keeps a text's length: a mapping stays on its side of U+FFFF.
    ASSERT_EQ(to_lower(code) > 0xFFFF, code > 0xFFFF) << std::hex << value;
    ASSERT_EQ(to_upper(code) > 0xFFFF, code > 0xFFFF) << std::hex << value;
  }
  std::vector<long long> codes = {WCHAR_MIN, -1, WCHAR_MAX};
  for (long long code = 0; code <= std::min<long long>(WCHAR_MAX, 0x110000); code += 7)
    codes.push_back(code);
  for (const long long code : codes) {
    const auto c = static_cast<wchar_t>(code);
    ASSERT_EQ(to_lower(c), database.to_lower(c)) << std::hex << code;
    ASSERT_EQ(to_upper(c), database.to_upper(c)) << std::hex << code;
    ASSERT_EQ(is_white_space(c), database.is_white_space(c)) << std::hex << code;
  }
}

// A text written as characters: code points, U+D800 to U+DFFF among them as lone surrogates.
std::wstring wide(std::u32string_view codes) {
  std::wstring text;
  for (const char32_t code : codes) {
    wchar_t units[2];
    text.append(units, encode(code, units));
  }
  return text;
}

// The characters read back one by one, forward and backward, against what the text was made of;
// pairs at the ends, beside each other and beside lone surrogates of either half.
TEST(Characters, ReadEachCharacterWholeForwardAndBackward) {
  const std::u32string samples[] = {
      U"",
      U"a\U0001F600b",
      U"\U0001F600",
      U"\U00010400\U0001F600\U0010FFFF",
      U"\xD83D",
      U"\xDE00x\xD83D",
      U"\xDE00\U0001F600\xD800",
      U"e\u0301\U0001F44D\U0001F3FD",
  };
  for (const std::u32string& codes : samples) {
    const std::wstring text = wide(codes);
    ASSERT_EQ(count_characters(text), codes.size());
    std::size_t at = 0;
    for (std::size_t n = 0; n < codes.size(); ++n) {
      ASSERT_FALSE(inside_pair(text, at));
      ASSERT_EQ(advance(text, 0, n), at);
      const Character c = character_at(text, at);
      ASSERT_EQ(static_cast<std::uint32_t>(c.code), static_cast<std::uint32_t>(codes[n]));
      ASSERT_EQ(c.units, kUtf16 && codes[n] > 0xFFFF ? 2u : 1u);
      if (c.units == 2) {
        ASSERT_TRUE(inside_pair(text, at + 1));
      }
      ASSERT_EQ(character_start_before(text, at + c.units), at);
      at += c.units;
    }
    EXPECT_EQ(at, text.size());
    EXPECT_EQ(advance(text, 0, codes.size() + 1), text.size());
    EXPECT_EQ(has_surrogates(text), std::ranges::any_of(codes, [](char32_t code) {
                return code > 0xFFFF ? kUtf16 : is_surrogate(code);
              }));
  }
}

TEST(CaseMapped, MapsCharactersPastU_FFFFWholeAndLeavesLoneSurrogates) {
  EXPECT_EQ(CaseMapped(wide(U"\U00010400x\U0001E900"), Case::lower).view(),
            wide(U"\U00010428x\U0001E922"));
  EXPECT_EQ(CaseMapped(wide(U"\U00010428\U0001F600\xDC28\xD801"), Case::upper).view(),
            wide(U"\U00010400\U0001F600\xDC28\xD801"));
  EXPECT_TRUE(equal_ignoring_case(wide(U"\U00010400a\xD801"), wide(U"\U00010428A\xD801")));
  EXPECT_FALSE(equal_ignoring_case(wide(U"\U00010400"), wide(U"\xDC28\xD801")));
}

}  // namespace
}  // namespace text_unicode
