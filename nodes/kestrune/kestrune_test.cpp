#include <gtest/gtest.h>

#include "kestrune.h"
#include "removal.h"

#include <random>
#include <string>

#include "text_unicode/characters.h"

namespace kestrune {
namespace {

// The first occurrence of sub that splits no surrogate pair, by trying each position.
std::size_t first_whole(const std::wstring& text, const std::wstring& sub) {
  for (std::size_t at = 0; at + sub.size() <= text.size(); ++at)
    if (text.compare(at, sub.size(), sub) == 0 && !text_unicode::inside_pair(text, at) &&
        !text_unicode::inside_pair(text, at + sub.size()))
      return at;
  return std::wstring::npos;
}

// The obviously correct form of the repeated removal: search from the start, cut, again.
std::wstring remove_repeatedly(std::wstring text, const std::wstring& sub) {
  for (std::size_t at = first_whole(text, sub); !sub.empty() && at != std::wstring::npos;
       at = first_whole(text, sub))
    text.erase(at, sub.size());
  return text;
}

TEST(RemoveAt, KeepsBothSides) {
  EXPECT_EQ(remove_at(L"xaby ab", 1, 2), L"xy ab");
  EXPECT_EQ(remove_at(L"abc", 0, 3), L"");
  EXPECT_EQ(remove_at(L"-12", 2, 1), L"-1");  // a result may equal the marker text
}

TEST(RemoveAll, RemovesOccurrencesTheRemovalJoins) {
  EXPECT_EQ(remove_all(L"aabb", L"ab"), L"");
  EXPECT_EQ(remove_all(L"aaaa", L"aa"), L"");
  EXPECT_EQ(remove_all(L"aaa", L"aa"), L"a");
  EXPECT_EQ(remove_all(L"xaby ab", L"ab"), L"xy ");
  EXPECT_EQ(remove_all(L"abc", L""), L"abc");
}

TEST(RemoveAll, WorksOnWideCharactersAndEmbeddedNul) {
  const std::wstring text{L'\u00e9', L'\0', L'\u2192', L'x', L'\u2192', L'\0', L'y'};
  const std::wstring sub{L'\u2192', L'x'};
  const std::wstring expected{L'\u00e9', L'\0', L'\u2192', L'\0', L'y'};
  EXPECT_EQ(remove_all(text, sub), expected);
  EXPECT_EQ(remove_at(text, 2, 2), expected);
}

TEST(RemoveAll, MatchesTheRepeatedRemovalOnRandomTexts) {
  // Short texts, and texts on either side of the length where the direct cut gives way to the
  // matcher (text_search::kDirect); every fourth round with the halves of a surrogate pair among
  // the letters, which a removal may bring together and no occurrence may split.
  std::mt19937 random(20261207);
  const wchar_t letters[] = {L'a', L'b', static_cast<wchar_t>(0xD83D),
                             static_cast<wchar_t>(0xDE00)};
  for (int round = 0; round < 20000; ++round) {
    const unsigned kinds = round % 3 == 1 ? 4 : 2;
    auto random_text = [&](std::size_t max_length) {
      std::wstring text(random() % (max_length + 1), L'a');
      for (wchar_t& c : text) c = letters[random() % kinds];
      return text;
    };
    const std::wstring text = random_text(round % 4 == 0 ? 300 : 14);
    std::wstring sub = random_text(4);
    if (sub.empty()) sub = L"a";
    ASSERT_EQ(remove_all(text, sub), remove_repeatedly(text, sub)) << "text " << text.size();
    const std::size_t at = first_whole(text, sub);
    if (at != std::wstring::npos) {
      std::wstring once = text;
      ASSERT_EQ(remove_at(text, at, sub.size()), once.erase(at, sub.size()));
    }
  }
}

// The node's computation: the removal, once or until none is left, or no result when the inputs
// do not suit.
TEST(Compute, RemovesTheFirstOrEveryOccurrence) {
  const std::wstring text =
      L"this_string_has_a_subString_and_another_subString_and_yet_another_subString_in_it";
  EXPECT_EQ(*Kestrune::compute(text, L"subString", false),
            L"this_string_has_a__and_another_subString_and_yet_another_subString_in_it");
  EXPECT_EQ(*Kestrune::compute(text, L"subString", true),
            L"this_string_has_a__and_another__and_yet_another__in_it");
  EXPECT_EQ(*Kestrune::compute(L"aabb", L"ab", false), L"ab");
  EXPECT_EQ(*Kestrune::compute(L"aabb", L"ab", true), L"");
  EXPECT_EQ(*Kestrune::compute(L"same", L"same", false), L"");
}

TEST(Compute, EmptyOrAbsentTextsDoNotSuit) {
  const std::pair<std::wstring, std::wstring> unsuitable[] = {
      {L"abc", L""}, {L"", L"a"}, {L"", L""}, {L"abc", L"abcd"}, {L"abc", L"x"}, {L"abc", L"ABC"}};
  for (const auto& [text, sub] : unsuitable) {
    for (const bool all : {false, true}) {
      const frame::Result<std::wstring> result = Kestrune::compute(text, sub, all);
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.why(), frame::NoResult::unsuitable);
    }
  }
}

}  // namespace
}  // namespace kestrune
