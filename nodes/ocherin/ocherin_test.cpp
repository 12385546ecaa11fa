// ocherin's computation: the signed byte of each character's narrow form.
#include "ocherin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace ocherin {
namespace {

using Codes = frame::Numbers<std::int32_t>;

TEST(Compute, SignedBytesOfTheNarrowForm) {
  EXPECT_EQ(*Ocherin::compute(L"default string"),
            (Codes{100, 101, 102, 97, 117, 108, 116, 32, 115, 116, 114, 105, 110, 103}));
  EXPECT_EQ(*Ocherin::compute(L""), Codes{});
  // A byte past 127 reads as negative; a NUL is a character; a character beyond one byte is '?'.
  const std::wstring text{L'\u00e9', L'\u00ff', L'\0', L'\u2192', L'z'};
  EXPECT_EQ(*Ocherin::compute(XSI::CString(text.data(), static_cast<XSI::ULONG>(text.size()))),
            (Codes{-23, -1, 0, 63, 122}));
}

}  // namespace
}  // namespace ocherin
