#include "text_unicode/normalization.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cwchar>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "text_unicode/characters.h"

namespace text_unicode {
namespace {

constexpr NormalForm kForms[] = {NormalForm::nfc, NormalForm::nfd, NormalForm::nfkc,
                                 NormalForm::nfkd};
constexpr const char* kFormNames[] = {"NFC", "NFD", "NFKC", "NFKD"};

// A text written as characters: code points, U+D800 to U+DFFF among them as lone surrogates.
std::wstring wide(std::u32string_view codes) {
  std::wstring text;
  for (const char32_t code : codes) {
    wchar_t units[2];
    text.append(units, encode(code, units));
  }
  return text;
}

std::wstring normalized(std::wstring_view text, NormalForm form) {
  return std::wstring(Normalized(text, form).view());
}

// The database's conformance file, read line by line: five columns of code points each.
struct ConformanceLine {
  int part;
  std::string source;
  std::array<std::wstring, 5> column;
  char32_t single;  // in part 1, the one character the line is about
};

std::vector<ConformanceLine> read_conformance(const std::string& path) {
  std::ifstream file(path);
  std::vector<ConformanceLine> lines;
  int part = -1;
  for (std::string line; std::getline(file, line);) {
    if (line.starts_with("@Part")) part = line[5] - '0';
    if (line.empty() || line[0] == '#' || line[0] == '@') continue;
    ConformanceLine read{part, line, {}, 0};
    std::istringstream fields(line);
    for (std::wstring& column : read.column) {
      std::string field;
      std::getline(fields, field, ';');
      std::istringstream codes(field);
      std::u32string text;
      for (std::string code; codes >> code;)
        text += static_cast<char32_t>(std::stoul(code, nullptr, 16));
      if (&column == &read.column[0] && text.size() == 1) read.single = text[0];
      column = wide(text);
    }
    lines.push_back(std::move(read));
  }
  return lines;
}

// The five rules of each line: with c1..c5 its columns,
//   c2 == NFC(c1) == NFC(c2) == NFC(c3),     c4 == NFC(c4) == NFC(c5)
//   c3 == NFD(c1) == NFD(c2) == NFD(c3),     c5 == NFD(c4) == NFD(c5)
//   c4 == NFKC(c1) == ... == NFKC(c5),       c5 == NFKD(c1) == ... == NFKD(c5)
// The first rule a line breaks, or an empty text.
std::string broken_rule(const ConformanceLine& line) {
  // The column each form must give of each column, 1-based as the file counts them.
  constexpr int kWanted[4][5] = {
      {2, 2, 2, 4, 4}, {3, 3, 3, 5, 5}, {4, 4, 4, 4, 4}, {5, 5, 5, 5, 5}};
  for (int f = 0; f < 4; ++f)
    for (int c = 0; c < 5; ++c)
      if (normalized(line.column[c], kForms[f]) != line.column[kWanted[f][c] - 1])
        return std::string(kFormNames[f]) + "(c" + std::to_string(c + 1) + ") != c" +
               std::to_string(kWanted[f][c]);
  return {};
}

class Conformance : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(TEXTNODES_NORMALIZATION_TEST).empty())
      GTEST_SKIP() << "no NormalizationTest.txt.bz2 in the Unicode Character Database here";
    lines_ = read_conformance(TEXTNODES_NORMALIZATION_TEST);
    ASSERT_GT(lines_.size(), 10'000u) << TEXTNODES_NORMALIZATION_TEST;
  }

  std::vector<ConformanceLine> lines_;
};

TEST_F(Conformance, EveryLineKeepsTheFiveRules) {
  std::size_t passed = 0;
  for (const ConformanceLine& line : lines_) {
    const std::string broken = broken_rule(line);
    if (broken.empty())
      ++passed;
    else if (lines_.size() - passed <= 20)  // the first failures tell; the count tells the rest
      ADD_FAILURE() << broken << ": " << line.source;
  }
  EXPECT_EQ(passed, lines_.size());
  std::cout << passed << " of " << lines_.size() << " lines of the conformance file pass\n";
}

