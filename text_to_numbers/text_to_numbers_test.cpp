// Cutting a delimited text and reading its pieces: what palvane and dromlet share.
#include "text_to_numbers/text_to_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace text_to_numbers {
namespace {

TEST(Read, PiecesInTextOrderEmptyOnesDropped) {
  EXPECT_EQ(*read<float>(L"1.36, x,,-2e1", L","), (frame::Numbers<float>{1.36f, 0.0f, -20.0f}));
  EXPECT_EQ(*read<std::int32_t>(L"7;2.9;-1e10", L";"),
            (frame::Numbers<std::int32_t>{7, 2, -2147483647 - 1}));
  EXPECT_EQ(*read<float>(L";;", L";"), frame::Numbers<float>{});
}

TEST(Read, TheTextMustHoldTheDelimiterAndTheTestAcceptIt) {
  EXPECT_EQ(read<float>(L"1.5", L",").why(), frame::NoResult::unsuitable);
  EXPECT_EQ(read<float>(L"1,5", L"").why(), frame::NoResult::unsuitable);
  auto refuse = [](const XSI::CString&) -> std::optional<bool> { return false; };
  auto cannot_tell = [](const XSI::CString&) -> std::optional<bool> { return std::nullopt; };
  EXPECT_EQ(read<float>(L"1,5", L",", refuse).why(), frame::NoResult::unsuitable);
  EXPECT_EQ(read<float>(L"1,5", L",", cannot_tell).why(), frame::NoResult::out_of_memory);
  // The test is asked only of a delimiter the text holds.
  EXPECT_EQ(read<float>(L"15", L",", cannot_tell).why(), frame::NoResult::unsuitable);
}

}  // namespace
}  // namespace text_to_numbers
