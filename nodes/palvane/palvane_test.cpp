// palvane's computation: the pieces of a delimited text as 32-bit floats, or no result when the
// text lacks the delimiter or the delimiter begins with a digit or is empty.
#include "palvane.h"

#include <gtest/gtest.h>

#include <string>

namespace palvane {
namespace {

using Floats = frame::Numbers<float>;

TEST(Compute, ReadsEveryPieceAsAFloat) {
  EXPECT_EQ(*Palvane::compute(L"1.36,4.6704993,83.2243,114.68", L","),
            (Floats{1.36f, 4.6704993f, 83.2243f, 114.68f}));
  // Delimiters beginning with a minus sign, a point or a letter, or longer than a character.
  EXPECT_EQ(*Palvane::compute(L"1-2", L"-"), (Floats{1.0f, 2.0f}));
  EXPECT_EQ(*Palvane::compute(L"1.5.2", L"."), (Floats{1.0f, 5.0f, 2.0f}));
  EXPECT_EQ(*Palvane::compute(L"1x2.5", L"x"), (Floats{1.0f, 2.5f}));
  EXPECT_EQ(*Palvane::compute(L"1::2:::3", L"::"), (Floats{1.0f, 2.0f, 0.0f}));
  EXPECT_EQ(*Palvane::compute(L",,,", L","), Floats{});
}

TEST(Compute, DelimitersThatDoNotSuit) {
  const std::pair<std::wstring, std::wstring> unsuitable[] = {
      {L"1.5", L","}, {L"", L","}, {L"10203", L"0"}, {L"1929", L"9"}, {L"1,5", L""}};
  for (const auto& [text, delimiter] : unsuitable) {
    const frame::Result<Floats> result =
        Palvane::compute(XSI::CString(text.c_str()), XSI::CString(delimiter.c_str()));
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.why(), frame::NoResult::unsuitable);
  }
}

}  // namespace
}  // namespace palvane
