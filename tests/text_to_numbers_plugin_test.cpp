// palvane and dromlet through the real loader: their registration, and the numbers they cut
// from a delimited text. What the two nodes share is tested on both; what differs, on each.
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "evaluation_setup.h"
#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;
using Elements = std::vector<ULONG>;
using Items = std::vector<Value>;

// What tells the two nodes apart, as a test sees it.
struct NodeCase {
  const char* name;
  std::wstring default_text;
  ULONG output_id;
  ULONG output_type;
  std::wstring output_name;
  bool integers;

  // A value as the node writes it: a 32-bit float, or a 32-bit integer.
  Value item(double value) const {
    return integers ? Value(static_cast<std::int32_t>(value)) : Value(static_cast<float>(value));
  }
  Items items(const std::vector<double>& values) const {
    Items out;
    for (const double value : values) out.push_back(item(value));
    return out;
  }
};

void PrintTo(const NodeCase& node, std::ostream* out) { *out << node.name; }

const NodeCase kPalvane{"palvane", L"1.36,4.6704993,83.2243,114.68", 200, 4, L"Scalar", false};
const NodeCase kDromlet{"dromlet", L"1,2,3,4,5,6,7,8,9", 208, 2, L"Integer", true};

void expect_registration(const NodeCase& node) {
  icehost::PluginLibrary library(tests::plugin_path(node.name));
  const std::wstring name(node.name, node.name + std::char_traits<char>::length(node.name));
  const ULONG none = XSI::kNotFound;
  tests::expect_registration(
      library, name,
      {{"AddInputPort",
        {0u, 100u, 131072u, 1u, 63u, std::wstring(L"String"), std::wstring(L"String"),
         node.default_text, Value(), Value(), none, none, 402u}},
       {"AddInputPort",
        {1u, 100u, 131072u, 1u, 63u, std::wstring(L"Delimiter"), std::wstring(L"Delimiter"),
         std::wstring(L","), Value(), Value(), none, none, 402u}},
       {"AddOutputPort",
        {node.output_id, node.output_type, 2u, 63u, node.output_name, node.output_name, none, none,
         402u}}});
  EXPECT_EQ(library.unload(), XSI::CStatus::OK);
  ASSERT_EQ(library.session().log().size(), 1u);
  EXPECT_EQ(library.session().log()[0].text, name + L" Plugin has been unloaded.");
}

TEST(TextToNumbersRegistration, PalvaneDefinesItsPortsInOrder) { expect_registration(kPalvane); }
TEST(TextToNumbersRegistration, DromletDefinesItsPortsInOrder) { expect_registration(kDromlet); }

// One of the two nodes, loaded, with 10 elements at the port defaults.
class NodeTest : public tests::PluginTest {
 protected:
  explicit NodeTest(const NodeCase& node) : PluginTest(node.name, 10), node_(node) {}

  const NodeCase& node() const { return node_; }
  void set(const std::wstring& text, const std::wstring& delimiter) {
    port(0).set_text(0, text);
    port(1).set_text(0, delimiter);
  }
  xsi_host::PortData& output() { return port(node_.output_id); }
  Items items(ULONG k) { return output().items(k); }
  // Fills every output element with one item, so that a sizing to 0 shows.
  void fill_output() {
    for (ULONG k = 0; k < output().element_count(); ++k)
      icehost::store(output(), k, {node_.item(7)});
  }

 private:
  const NodeCase& node_;
};

class TextToNumbers : public NodeTest, public ::testing::WithParamInterface<NodeCase> {
 protected:
  TextToNumbers() : NodeTest(GetParam()) {}
};

TEST_P(TextToNumbers, MarkerGoesToElementZeroAloneWhenTheTextLacksTheDelimiter) {
  const std::pair<std::wstring, std::wstring> unsuitable[] = {
      {L"", L","},     // empty text
      {L"1.5", L","},  // a single number
      {L"1,2", L""},   // empty delimiter: it occurs nowhere
      {L"1,2", L";"}, {L"1,2", L",,"},
  };
  for (const auto& [text, delimiter] : unsuitable) {
    set(text, delimiter);
    fill_output();
    evaluation_.index_list({4, 7});  // element 0 is marked all the same
    EXPECT_EQ(evaluate(), Elements{0}) << delimiter.size();
    EXPECT_EQ(items(0), node().items({-1}));
    EXPECT_EQ(items(4), node().items({7}));  // left as the host holds it
    evaluation_.index_range(0);
    EXPECT_EQ(evaluate(), Elements{0});
  }
}

TEST_P(TextToNumbers, OnlyElementZeroOfEachInputCounts) {
  set(L"5;6", L";");
  port(0).set_text(1, L"no delimiter here");
  port(1).set_text(1, L"");
  evaluation_.index_range(3);
  EXPECT_EQ(evaluate(), (Elements{0, 1, 2}));
  for (ULONG k = 0; k < 3; ++k) EXPECT_EQ(items(k), node().items({5, 6}));

  set(L"no delimiter here", L"");
  port(0).set_text(1, L"5;6");
  port(1).set_text(1, L";");
  EXPECT_EQ(evaluate(), Elements{0});
  EXPECT_EQ(items(0), node().items({-1}));
}

TEST_P(TextToNumbers, EmptyIndexSetWritesNothingAfterPassingTests) {
  evaluation_.index_range(0);
  EXPECT_EQ(evaluate(), Elements{});
  evaluation_.index_list({XSI::kNotFound});
  EXPECT_EQ(evaluate(), Elements{});
}

