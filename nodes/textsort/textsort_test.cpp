#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "text_order.h"
#include "text_unicode/characters.h"
#include "textsort.h"

namespace textsort {
namespace {

constexpr Ordering kPlain{};
constexpr Ordering kNatural{.natural = true};
constexpr Ordering kIgnoringCase{.ignore_case = true};
constexpr Ordering kNaturalIgnoringCase{.natural = true, .ignore_case = true};
constexpr Ordering kOrderings[] = {kPlain, kNatural, kIgnoringCase, kNaturalIgnoringCase};

int sign(int value) { return (value > 0) - (value < 0); }

// The wide form of code points, a surrogate pair for each past U+FFFF where texts are UTF-16.
std::wstring wide(const std::u32string& codes) {
  std::wstring text;
  for (const char32_t code : codes) {
    wchar_t units[2];
    text.append(units, text_unicode::encode(code, units));
  }
  return text;
}

TEST(CompareTexts, RunsOfDigitsByValueInNaturalOrder) {
  EXPECT_LT(compare_texts(L"bone2", L"bone10", kNatural), 0);
  EXPECT_GT(compare_texts(L"bone2", L"bone10", kPlain), 0);
  EXPECT_LT(compare_texts(L"a9b", L"a10a", kNatural), 0);
  EXPECT_LT(compare_texts(L"1", L"1a", kNatural), 0);
  EXPECT_EQ(compare_texts(L"x12y3", L"x12y3", kNatural), 0);
  // Equal values: the shorter run first, where the runs stand, whatever follows.
  EXPECT_LT(compare_texts(L"a7", L"a007", kNatural), 0);
  EXPECT_LT(compare_texts(L"a1z", L"a01b", kNatural), 0);
  EXPECT_LT(compare_texts(L"0", L"00", kNatural), 0);
  // Runs that begin alike: the rest of each decides, by its count of digits, then its digits;
  // alike but for leading zeros, by value and then length.
  EXPECT_GT(compare_texts(L"x12345", L"x1235", kNatural), 0);
  EXPECT_LT(compare_texts(L"x12345", L"x12346", kNatural), 0);
  EXPECT_LT(compare_texts(L"a10b", L"a10c", kNatural), 0);
  EXPECT_GT(compare_texts(L"x00012", L"x0003", kNatural), 0);
  EXPECT_GT(compare_texts(L"x0003", L"x003", kNatural), 0);
  // Runs longer than any integer: by their digits after leading zeros, never overflowing.
  const std::wstring nines(40, L'9');
  EXPECT_LT(compare_texts(nines, L"1" + std::wstring(40, L'0'), kNatural), 0);
  EXPECT_LT(compare_texts(std::wstring(50, L'0') + L"5", L"6", kNatural), 0);
  EXPECT_GT(compare_texts(nines + L"8", nines + L"7", kNatural), 0);
  // A digit beside another character compares by code point: '.' < '0'..'9' < 'a'.
  EXPECT_LT(compare_texts(L"a.", L"a1", kNatural), 0);
  EXPECT_GT(compare_texts(L"ab", L"a1", kNatural), 0);
  // Digits of other scripts are ordinary characters: U+0663, Arabic-Indic three, after '9'.
  EXPECT_GT(compare_texts(L"\u0663", L"10", kNatural), 0);
  EXPECT_LT(compare_texts(L"2\u0663", L"10", kNatural), 0);
}

TEST(CompareTexts, CodePointsPastTheBasicPlaneAfterEveryOther) {
  // In UTF-16 units, U+1F600 (D83D DE00) comes before U+E000 and U+FFFF: not by code point.
  const std::wstring emoji = wide(U"\U0001F600");
  for (const Ordering ordering : kOrderings) {
    EXPECT_LT(compare_texts(L"\uffff", emoji, ordering), 0);
    EXPECT_LT(compare_texts(L"\ue000", emoji, ordering), 0);
    EXPECT_LT(compare_texts(L"a\uffffz", wide(U"a\U00010000a"), ordering), 0);
    // A lone surrogate is its own value: after U+D7FF, before U+E000 and the pairs.
    EXPECT_GT(compare_texts(wide({0xD800}), L"\ud7ff", ordering), 0);
    EXPECT_LT(compare_texts(wide({0xDFFF}), L"\ue000", ordering), 0);
    EXPECT_LT(compare_texts(wide({0xDC00, U'z'}), wide(U"\U00010000"), ordering), 0);
  }
}

TEST(CompareTexts, CaseIgnoredBySimpleLowerCase) {
  EXPECT_LT(compare_texts(L"B", L"a", kPlain), 0);
  EXPECT_GT(compare_texts(L"B", L"a", kIgnoringCase), 0);
  EXPECT_EQ(compare_texts(L"Stra\u00dfE", L"stra\u00dfe", kIgnoringCase), 0);
  EXPECT_NE(compare_texts(L"STRASSE", L"stra\u00dfe", kIgnoringCase), 0);
  EXPECT_EQ(compare_texts(wide(U"\U00010400x"), wide(U"\U00010428X"), kIgnoringCase), 0);
  EXPECT_LT(compare_texts(L"Bone10", L"bone010", kNaturalIgnoringCase), 0);
}

// Natural order plainly: each text a list of tokens, a character's folded code, or a run of
// digits as the code of '0', its digits after leading zeros as a number's length and text, and
// its length; texts compared as lists of tokens.
using Token = std::tuple<char32_t, std::size_t, std::u32string, std::size_t>;
std::vector<Token> natural_key(const std::u32string& text, bool ignore_case) {
  std::vector<Token> key;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] >= U'0' && text[i] <= U'9') {
      std::size_t end = i;
      while (end < text.size() && text[end] >= U'0' && text[end] <= U'9') ++end;
      std::size_t first = i;
      while (first < end && text[first] == U'0') ++first;
      key.emplace_back(U'0', end - first, text.substr(first, end - first), end - i);
      i = end;
    } else {
      char32_t code = text[i++];
      if (ignore_case && code >= U'A' && code <= U'Z') code += 32;
      if (ignore_case && code == U'\u00c9') code = U'\u00e9';
      key.emplace_back(code, 0, U"", 0);
    }
  }
  return key;
}

