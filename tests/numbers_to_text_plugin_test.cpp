// vireth and tamsel through the real loader: one text per number, element by element. What the
// two nodes share is tested once over both; what each number type gives as text, per node.
#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;
using Elements = std::vector<ULONG>;

struct Vireth {
  using Number = float;
  static constexpr const char* name = "vireth";
  static constexpr ULONG data_type = 4;
  static constexpr const wchar_t* input_name = L"Scalar";
  static void set(xsi_host::PortData& port, ULONG k, const std::vector<Number>& items) {
    port.set_floats(k, items);
  }
};

struct Tamsel {
  using Number = std::int32_t;
  static constexpr const char* name = "tamsel";
  static constexpr ULONG data_type = 2;
  static constexpr const wchar_t* input_name = L"Integer";
  static void set(xsi_host::PortData& port, ULONG k, const std::vector<Number>& items) {
    port.set_integers(k, items);
  }
};

std::vector<Value> texts(std::initializer_list<const wchar_t*> list) {
  std::vector<Value> out;
  for (const wchar_t* text : list) out.emplace_back(std::wstring(text));
  return out;
}

template <class Node>
class NumbersToText : public tests::PluginTest {
 protected:
  using Number = typename Node::Number;

  NumbersToText() : PluginTest(Node::name, 4) {}

  void set(ULONG k, const std::vector<Number>& items) { Node::set(port(0), k, items); }
  std::vector<Value> strings(ULONG k) { return port(200).items(k); }
  void fill_output(const std::wstring& sentinel) {
    const std::vector<std::wstring> items{sentinel};
    for (ULONG k = 0; k < 4; ++k) port(200).set_texts(k, items);
  }
};

using Nodes = ::testing::Types<Vireth, Tamsel>;
TYPED_TEST_SUITE(NumbersToText, Nodes);

TYPED_TEST(NumbersToText, RegistersNumberArrayInputAndTextArrayOutput) {
  const std::string name = TypeParam::name;
  const ULONG none = XSI::kNotFound;
  const std::vector<xsi_host::Call> port_calls = {
      // The default is the integer 0 on both nodes, the float input's included.
      {"AddInputPort",
       {0u, 100u, TypeParam::data_type, 2u, 63u, std::wstring(TypeParam::input_name),
        std::wstring(TypeParam::input_name), std::int32_t{0}, Value(), Value(), none, none, 402u}},
      {"AddOutputPort",
       {200u, 131072u, 2u, 63u, std::wstring(L"String"), std::wstring(L"String"), none, none,
        402u}},
  };
  tests::expect_registration(this->library_, std::wstring(name.begin(), name.end()), port_calls);
}

TYPED_TEST(NumbersToText, DefaultInputGivesEachElementTheTextZero) {
  EXPECT_EQ(this->evaluate(), (Elements{0, 1, 2, 3}));
  for (ULONG k = 0; k < 4; ++k) EXPECT_EQ(this->strings(k), texts({L"0"}));
}

TYPED_TEST(NumbersToText, EachElementGetsAsManyTextsAsItHasItems) {
  this->fill_output(L"stale");
  this->set(0, {});
  this->set(1, {5});
  this->set(2, {-7, 0, 42});
  this->set(3, {});
  EXPECT_EQ(this->evaluate(), (Elements{0, 1, 2, 3}));
  EXPECT_EQ(this->strings(0), texts({}));
  EXPECT_EQ(this->strings(1), texts({L"5"}));
  EXPECT_EQ(this->strings(2), texts({L"-7", L"0", L"42"}));
  EXPECT_EQ(this->strings(3), texts({}));
}

TYPED_TEST(NumbersToText, ConstantInputRepeatsItemZero) {
  this->port(0).constant = true;
  this->set(2, {9, 8, 7});
  this->set(3, {});
  this->evaluation_.index_list({2, 3});
  EXPECT_EQ(this->evaluate(), (Elements{2, 3}));
  EXPECT_EQ(this->strings(2), texts({L"9", L"9", L"9"}));
  EXPECT_EQ(this->strings(3), texts({}));
}

TYPED_TEST(NumbersToText, ElementsOutsideTheIndexSetAreUntouched) {
  this->fill_output(L"sentinel");
  for (ULONG k = 0; k < 4; ++k) this->set(k, {static_cast<typename TypeParam::Number>(k)});
  this->evaluation_.index_list({3, XSI::kNotFound, 1});
  EXPECT_EQ(this->evaluate(), (Elements{1, 3}));
  EXPECT_EQ(this->strings(1), texts({L"1"}));
  EXPECT_EQ(this->strings(3), texts({L"3"}));
  EXPECT_EQ(this->strings(0), texts({L"sentinel"}));
  EXPECT_EQ(this->strings(2), texts({L"sentinel"}));

  this->evaluation_.index_range(0);
  EXPECT_EQ(this->evaluate(), Elements{});
}

TYPED_TEST(NumbersToText, PullOfAnotherPortAcquiresNothing) {
  this->fill_output(L"sentinel");
  for (const ULONG pulled : {0u, 208u, 209u}) {
    this->evaluation_.pull(pulled);
    const xsi_host::CallResult result = this->evaluation_.run(this->library_.evaluate());
    EXPECT_EQ(result.status, XSI::CStatus::OK);
    EXPECT_TRUE(result.faults.empty());
    EXPECT_EQ(result.acquisitions, 0u) << "port " << pulled;
    for (ULONG k = 0; k < 4; ++k) EXPECT_EQ(this->strings(k), texts({L"sentinel"}));
  }
}

class VirethTexts : public NumbersToText<Vireth> {};

TEST_F(VirethTexts, FloatsGiveTheirShortestRoundTripText) {
  constexpr auto limits = std::numeric_limits<float>();
  set(0, {1.5f, -2.0f, 0.0f, 1.36f, 0.1f, 16777216.0f, 1e20f, limits.max(), limits.lowest()});
  evaluation_.index_list({0});
  evaluate();
  EXPECT_EQ(strings(0), texts({L"1.5", L"-2", L"0", L"1.36", L"0.1", L"16777216", L"1e+20",
                               L"3.4028235e+38", L"-3.4028235e+38"}));
}

TEST_F(VirethTexts, SignedZeroInfinitiesNanAndSubnormals) {
  constexpr auto limits = std::numeric_limits<float>();
  set(0,
      {-0.0f, limits.infinity(), -limits.infinity(), limits.quiet_NaN(),
       std::bit_cast<float>(0xFFC00001u),  // a NaN with its sign bit and a payload
       limits.denorm_min(), -limits.denorm_min(), std::bit_cast<float>(0x007FFFFFu), limits.min()});
  evaluation_.index_list({0});
  evaluate();
  EXPECT_EQ(strings(0), texts({L"-0", L"inf", L"-inf", L"nan", L"nan", L"1e-45", L"-1e-45",
                               L"1.1754942e-38", L"1.1754944e-38"}));
}

class TamselTexts : public NumbersToText<Tamsel> {};

TEST_F(TamselTexts, IntegersGivePlainDecimal) {
  constexpr auto limits = std::numeric_limits<std::int32_t>();
  set(0, {limits.max(), limits.min(), -1, 1000000, -100});
  evaluation_.index_list({0});
  evaluate();
  EXPECT_EQ(strings(0), texts({L"2147483647", L"-2147483648", L"-1", L"1000000", L"-100"}));
}

}  // namespace