// Characters the file does not list in part 1 are their own normal form in every form.
TEST_F(Conformance, EveryCharacterNotListedStaysAsItIs) {
  std::set<char32_t> listed;
  for (const ConformanceLine& line : lines_)
    if (line.part == 1) listed.insert(line.single);
  ASSERT_GT(listed.size(), 10'000u);
  for (char32_t code = 0; code <= kLastCodePoint; ++code) {
    if (listed.count(code) != 0) continue;
    const std::wstring text = wide(std::u32string(1, code));
    for (const NormalForm form : kForms)
      ASSERT_EQ(normalized(text, form), text) << std::hex << static_cast<std::uint32_t>(code);
  }
}

// Every line's columns in one long text, each after a line feed, which neither composes nor
// orders with what follows it: the text's normal form is the lines' forms in turn. A form that
// goes wrong once its buffers outgrow the object, or after the text's first change, fails.
TEST_F(Conformance, OneLongTextOfEveryLineIsTheirFormsInTurn) {
  for (int f = 0; f < 4; ++f) {
    constexpr int kWanted[4] = {2, 3, 4, 5};
    std::wstring text, wanted;
    for (const ConformanceLine& line : lines_) {
      for (int c = 0; c < 5; ++c) text += L'\n' + line.column[c];
      for (int c = 0; c < 5; ++c) {
        const int want = f < 2 && c >= 3 ? kWanted[f] + 2 : kWanted[f];
        wanted += L'\n' + line.column[want - 1];
      }
    }
    EXPECT_TRUE(normalized(text, kForms[f]) == wanted) << kFormNames[f];
  }
}

TEST(CombiningClass, AgreesWithTheDatabaseForEveryCharacter) {
  std::ifstream data(TEXTNODES_UCD "/UnicodeData.txt");
  ASSERT_TRUE(data) << TEXTNODES_UCD;
  std::vector<std::uint8_t> classes(0x110001, 0);
  for (std::string line; std::getline(data, line);) {
    std::istringstream fields(line);
    std::string code, name, category, combining;
    std::getline(fields, code, ';');
    std::getline(fields, name, ';');
    std::getline(fields, category, ';');
    std::getline(fields, combining, ';');
    classes[std::stoul(code, nullptr, 16)] = static_cast<std::uint8_t>(std::stoi(combining));
  }
  for (char32_t code = 0; code <= kLastCodePoint + 1; ++code)
    ASSERT_EQ(combining_class(code), classes[code]) << std::hex << static_cast<std::uint32_t>(code);
  EXPECT_EQ(combining_class(0xFFFFFFFF), 0);
}

// A text that passes the quick check is the text itself; one that fails is built, whatever its
// length.
TEST(Normalized, GivesTheTextItselfWhereItPassesTheQuickCheck) {
  for (const std::wstring& text : {std::wstring(L"plain ASCII"), std::wstring(L""),
                                   std::wstring(L"Caf\u00e9 \uac00 \u0410")}) {
    for (const NormalForm form : {NormalForm::nfc, NormalForm::nfkc})
      EXPECT_EQ(Normalized(text, form).view().data(), text.data());
  }
  const std::wstring decomposed = L"Cafe\u0301";
  EXPECT_EQ(Normalized(decomposed, NormalForm::nfd).view().data(), decomposed.data());
  EXPECT_NE(Normalized(decomposed, NormalForm::nfc).view().data(), decomposed.data());
  EXPECT_EQ(Normalized::unchanged(L"e\u0301").view(), L"e\u0301");
  // Changed past the inline array, at its end and at its start.
  const std::wstring long_text(200, L'x');
  EXPECT_EQ(normalized(long_text + L"e\u0301", NormalForm::nfc), long_text + L"\u00e9");
  EXPECT_EQ(normalized(L"\u00e9" + long_text, NormalForm::nfd), L"e\u0301" + long_text);
  // Each ligature of U+FDFA grows to 18 characters: the text outgrows every first guess.
  EXPECT_EQ(normalized(std::wstring(100, L'\ufdfa'), NormalForm::nfkd).size(), 1800u);
}

// 100,000 marks after one starter, two classes alternating out of order: each class keeps its
// marks' order, and NFC composes the first acute with the a, the grave accents below it between
// them but of a lower class.
TEST(Normalized, OrdersAHundredThousandMarksAfterOneStarter) {
  constexpr std::size_t kPairs = 50'000;
  std::wstring text = L"a";
  for (std::size_t i = 0; i < kPairs; ++i) text += L"\u0301\u0316";
  EXPECT_TRUE(normalized(text, NormalForm::nfd) ==
              L"a" + std::wstring(kPairs, L'\u0316') + std::wstring(kPairs, L'\u0301'));
  EXPECT_TRUE(normalized(text, NormalForm::nfc) ==
              L"\u00e1" + std::wstring(kPairs, L'\u0316') + std::wstring(kPairs - 1, L'\u0301'));
}

// A character past U+FFFF is one character, a pair where wchar_t holds 16 bits; a lone surrogate
// and a code that is no character are starters that stay as they are, between which marks are
// ordered and nothing composes.
TEST(Normalized, TakesCharactersWholeAndLeavesWhatIsNoCharacter) {
  EXPECT_EQ(normalized(wide(U"\U0001D15E"), NormalForm::nfd), wide(U"\U0001D157\U0001D165"));
  EXPECT_EQ(normalized(wide(U"\U0001D157\U0001D165"), NormalForm::nfc),
            wide(U"\U0001D157\U0001D165"));
  EXPECT_EQ(normalized(wide(U"\U0001D400\u0301"), NormalForm::nfkc), L"\u00c1");
  EXPECT_EQ(normalized(wide(U"e\xD800\u0301\u0316"), NormalForm::nfc),
            wide(U"e\xD800\u0316\u0301"));
  EXPECT_EQ(normalized(wide(U"\xDC00\u0301e\u0301\xD83D"), NormalForm::nfc),
            wide(U"\xDC00\u0301\u00e9\xD83D"));
  if constexpr (sizeof(wchar_t) == 4) {
    const std::wstring past = {L'e', static_cast<wchar_t>(0x110000), L'\u0301', L'\u00e9',
                               static_cast<wchar_t>(-1)};
    const std::wstring past_decomposed = {
        L'e', static_cast<wchar_t>(0x110000), L'\u0301', L'e', L'\u0301', static_cast<wchar_t>(-1)};
    EXPECT_EQ(normalized(past, NormalForm::nfd), past_decomposed);
    EXPECT_EQ(normalized(past_decomposed, NormalForm::nfc), past);
  }
}

}  // namespace
}  // namespace text_unicode
