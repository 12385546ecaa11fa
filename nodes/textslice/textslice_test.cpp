#include "textslice.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace textslice {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Start and Length at the ends of the 32-bit range, where a sum in 32 bits would overflow: the
// result is still the clamped part of the text.
TEST(Compute, ExtremeStartsAndLengthsClampWithoutOverflow) {
  struct Case {
    std::int32_t start, length;
    std::wstring_view expected;
  };
  const Case cases[] = {
      {kMin, kMax, L"text"}, {kMin, kMin, L"text"}, {kMin, 1, L"t"},   {kMax, kMax, L""},
      {kMax, -1, L""},       {-1, kMax, L"t"},      {1, kMax, L"ext"}, {kMin + 1, kMax, L"text"},
      {4, kMax, L""},        {-4, kMax, L"text"},   {-5, 2, L"te"},    {0, 0, L""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextSlice::compute(L"text", c.start, c.length), c.expected)
        << "Start " << c.start << ", Length " << c.length;
  for (const std::int32_t start : {kMin, -1, 0, 1, kMax})
    EXPECT_EQ(TextSlice::compute(L"", start, kMax), L"");
}

TEST(Compute, GivesAPartOfTheTextItself) {
  const std::wstring text = L"a slice";
  const std::wstring_view part = TextSlice::compute(text, 2, 3);
  EXPECT_EQ(part, L"sli");
  EXPECT_EQ(part.data(), text.data() + 2);
}

}  // namespace
}  // namespace textslice
