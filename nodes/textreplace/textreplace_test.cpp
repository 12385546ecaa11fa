#include "textreplace.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "plain_replace.h"
#include "text_search/text_search.h"

namespace textreplace {
namespace {

using tests::replaced_in_place;

// Texts long enough for the linear matcher and short enough for the direct search, results
// held in the object and on the heap, with a replacement that holds what is found, one shorter
// and one longer than it, and none. A text with nothing to replace is given back as it is.
TEST(Compute, MatchesReplacingInPlaceOnRandomTexts) {
  std::mt19937 random(20261208);
  auto random_text = [&](std::size_t max_length) {
    std::wstring text(random() % (max_length + 1), L'a');
    for (wchar_t& c : text) c = random() % 3 ? L'a' : L'b';
    return text;
  };
  const std::wstring unchanged = L"nothing to replace";
  EXPECT_EQ(TextReplace::compute(unchanged, L"x", L"y", true).view().data(), unchanged.data());
  for (int round = 0; round < 4000; ++round) {
    const std::wstring text = random_text(round % 2 ? 3 * text_search::kDirect : 12);
    const std::wstring find = random_text(4);
    const std::wstring withs[] = {find + find, L"", L"x", random_text(6)};
    for (const std::wstring& with : withs)
      for (const bool all : {false, true})
        ASSERT_EQ(TextReplace::compute(text, find, with, all).view(),
                  replaced_in_place(text, find, with, all))
            << text.size() << " " << find.size() << " " << with.size() << " " << all;
  }
}

}  // namespace
}  // namespace textreplace