TEST_P(TextToNumbers, CutDropsEmptyPiecesAndCanGiveNone) {
  for (const wchar_t* text : {L",", L",,,"}) {
    set(text, L",");
    fill_output();
    evaluation_.index_list({2, 0, 9});
    EXPECT_EQ(evaluate(), (Elements{0, 2, 9}));
    for (const ULONG k : {0u, 2u, 9u}) EXPECT_EQ(output().item_count(k), 0u) << k;
    EXPECT_EQ(output().item_count(1), 1u);
  }
  set(L",1,,2,", L",");
  evaluate();
  EXPECT_EQ(items(2), node().items({1, 2}));
  set(L"1::2:::3", L"::");  // occurrences taken left to right: "1", "2", ":3"
  evaluate();
  EXPECT_EQ(items(2), node().items({1, 2, 0}));
}

TEST_P(TextToNumbers, ConstantOutputHoldsTheLastValueInSlotZero) {
  output().constant = true;
  set(L"3,-4,5", L",");
  evaluation_.index_list({6});
  EXPECT_EQ(evaluate(), Elements{6});
  const Items written = items(6);
  ASSERT_EQ(written.size(), 3u);
  EXPECT_EQ(written[0], node().item(5));
}

INSTANTIATE_TEST_SUITE_P(BothNodes, TextToNumbers, ::testing::Values(kPalvane, kDromlet),
                         [](const auto& info) { return std::string(info.param.name); });

class Palvane : public NodeTest {
 protected:
  Palvane() : NodeTest(kPalvane) {}
};

TEST_F(Palvane, DefaultsGiveFourFloatsToEveryElement) {
  EXPECT_EQ(evaluate().size(), 10u);
  const Items expected{1.36f, 4.6704993f, 83.2243f, 114.68f};
  for (ULONG k = 0; k < 10; ++k) EXPECT_EQ(items(k), expected) << k;
  evaluation_.index_bits({false, true, false, true});
  EXPECT_EQ(evaluate(), (Elements{1, 3}));
  EXPECT_EQ(items(3), expected);
}

TEST_F(Palvane, DelimiterBeginningWithADigitGivesTheMarker) {
  for (const wchar_t* delimiter : {L"0", L"9", L"1,"}) {
    set(L"10203 9 1,2", delimiter);  // the text holds each of them
    evaluation_.index_list({5});
    EXPECT_EQ(evaluate(), Elements{0});
    EXPECT_EQ(items(0), Items{-1.0f});
  }
}

TEST_F(Palvane, OtherDelimitersPass) {
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"1-2-3", L"-"},
      {L"1.2.3", L"."},
      {L"1x2x3", L"x"},
      {L"1/2/3", L"/"},
      {L"1:2:3", L":"},
      {L"5-16-17", L"-1"},
      {L"1\u01302\u01303", L"\u0130"},  // narrow '?'
  };
  for (const auto& [text, delimiter] : cases) {
    set(text, delimiter);
    evaluation_.index_range(2);
    EXPECT_EQ(evaluate(), (Elements{0, 1}));
    const Items expected = delimiter == L"-1" ? Items{5.0f, 6.0f, 7.0f} : Items{1.0f, 2.0f, 3.0f};
    EXPECT_EQ(items(1), expected) << std::string(text.begin(), text.end());
  }
}

TEST_F(Palvane, PiecesReadAsTheSdkReadsFloats) {
  set(L" +1.5 ;x;1e39;-1e39;-2.9;1e-50;nan", L";");
  evaluation_.index_range(1);
  evaluate();
  const Items got = items(0);
  ASSERT_EQ(got.size(), 7u);
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(Items(got.begin(), got.begin() + 6), (Items{1.5f, 0.0f, inf, -inf, -2.9f, 0.0f}));
  EXPECT_TRUE(std::isnan(std::get<float>(got[6])));
}

class Dromlet : public NodeTest {
 protected:
  Dromlet() : NodeTest(kDromlet) {}
};

TEST_F(Dromlet, DefaultsGiveOneToNineToEveryElement) {
  EXPECT_EQ(evaluate().size(), 10u);
  const Items expected{1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (ULONG k = 0; k < 10; ++k) EXPECT_EQ(items(k), expected) << k;
}

TEST_F(Dromlet, DelimiterBeginningWithADigitPasses) {
  set(L"10203", L"0");
  EXPECT_EQ(evaluate().size(), 10u);
  for (ULONG k = 0; k < 10; ++k) EXPECT_EQ(items(k), (Items{1, 2, 3})) << k;
  set(L"41942", L"9");
  evaluate();
  EXPECT_EQ(items(9), (Items{41, 42}));
}

TEST_F(Dromlet, PiecesReadAsTheSdkReadsIntegers) {
  set(L" +7 ;x;2.9;-2.9;2147483648;-1e10;inf;nan", L";");
  evaluation_.index_range(1);
  evaluate();
  EXPECT_EQ(items(0), (Items{7, 0, 2, -2, 2147483647, -2147483647 - 1, 2147483647, 0}));
}

TEST_F(Dromlet, PullOfAnotherPortDoesNothing) {
  for (const ULONG pulled : {200u, 0u, 209u}) {
    evaluation_.pull(pulled);
    const xsi_host::CallResult result = evaluation_.run(library_.evaluate());
    EXPECT_EQ(result.status, XSI::CStatus::OK);
    EXPECT_EQ(result.acquisitions, 0u);
    EXPECT_TRUE(result.faults.empty());
    for (ULONG k = 0; k < 10; ++k) EXPECT_FALSE(output().written(k)) << k;
  }
}

}  // namespace