// Random texts of digits and letters of both cases, with a few characters beyond ASCII.
std::vector<std::u32string> random_texts(std::size_t count, std::uint32_t seed) {
  const std::u32string alphabet = U"0000123456789aAbBzZ-_\u00e9\u00c9\U0001F600";
  std::mt19937 random(seed);
  std::vector<std::u32string> texts;
  for (std::size_t i = 0; i < count; ++i) {
    std::u32string text;
    for (std::size_t n = random() % 9; n > 0; --n) text += alphabet[random() % alphabet.size()];
    texts.push_back(text);
  }
  return texts;
}

// Pairs of random texts, and pairs that begin with the same random text, so that the
// comparison starts inside a run of digits as often as not.
TEST(CompareTexts, AgreesWithTheOrderOfPlainTokensOnRandomTexts) {
  std::vector<std::u32string> texts = random_texts(400, 3);
  const std::vector<std::u32string> starts = random_texts(400, 4);
  for (std::size_t i = 0; i < starts.size(); ++i) texts.push_back(starts[i] + texts[i]);
  for (std::size_t i = 0; i + 1 < texts.size(); i += 2)
    for (const bool ignore_case : {false, true}) {
      const auto a = natural_key(texts[i], ignore_case);
      const auto b = natural_key(texts[i + 1], ignore_case);
      const int expected = a < b ? -1 : b < a ? 1 : 0;
      EXPECT_EQ(sign(compare_texts(wide(texts[i]), wide(texts[i + 1]),
                                   {.natural = true, .ignore_case = ignore_case})),
                expected)
          << i << (ignore_case ? ", case ignored" : "");
    }
}

// Irreflexive, transitive, and its equivalence transitive: what std::sort needs of a comparison.
TEST(CompareTexts, IsAStrictWeakOrderingOnRandomTexts) {
  std::vector<std::wstring> texts;
  for (const std::u32string& text : random_texts(70, 5)) texts.push_back(wide(text));
  for (const Ordering ordering : kOrderings) {
    const std::size_t n = texts.size();
    std::vector<int> order(n * n);
    for (std::size_t a = 0; a < n; ++a)
      for (std::size_t b = 0; b < n; ++b)
        order[a * n + b] = sign(compare_texts(texts[a], texts[b], ordering));
    for (std::size_t a = 0; a < n; ++a) {
      ASSERT_EQ(order[a * n + a], 0);
      for (std::size_t b = 0; b < n; ++b) {
        ASSERT_EQ(order[a * n + b], -order[b * n + a]);
        for (std::size_t c = 0; c < n; ++c) {
          if (order[a * n + b] < 0 && order[b * n + c] < 0) {
            ASSERT_LT(order[a * n + c], 0);
          }
          if (order[a * n + b] == 0 && order[b * n + c] == 0) {
            ASSERT_EQ(order[a * n + c], 0);
          }
        }
      }
    }
  }
}

// A plain stable sort: each text inserted after every text that does not come after it.
std::vector<std::int32_t> insertion_order(const std::vector<std::wstring_view>& texts,
                                          Ordering ordering) {
  std::vector<std::int32_t> order;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::size_t at = order.size();
    while (at > 0 &&
           compare_texts(texts[static_cast<std::size_t>(order[at - 1])], texts[i], ordering) > 0)
      --at;
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::int32_t>(i));
  }
  return order;
}

TEST(SortOrder, AgreesWithAPlainStableSort) {
  std::vector<std::int32_t> order = {5, 5};
  sort_order({}, kNatural, order);
  EXPECT_TRUE(order.empty());
  for (std::uint32_t seed = 0; seed < 20; ++seed) {
    std::vector<std::wstring> made;
    for (const std::u32string& text : random_texts(seed * 13, seed)) made.push_back(wide(text));
    const std::vector<std::wstring_view> texts(made.begin(), made.end());
    for (const Ordering ordering : kOrderings) {
      sort_order(texts, ordering, order);
      EXPECT_EQ(order, insertion_order(texts, ordering)) << "seed " << seed;
    }
  }
}

// Both outputs from one element's texts, as a test makes them without a host.
TEST(Compute, GivesTheSortedTextsAndTheirOrder) {
  const std::wstring_view texts[] = {L"bone10", L"bone2", L"Bone1", L"bone2"};
  const frame::Texts strings{texts};
  TextSort::State state;
  const auto listed = [](auto span) { return std::vector(span.begin(), span.end()); };
  EXPECT_EQ(listed(TextSort::compute(frame::Output<1>{}, strings, true, false, state)),
            (std::vector<std::int32_t>{2, 1, 3, 0}));
  EXPECT_EQ(listed(TextSort::compute(frame::Output<0>{}, strings, false, true, state)),
            (std::vector<std::wstring_view>{L"Bone1", L"bone10", L"bone2", L"bone2"}));
  EXPECT_TRUE(TextSort::compute(frame::Output<0>{}, frame::Texts{}, true, true, state).empty());
}

}  // namespace
}  // namespace textsort
