// tamsel's computation: an integer's plain decimal text.
#include "tamsel.h"

#include <gtest/gtest.h>

#include <string>

namespace tamsel {
namespace {

std::wstring text_of(std::int32_t number) { return std::wstring(Tamsel::compute(number).view()); }

TEST(Compute, PlainDecimalWithASignWhenNegative) {
  EXPECT_EQ(text_of(-7), L"-7");
  EXPECT_EQ(text_of(0), L"0");
  EXPECT_EQ(text_of(42), L"42");
  EXPECT_EQ(text_of(2147483647), L"2147483647");
  EXPECT_EQ(text_of(-2147483647 - 1), L"-2147483648");
}

}  // namespace
}  // namespace tamsel
