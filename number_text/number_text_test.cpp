// Reading numbers from text: what a user typing a piece of a delimited text gets, as a 32-bit
// float and as a 32-bit integer, whatever the process's locale.
#include "number_text/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using number_text::read_float;
using number_text::read_integer;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr float kInf = std::numeric_limits<float>::infinity();

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }
std::string narrow(std::wstring_view text) { return std::string(text.begin(), text.end()); }

TEST(ReadFloat, NoNumberReadsAsZero) {
  // Only ASCII white space is skipped, and only ASCII digits are digits.
  const std::wstring texts[] = {L"",    L"   ", L"abc", L".",   L"+",       L"-",     L"e5",
                                L"++5", L"+-1", L"-+1", L"- 5", L"\u00a05", L"\u0665"};
  for (const std::wstring& text : texts) {
    EXPECT_EQ(bits(read_float(text)), 0u) << text.size();
    EXPECT_EQ(read_integer(text), 0) << text.size();
  }
  // White space to the end of a view that more white space and a digit follow.
  const std::wstring_view blank = std::wstring_view(L"   1").substr(0, 2);
  EXPECT_EQ(bits(read_float(blank)), 0u);
  EXPECT_EQ(read_integer(blank), 0);
}

TEST(ReadFloat, IgnoresWhiteSpaceAndAcceptsOneLeadingSign) {
  EXPECT_EQ(read_float(L" \t12 \n"), 12.0f);
  EXPECT_EQ(read_float(L"\r\v\f+4.6704993"), 4.6704993f);
  EXPECT_EQ(read_float(L"  -0.5  "), -0.5f);
  EXPECT_EQ(read_float(L"1.5e3 junk"), 1500.0f);  // the longest number at the start
  EXPECT_EQ(read_float(L"1,5"), 1.0f);            // a comma is never a decimal point
  EXPECT_EQ(read_float(L"0x10"), 0.0f);           // no hexadecimal
}

// The characters of a number are copied to the stack up to a length, and past it to the heap:
// a number of any length reads the same, whatever follows it, and nothing past the text is read
// (here, digits that lie just past its end).
TEST(ReadNumber, ANumberReadsTheSameAtEveryLength) {
  for (std::size_t length = 3; length <= 130; ++length) {
    const std::wstring number = std::wstring(length - 3, L'0') + L"1.5";
    const std::wstring texts[] = {number, L" " + number, number + L"x", number + L"0e",
                                  number + L"77"};
    for (std::wstring_view text : texts) {
      if (text.ends_with(L"77")) text.remove_suffix(2);
      EXPECT_EQ(read_float(text), 1.5f) << length;
      EXPECT_EQ(read_integer(text), 1) << length;
    }
  }
}

TEST(ReadFloat, ReadsPointsAndExponents) {
  EXPECT_EQ(read_float(L".5"), 0.5f);
  EXPECT_EQ(read_float(L"5."), 5.0f);
  EXPECT_EQ(read_float(L"+.5e1"), 5.0f);
  EXPECT_EQ(read_float(L"1E2"), 100.0f);
  EXPECT_EQ(read_float(L"12e-1"), 1.2f);
  EXPECT_EQ(read_float(L"1e+"), 1.0f);  // an exponent without digits is not part of the number
  EXPECT_EQ(bits(read_float(L"-0")), bits(-0.0f));
}

TEST(ReadFloat, ReadsInfinityAndNan) {
  EXPECT_EQ(read_float(L"inf"), kInf);
  EXPECT_EQ(read_float(L"-INF"), -kInf);
  EXPECT_EQ(read_float(L"+Infinity"), kInf);
  EXPECT_EQ(read_float(L"infinit"), kInf);
  EXPECT_TRUE(std::isnan(read_float(L"nan")));
  EXPECT_TRUE(std::isnan(read_float(L" NaN ")));
  EXPECT_TRUE(std::isnan(read_float(L"-nan(1)x")));
}

