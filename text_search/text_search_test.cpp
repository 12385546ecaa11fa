#include "text_search/text_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text_unicode/characters.h"

namespace text_search {
namespace {

// The obviously correct forms, on the texts' characters: every start position tried in turn;
// the occurrences that do not overlap, each search resuming where the last one ended. Positions
// come back as the text's wchar_t.
std::u32string characters_of(std::wstring_view text) {
  std::u32string codes;
  for (std::size_t i = 0; i < text.size(); i += text_unicode::character_at(text, i).units)
    codes += text_unicode::character_at(text, i).code;
  return codes;
}

std::size_t first_by_trying_each(const std::wstring& text, const std::wstring& sub) {
  const std::u32string t = characters_of(text), s = characters_of(sub);
  if (s.empty()) return npos;
  for (std::size_t at = 0; at + s.size() <= t.size(); ++at)
    if (t.compare(at, s.size(), s) == 0) return text_unicode::advance(text, 0, at);
  return npos;
}

std::vector<std::size_t> each_occurrence(const std::wstring& text, const std::wstring& sub) {
  const std::u32string t = characters_of(text), s = characters_of(sub);
  std::vector<std::size_t> found;
  for (std::size_t at = 0; at + s.size() <= t.size() && !s.empty();) {
    if (t.compare(at, s.size(), s) == 0) {
      found.push_back(text_unicode::advance(text, 0, at));
      at += s.size();
    } else {
      ++at;
    }
  }
  return found;
}

std::vector<std::size_t> walk(std::wstring_view text, std::wstring_view sub) {
  std::vector<std::size_t> found;
  Occurrences in(text, sub);
  for (std::size_t at = in.next(); at != npos; at = in.next()) found.push_back(at);
  EXPECT_EQ(in.next(), npos);  // and stays so
  return found;
}

TEST(FindFirst, EmptyOrLongerSubOccursNowhere) {
  EXPECT_EQ(find_first(L"abc", L""), npos);
  EXPECT_EQ(find_first(L"", L""), npos);
  EXPECT_EQ(find_first(L"", L"a"), npos);
  EXPECT_EQ(find_first(L"ab", L"abc"), npos);
}

TEST(FindFirst, FindsTheFirstOfOverlappingOccurrences) {
  EXPECT_EQ(find_first(L"xaby ab", L"ab"), 1u);
  EXPECT_EQ(find_first(L"aaaa", L"aa"), 0u);
  EXPECT_EQ(find_first(L"aabaabaab", L"aabaab"), 0u);
  EXPECT_EQ(find_first(L"abababc", L"ababc"), 2u);
  EXPECT_EQ(find_first(L"abc", L"abc"), 0u);
  EXPECT_EQ(find_first(L"abc", L"ABC"), npos);
}

TEST(FindFirst, ComparesWideCharactersAndNulExactly) {
  const std::wstring text{L'\u00e9', L'\0', L'\u2192', L'x', L'\u2192', L'\0', L'y'};
  EXPECT_EQ(find_first(text, std::wstring{L'\0', L'y'}), 5u);
  EXPECT_EQ(find_first(text, std::wstring{L'\u2192', L'\0'}), 4u);
  EXPECT_EQ(find_first(text, std::wstring{L'\u2190'}), npos);
}

TEST(Occurrences, DoNotOverlapAndResumeAfterEachOne) {
  EXPECT_EQ(walk(L"aaaaa", L"aa"), (std::vector<std::size_t>{0, 2}));
  EXPECT_EQ(walk(L"aaa", L"aa"), (std::vector<std::size_t>{0}));
  EXPECT_EQ(walk(L"a-b-c", L"-"), (std::vector<std::size_t>{1, 3}));
  EXPECT_EQ(walk(L"abab", L"abab"), (std::vector<std::size_t>{0}));
  EXPECT_EQ(walk(L"abc", L""), (std::vector<std::size_t>{}));
  EXPECT_EQ(walk(L"", L"a"), (std::vector<std::size_t>{}));
  EXPECT_EQ(walk(L"ab", L"abc"), (std::vector<std::size_t>{}));
}

TEST(Search, MatchesTryingEachPositionOnRandomTexts) {
  // Short texts, searched directly, and texts on either side of kDirect and far past it, where
  // the scan for the sub-text's rarest character takes over, and where its comparisons run out
  // of credit and the matcher takes over, at the start or in the middle of a walk. Two letters
  // ("b" the rarer, scanned for, "a" the commoner), so that occurrences overlap and near misses
  // abound, as common as each other or one of them seldom; now and then NUL and a character
  // beyond ASCII, rarer than both, or one beyond the 16 bits of the Windows wchar_t; and now and
  // then the halves of a surrogate pair, which make one where a high one stands before a low one
  // in a text read as UTF-16, and which no occurrence may split.
  std::mt19937 random(20261207);
  const wchar_t rare = text_unicode::kUtf16 ? L'\u00e9' : static_cast<wchar_t>(0x1f600);
  const wchar_t halves[] = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
  auto random_text = [&](std::size_t max_length, unsigned percent_b, bool others) {
    std::wstring text(random() % (max_length + 1), L'a');
    for (wchar_t& c : text) {
      c = random() % 100 < percent_b ? L'b' : L'a';
      if (others && random() % 16 == 0) c = random() % 2 ? L'\0' : rare;
      if (others && random() % 5 == 0) c = halves[random() % 2];
    }
    return text;
  };
  constexpr std::size_t kLengths[][2] = {
      {14, 4}, {14, 4}, {2 * kDirect + 40, 4}, {2 * kDirect + 40, 12}, {1500, 3}, {1500, 90}};
  for (int round = 0; round < 24000; ++round) {
    const auto [text_length, sub_length] = kLengths[round % std::size(kLengths)];
    const unsigned percent_b = round % 3 == 0 ? 50 : round % 3 == 1 ? 95 : 5;
    const bool others = round % 5 == 0;
    const std::wstring text = random_text(text_length, percent_b, others);
    const std::wstring sub = random_text(sub_length, percent_b, others);
    ASSERT_EQ(find_first(text, sub), first_by_trying_each(text, sub)) << text.size();
    ASSERT_EQ(walk(text, sub), each_occurrence(text, sub)) << text.size();
    if (!sub.empty()) {
      std::size_t from = text.empty() ? 0 : random() % text.size();
      if (text_unicode::inside_pair(text, from)) ++from;
      const std::size_t after = first_by_trying_each(text.substr(from), sub);
      ASSERT_EQ(Matcher(sub).find(text, from), after == npos ? npos : from + after);
    }
  }
}

TEST(Search, FindsTheOccurrenceRightAfterARunThatDefeatsTheScan) {
  // "b" n times then "a", searched for "b" m - 1 times then "a": the scan stops at every "b" and
  // each comparison reads about m characters, until the matcher takes over, at a place that
  // moves with n and m; the occurrence may begin anywhere after it, the next place included.
  for (const std::size_t m : {2u, 3u, 40u, 130u, 200u, 700u})
    for (std::size_t n = m; n < m + 80; ++n) {
      const std::wstring text = std::wstring(n, L'b') + L'a';
      const std::wstring sub = std::wstring(m - 1, L'b') + L'a';
      ASSERT_EQ(find_first(text, sub), n + 1 - m) << n << " " << m;
      ASSERT_EQ(walk(text + text, sub), (std::vector<std::size_t>{n + 1 - m, 2 * n + 2 - m}));
    }
}

// A lone surrogate searched for is one character: never half of a pair, in the direct search
// of a short text, in the scan of a long one and in the matcher; a pair is found whole.
TEST(Search, NeverFindsHalfOfASurrogatePair) {
  const std::wstring pair = L"\U0001F600";
  const std::wstring high(1, static_cast<wchar_t>(0xD83D)), low(1, static_cast<wchar_t>(0xDE00));
  for (const std::size_t padding : {std::size_t{2}, 2 * kDirect}) {
    const std::wstring before(padding, L'x');
    const std::wstring text = before + pair + low + L"y" + pair + high;
    const std::size_t lone_low = before.size() + pair.size();
    const std::size_t lone_high = text.size() - 1;
    EXPECT_EQ(find_first(text, low), lone_low);
    EXPECT_EQ(find_first(text, high), lone_high);
    EXPECT_EQ(find_first(text, low + L"y"), lone_low);
    EXPECT_EQ(find_first(text, pair), before.size());
    EXPECT_EQ(walk(text, pair), (std::vector<std::size_t>{before.size(), lone_low + 2}));
    EXPECT_EQ(Matcher(low).find(text, 0), lone_low);
    EXPECT_EQ(Matcher(L"y" + high).find(text, 0), npos);
  }
}

}  // namespace
}  // namespace text_search
