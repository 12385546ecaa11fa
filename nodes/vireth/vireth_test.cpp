// vireth's computation: a float's shortest text that reads back to it.
#include "vireth.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vireth {
namespace {

std::wstring text_of(float number) { return std::wstring(Vireth::compute(number).view()); }

TEST(Compute, ShortestTextThatReadsBack) {
  using limits = std::numeric_limits<float>;
  EXPECT_EQ(text_of(1.5f), L"1.5");
  EXPECT_EQ(text_of(-2.0f), L"-2");
  EXPECT_EQ(text_of(0.0f), L"0");
  EXPECT_EQ(text_of(-0.0f), L"-0");
  EXPECT_EQ(text_of(0.1f), L"0.1");
  EXPECT_EQ(text_of(16777216.0f), L"16777216");
  EXPECT_EQ(text_of(1e20f), L"1e+20");
  EXPECT_EQ(text_of(limits::denorm_min()), L"1e-45");
  EXPECT_EQ(text_of(limits::max()), L"3.4028235e+38");
  EXPECT_EQ(text_of(limits::infinity()), L"inf");
  EXPECT_EQ(text_of(-limits::infinity()), L"-inf");
  EXPECT_EQ(text_of(-limits::quiet_NaN()), L"nan");
}

}  // namespace
}  // namespace vireth
