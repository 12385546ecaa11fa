#include "wildcard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text_unicode/characters.h"

namespace textmatch {
namespace {

// What Python's fnmatch.fnmatchcase gives (3.11, checked when this table was written): each
// pattern beside the texts of kTexts it matches, the sets' edges first.
const std::vector<std::wstring> kTexts = {
    L"a",     L"b",  L"-",     L"z",   L"x",   L"]",  L"!",
    L"\\",    L"c",  L"[",     L"d",   L"e",   L"zx", L"sim_0042.bgeo",
    L".bgeo", L"ab", L"aXbYc", L"aab", L"[!]", L"*",  L""};

TEST(MatchesWildcard, ReadsSetsAsPythonsTranslationDoes) {
  const struct {
    std::wstring pattern;
    std::vector<std::wstring> matched;
  } cases[] = {
      {L"[a-z-b]", {L"a", L"b", L"-", L"z", L"x", L"c", L"d", L"e"}},
      {L"[z-a]x", {}},
      {L"[!]", {L"[!]"}},
      {L"[]]", {L"]"}},
      {L"[!]]", {L"a", L"b", L"-", L"z", L"x", L"!", L"\\", L"c", L"[", L"d", L"e", L"*"}},
      {L"[a-]", {L"a", L"-"}},
      {L"[-a]", {L"a", L"-"}},
      {L"[\\]", {L"\\"}},
      {L"[a--c]", {L"c"}},
      {L"[!b-a]", {L"a", L"b", L"-", L"z", L"x", L"]", L"!", L"\\", L"c", L"[", L"d", L"e", L"*"}},
      {L"[c-a-z]", {L"-", L"z"}},
      {L"a[", {}},
      {L"[!-a]", {L"b", L"z", L"x", L"]", L"!", L"\\", L"c", L"[", L"d", L"e", L"*"}},
      {L"*.bgeo", {L"sim_0042.bgeo", L".bgeo"}},
      {L"sim_????.*", {L"sim_0042.bgeo"}},
      {L"**a*b", {L"ab", L"aab"}},
      {L"?", {L"a", L"b", L"-", L"z", L"x", L"]", L"!", L"\\", L"c", L"[", L"d", L"e", L"*"}},
      {L"[!a-c]", {L"-", L"z", L"x", L"]", L"!", L"\\", L"[", L"d", L"e", L"*"}},
      {L"[a-c-e]", {L"a", L"b", L"-", L"c", L"e"}},
      {L"[[]", {L"["}},
      {L"[!!]", {L"a", L"b", L"-", L"z", L"x", L"]", L"\\", L"c", L"[", L"d", L"e", L"*"}},
      {L"a*b*c", {L"aXbYc"}},
      {L"\\*", {L"\\"}},
  };
  for (const auto& c : cases)
    for (const std::wstring& text : kTexts)
      EXPECT_EQ(matches_wildcard(text, c.pattern),
                std::find(c.matched.begin(), c.matched.end(), text) != c.matched.end())
          << "pattern of " << c.pattern.size() << " characters, text of " << text.size();
}

// The plain way: each star tried at every length, on code points.
bool plainly(const std::u32string& text, const std::u32string& pattern) {
  if (pattern.empty()) return text.empty();
  if (pattern[0] == U'*') {
    for (std::size_t skip = 0; skip <= text.size(); ++skip)
      if (plainly(text.substr(skip), pattern.substr(1))) return true;
    return false;
  }
  return !text.empty() && (pattern[0] == U'?' || pattern[0] == text[0]) &&
         plainly(text.substr(1), pattern.substr(1));
}

std::wstring wide(const std::u32string& codes) {
  std::wstring text;
  for (const char32_t code : codes) {
    wchar_t units[2];
    text.append(units, text_unicode::encode(code, units));
  }
  return text;
}

// Random stars, marks and letters, a character past U+FFFF among them, which ? takes whole.
TEST(MatchesWildcard, AgreesWithTryingEveryStarLengthOnRandomPatterns) {
  std::mt19937 random(20261208);
  const char32_t pattern_letters[] = {U'a', U'b', U'*', U'?', U'\U0001F600'};
  const char32_t text_letters[] = {U'a', U'b', U'\U0001F600'};
  for (int round = 0; round < 20000; ++round) {
    std::u32string pattern(random() % 8, U'a'), text(random() % 10, U'a');
    for (char32_t& c : pattern) c = pattern_letters[random() % 5];
    for (char32_t& c : text) c = text_letters[random() % 3];
    ASSERT_EQ(matches_wildcard(wide(text), wide(pattern)), plainly(text, pattern))
        << round << ": pattern of " << pattern.size() << ", text of " << text.size();
  }
}

// Stars that a matcher trying each at every length would take exponential time over: here each
// mismatch goes back to the last star alone, so 200,000 characters take a moment.
TEST(MatchesWildcard, ManyStarsOverALongTextTakeNoBacktrackingPerStar) {
  const std::wstring text(200'000, L'a');
  EXPECT_FALSE(matches_wildcard(text, L"*a*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_TRUE(matches_wildcard(text + L"b", L"*a*a*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace textmatch
