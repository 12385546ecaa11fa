// dromlet's computation: the pieces of a delimited text as 32-bit signed integers, or no result
// when the text lacks the delimiter; a delimiter beginning with a digit is accepted.
#include "dromlet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace dromlet {
namespace {

using Integers = frame::Numbers<std::int32_t>;

TEST(Compute, ReadsEveryPieceAsAnInteger) {
  EXPECT_EQ(*Dromlet::compute(L"1,2,3,4,5,6,7,8,9", L","), (Integers{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(*Dromlet::compute(L"10203", L"0"), (Integers{1, 2, 3}));
  EXPECT_EQ(*Dromlet::compute(L"7;2.9;-2.9;-1e10", L";"), (Integers{7, 2, -2, -2147483647 - 1}));
  EXPECT_EQ(*Dromlet::compute(L",1,,2,", L","), (Integers{1, 2}));
}

TEST(Compute, TextWithoutTheDelimiterDoesNotSuit) {
  for (const auto& [text, delimiter] : {std::pair{L"12", L","}, {L"", L","}, {L"1,2", L""}}) {
    const frame::Result<Integers> result = Dromlet::compute(text, delimiter);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.why(), frame::NoResult::unsuitable);
  }
}

}  // namespace
}  // namespace dromlet
