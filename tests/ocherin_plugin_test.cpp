// ocherin through the real loader: its registration and the codes it writes.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;
using Elements = std::vector<ULONG>;

std::vector<Value> codes(std::initializer_list<std::int32_t> list) {
  return std::vector<Value>(list.begin(), list.end());
}

TEST(OcherinRegistration, DeclaresTextInputSevenAndCodeOutput209) {
  icehost::PluginLibrary library(tests::plugin_path("ocherin"));
  const ULONG none = XSI::kNotFound;
  const std::vector<xsi_host::Call> port_calls = {
      {"AddInputPort",
       {7u, 100u, 131072u, 1u, 63u, std::wstring(L"String"), std::wstring(L"String"),
        std::wstring(L"default string"), Value(), Value(), none, none, 402u}},
      {"AddOutputPort",
       {209u, 2u, 2u, 63u, std::wstring(L"ASCII"), std::wstring(L"ASCII"), none, none, 402u}},
  };
  tests::expect_registration(library, L"ocherin", port_calls);
}

class Ocherin : public tests::PluginTest {
 protected:
  Ocherin() : PluginTest("ocherin", 4) {}

  void set(const std::wstring& text) { port(7).set_text(0, text); }
  std::vector<Value> ascii(ULONG k) { return port(209).items(k); }
};

TEST_F(Ocherin, DefaultTextGivesItsFourteenCodesToEveryElement) {
  EXPECT_EQ(evaluate(), (Elements{0, 1, 2, 3}));
  const auto expected = codes({100, 101, 102, 97, 117, 108, 116, 32, 115, 116, 114, 105, 110, 103});
  for (ULONG k = 0; k < 4; ++k) EXPECT_EQ(ascii(k), expected) << "element " << k;
}

TEST_F(Ocherin, EmptyTextSizesEveryElementToNoCodes) {
  const std::int32_t stale[] = {1, 2, 3};
  for (ULONG k = 0; k < 4; ++k) port(209).set_integers(k, stale);
  set(L"");
  EXPECT_EQ(evaluate(), (Elements{0, 1, 2, 3}));
  for (ULONG k = 0; k < 4; ++k) EXPECT_EQ(port(209).item_count(k), 0u);
}

TEST_F(Ocherin, CodesAreTheSignedBytesOfTheNarrowForm) {
  struct Case {
    std::wstring text;
    std::vector<Value> expected;
  };
  const Case cases[] = {
      {std::wstring{L'\u00e9'}, codes({-23})},
      {std::wstring{L'\u0080', L'\u00ff', L'\u007f'}, codes({-128, -1, 127})},
      // Beyond one byte: the narrow form's '?'.
      {std::wstring{L'a', L'\u2192', L'\u0100', L'b'}, codes({97, 63, 63, 98})},
      // An embedded NUL is a character: it gives 0 and the text goes on after it.
      {std::wstring{L'\0', L'a', L'\0', L'\0', L'b', L'\0'}, codes({0, 97, 0, 0, 98, 0})},
  };
  for (const Case& c : cases) {
    set(c.text);
    evaluation_.index_list({2});
    EXPECT_EQ(evaluate(), Elements{2});
    EXPECT_EQ(ascii(2), c.expected) << "text of " << c.text.size() << " characters";
  }
}

TEST_F(Ocherin, CharacterOutsideSixteenBitsIsOneOrTwoQuestionMarks) {
  // One wide character where wchar_t has 32 bits, a surrogate pair where it has 16.
  set(L"x\U0001F600");
  evaluate();
  EXPECT_EQ(ascii(0), sizeof(wchar_t) == 2 ? codes({120, 63, 63}) : codes({120, 63}));
}

TEST_F(Ocherin, OnlyElementZeroOfTheInputIsRead) {
  set(L"Az");
  port(7).set_text(1, L"other");
  port(7).set_text(3, L"");
  evaluation_.index_list({3, XSI::kNotFound, 1});
  EXPECT_EQ(evaluate(), (Elements{1, 3}));
  EXPECT_EQ(ascii(1), codes({65, 122}));
  EXPECT_EQ(ascii(3), codes({65, 122}));
}

TEST_F(Ocherin, PullOfAnotherPortAcquiresNothing) {
  for (const ULONG pulled : {200u, 208u}) {
    evaluation_.pull(pulled);
    const xsi_host::CallResult result = evaluation_.run(library_.evaluate());
    EXPECT_EQ(result.status, XSI::CStatus::OK);
    EXPECT_TRUE(result.faults.empty());
    EXPECT_EQ(result.acquisitions, 0u) << "port " << pulled;
    for (ULONG k = 0; k < 4; ++k) EXPECT_FALSE(port(209).written(k));
  }
}

TEST_F(Ocherin, EmptyIndexSetWritesNothing) {
  evaluation_.index_range(0);
  EXPECT_EQ(evaluate(), Elements{});
}

TEST_F(Ocherin, ConstantOutputHoldsTheLastCodeInSlotZero) {
  // While the flag is set only slot 0 is written: the other slots keep what sizing left there,
  // the old items in the ordinary host, garbage in the unforgiving one.
  const std::vector<std::int32_t> stale(5, -5);
  port(209).set_integers(1, stale);
  port(209).constant = true;
  set(L"hello");
  evaluation_.index_list({1});
  EXPECT_EQ(evaluate(), Elements{1});
  ASSERT_EQ(ascii(1).size(), 5u);
  EXPECT_EQ(ascii(1)[0], Value(111));
  if (!evaluation_.strict()) {
    EXPECT_EQ(ascii(1), codes({111, -5, -5, -5, -5}));
  }
}

}  // namespace