// The less common forms a user may type, and their neighbours, as a float and as an integer.
TEST(ReadNumber, UpperCaseExponentBarePointsAndExponentsWithoutDigits) {
  const struct {
    const wchar_t* text;
    float real;
    std::int32_t integer;
  } cases[] = {
      {L"1E5", 1e5f, 100000},    {L"2.5E-3", 2.5e-3f, 0}, {L"2.5E3", 2500.0f, 2500},
      {L"-1E+2", -100.0f, -100}, {L"1E10", 1e10f, kMax},  {L"+.5", 0.5f, 0},
      {L"-.5e1", -5.0f, -5},     {L"5.", 5.0f, 5},        {L"5.e1", 50.0f, 50},
      {L".e3", 0.0f, 0},         {L"1e", 1.0f, 1},        {L"1E", 1.0f, 1},
      {L"1e+", 1.0f, 1},         {L"1E-", 1.0f, 1},       {L"1e+x", 1.0f, 1},
      {L"1e2.5", 100.0f, 100},  // the exponent is whole: ".5" follows the number
      {L"1.5.5", 1.5f, 1},       {L"007.50", 7.5f, 7},    {L"10e-1", 1.0f, 1},
      {L"0.05E2", 5.0f, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(bits(read_float(c.text)), bits(c.real)) << narrow(c.text);
    EXPECT_EQ(read_integer(c.text), c.integer) << narrow(c.text);
  }
}

// "inf", "infinity" and "nan" in any case, a NaN with a payload in parentheses, and the prefixes
// that are none of them.
TEST(ReadNumber, InfinityAndNanInAnyCaseWithAPayload) {
  for (const wchar_t* text :
       {L"INF", L"Inf", L"infinity", L"INFINITY", L"infinityx", L"infx", L"+iNf", L"inff"}) {
    EXPECT_EQ(read_float(text), kInf) << narrow(text);
    EXPECT_EQ(read_integer(text), kMax) << narrow(text);
  }
  EXPECT_EQ(read_float(L"-INFINITY"), -kInf);
  EXPECT_EQ(read_integer(L"-INF"), kMin);
  for (const wchar_t* text : {L"nan(123)", L"NAN(0x7f)", L"NaN()", L"nan(abc_Z9)", L"-NAN(1)",
                              L"nan(", L"nan(1", L"nanx", L"NAN"}) {
    EXPECT_TRUE(std::isnan(read_float(text))) << narrow(text);
    EXPECT_EQ(read_integer(text), 0) << narrow(text);
  }
  for (const wchar_t* text :
       {L"i", L"in", L"inx", L"n", L"na", L"nax", L"-in", L"+na", L"nfinity", L"an"}) {
    EXPECT_EQ(bits(read_float(text)), 0u) << narrow(text);
    EXPECT_EQ(read_integer(text), 0) << narrow(text);
  }
}

TEST(ReadFloat, OverflowGivesInfinityAndUnderflowZeroOfTheSign) {
  EXPECT_EQ(read_float(L"1e39"), kInf);
  EXPECT_EQ(read_float(L"-1e39"), -kInf);
  EXPECT_EQ(read_float(L"1e4294967296"), kInf);
  EXPECT_EQ(read_float(L"1e99999999999999999999999"), kInf);
  EXPECT_EQ(bits(read_float(L"1e-50")), bits(0.0f));
  EXPECT_EQ(bits(read_float(L"-1e-50")), bits(-0.0f));
  EXPECT_EQ(bits(read_float(L"1e-4294967296")), bits(0.0f));
  EXPECT_EQ(bits(read_float(L"0e999999999999")), bits(0.0f));
}

// Decimal texts of values at or next to a rounding boundary, with the correctly rounded result.
TEST(ReadFloat, RoundsHardCasesCorrectly) {
  const std::wstring max_half = L"340282356779733661637539395458142568448";  // FLT_MAX + ulp/2
  const std::wstring min_half =  // half the smallest denormal, 2^-150
      L"7.00649232162408535461864791644958065640130970938257885878534141944895541342930300743319"
      L"094181060791015625e-46";
  const struct {
    std::wstring text;
    std::uint32_t expected;
  } cases[] = {
      {max_half, bits(kInf)},                                    // a tie rounds to even: up
      {L"340282356779733661637539395458142568447", 0x7f7fffff},  // just below the tie
      {L"3.4028235e38", 0x7f7fffff},
      {min_half, 0},  // a tie rounds to even: down to 0
      {L"7.0064923216240853546186479164495806564013097093825788587853414194489554134293030074331"
       L"90941810607910156251e-46",
       1},  // just above the tie
      {L"1.4e-45", 1},
      {L"1e-40", 0x000116c2},          // a denormal
      {L"1.1754942e-38", 0x007fffff},  // the largest denormal
      {L"1.17549435e-38", 0x00800000},
      {L"1.000000059604644775390625", 0x3f800000},   // 1 + ulp/2: a tie, down to even
      {L"1.0000000596046447753906251", 0x3f800001},  // just above it
      {L"16777217", 0x4b800000},                     // 2^24 + 1: a tie, down to even
      {L"16777219", 0x4b800002},                     // 2^24 + 3: a tie, up to even
      {L"1" + std::wstring(5000, L'0') + L"e-5000", 0x3f800000},
      {L"0." + std::wstring(5000, L'0') + L"1e5001", 0x3f800000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(bits(read_float(c.text)), c.expected) << std::string(c.text.begin(), c.text.end());
}

// Random decimal texts, across the whole range from below the smallest denormal to past the
// largest float, and plain ones without an exponent (which have a quicker way in), after white
// space and before what may or may not continue the number, against the C library's correctly
// rounded strtof in the C locale: the value, and the characters read.
TEST(ReadFloat, MatchesStrtofOnRandomDecimals) {
  ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
  const std::string spaces = " \t\n\v\f\r";
  const char* const tails[] = {"", " m", "e", "E+", "e-x", ".5", "x", "e5"};
  std::mt19937 random(20240611);
  for (int round = 0; round < 200000; ++round) {
    std::string text(random() % 3, spaces[random() % spaces.size()]);
    text += random() % 2 ? "-" : "";
    const int digits = 1 + static_cast<int>(random() % 20);
    const int point = static_cast<int>(random() % (digits + 1));
    for (int i = 0; i < digits; ++i) {
      if (i == point && i > 0) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    if (round % 2 == 0) text += 'e' + std::to_string(static_cast<int>(random() % 100) - 60);
    text += tails[random() % std::size(tails)];
    char* end = nullptr;
    const float expected = std::strtof(text.c_str(), &end);
    ASSERT_EQ(bits(read_float(widen(text))), bits(expected)) << text;
    ASSERT_EQ(number_text::read_leading_float(widen(text)).length,
              static_cast<std::size_t>(end - text.c_str()))
        << text;
  }
}

TEST(ReadInteger, TruncatesTowardZero) {
  EXPECT_EQ(read_integer(L"2.9"), 2);
  EXPECT_EQ(read_integer(L"-2.9"), -2);
  EXPECT_EQ(read_integer(L"-0.9"), 0);
  EXPECT_EQ(read_integer(L"0.05"), 0);
  EXPECT_EQ(read_integer(L"12e-1"), 1);
  EXPECT_EQ(read_integer(L"1.5e1"), 15);
  EXPECT_EQ(read_integer(L"0.0012e4"), 12);
  EXPECT_EQ(read_integer(L"12345678901234567890e-10"), 1234567890);
  EXPECT_EQ(read_integer(L" \t+7 \n"), 7);
  EXPECT_EQ(read_integer(L"16777217"), 16777217);  // exact, not through a float
  EXPECT_EQ(read_integer(L"1,5"), 1);
}

TEST(ReadInteger, SaturatesAtBothLimits) {
  EXPECT_EQ(read_integer(L"2147483647"), kMax);
  EXPECT_EQ(read_integer(L"2147483647.99"), kMax);
  EXPECT_EQ(read_integer(L"2147483648"), kMax);
  EXPECT_EQ(read_integer(L"-2147483648"), kMin);
  EXPECT_EQ(read_integer(L"-2147483648.99"), kMin);
  EXPECT_EQ(read_integer(L"-2147483649"), kMin);
  EXPECT_EQ(read_integer(L"1e10"), kMax);
  EXPECT_EQ(read_integer(L"-1e10"), kMin);
  EXPECT_EQ(read_integer(L"9999999999999999999999"), kMax);
  EXPECT_EQ(read_integer(L"-9999999999999999999999"), kMin);
  EXPECT_EQ(read_integer(L"1e99999999999999999999999"), kMax);
}

TEST(ReadInteger, InfinitySaturatesAndNanReadsAsZero) {
  EXPECT_EQ(read_integer(L"inf"), kMax);
  EXPECT_EQ(read_integer(L"-Infinity"), kMin);
  EXPECT_EQ(read_integer(L"nan"), 0);
  EXPECT_EQ(read_integer(L"-nan"), 0);
  EXPECT_EQ(number_text::truncate_to_int32(std::nan("")), 0);
  EXPECT_EQ(number_text::truncate_to_int32(-3.99), -3);
  EXPECT_EQ(number_text::truncate_to_int32(1e300), kMax);
  EXPECT_EQ(number_text::truncate_to_int32(-1e300), kMin);
}

// Sets a locale whose decimal separator is a comma, for the C library and for C++ streams, and
// restores the C locale afterwards.
class CommaLocale : public ::testing::Test {
 protected:
  static constexpr const char* kName = "de_DE.UTF-8";

  void SetUp() override {
    if (std::setlocale(LC_ALL, kName) == nullptr) GTEST_SKIP() << kName << " is not installed";
    std::locale::global(std::locale(kName));
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
  }
};

TEST_F(CommaLocale, ReadsTheSameNumbers) {
  const std::vector<std::wstring> texts = {
      L"1.36", L"4.6704993", L" +83.2243 ", L"1,5",         L"-2.9", L"1e-40", L"1e39", L"1.5e3",
      L"nan",  L"inf",       L"2147483648", L"-2147483649", L"0,5",  L"abc",   L".5",   L"12e-1"};
  // The results in the C locale, taken first.
  std::setlocale(LC_ALL, "C");
  std::vector<std::uint32_t> floats;
  std::vector<std::int32_t> integers;
  for (const std::wstring& text : texts) {
    floats.push_back(bits(read_float(text)));
    integers.push_back(read_integer(text));
  }
  std::setlocale(LC_ALL, kName);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(bits(read_float(texts[i])), floats[i]) << i;
    EXPECT_EQ(read_integer(texts[i]), integers[i]) << i;
  }
  EXPECT_EQ(read_float(L"1.36"), 1.36f);
  EXPECT_EQ(read_float(L"1,5"), 1.0f);
  EXPECT_EQ(read_float(L"0,5"), 0.0f);
  EXPECT_EQ(read_integer(L"2.9"), 2);
}

TEST_F(CommaLocale, FormatsWithAPoint) {
  char text[number_text::kMaxDigits];
  EXPECT_EQ(std::string(text, number_text::format_float(1.36f, text)), "1.36");
  EXPECT_EQ(std::string(text, number_text::format_float(-2.5e-7f, text)), "-2.5e-07");
  EXPECT_EQ(std::string(text, number_text::format_integer(-1234567, text)), "-1234567");
}

}  // namespace
