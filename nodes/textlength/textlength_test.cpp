#include "textlength.h"

#include <gtest/gtest.h>

#include <string>

#include "text_unicode/characters.h"

namespace textlength {
namespace {

TEST(Compute, CountsEveryCharacterAndSaturatesPastTheLargestInteger) {
  EXPECT_EQ(TextLength::compute(L""), 0);
  EXPECT_EQ(TextLength::compute(std::wstring{L'a', L'\0', L'\u00e9'}), 3);
  // Where each wchar_t is a character only the view's size is read, never its characters: a
  // view longer than any text this machine holds stands for a text past 2^31 - 1 characters.
  if (text_unicode::kUtf16) GTEST_SKIP() << "UTF-16 texts are counted character by character";
  const wchar_t* nowhere = L"";
  EXPECT_EQ(TextLength::compute(std::wstring_view(nowhere, std::size_t{1} << 31)), 2147483647);
  EXPECT_EQ(TextLength::compute(std::wstring_view(nowhere, 2147483647)), 2147483647);
  EXPECT_EQ(TextLength::compute(std::wstring_view(nowhere, 4294967295u)), 2147483647);
}

}  // namespace
}  // namespace textlength
