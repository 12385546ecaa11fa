#include "text_unicode/text_unicode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "plain_unicode.h"

namespace text_unicode {
namespace {

// Every value of a wide character up to past the last code point, and the ends of its range and
// -1 (where wchar_t holds 16 bits, its last value).
TEST(Tables, AgreeWithTheDatabaseForEveryCharacter) {
  const tests::PlainUnicode database(TEXTNODES_UCD);
  std::vector<long long> codes = {WCHAR_MIN, -1, WCHAR_MAX};
  for (long long code = 0; code <= std::min<long long>(WCHAR_MAX, 0x110000); ++code)
    codes.push_back(code);
  for (const long long code : codes) {
    const auto c = static_cast<wchar_t>(code);
    ASSERT_EQ(to_lower(c), database.to_lower(c)) << std::hex << code;
    ASSERT_EQ(to_upper(c), database.to_upper(c)) << std::hex << code;
    ASSERT_EQ(is_white_space(c), database.is_white_space(c)) << std::hex << code;
  }
}

}  // namespace
}  // namespace text_unicode
