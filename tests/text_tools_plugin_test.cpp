// textlength, textfind, textreplace, textslice and textjoin through the real loader: their
// registration and unload line, and their rule, each element computed from its own inputs. One
// table of cases per node; case k goes to element k of one evaluation, so that the inputs differ
// from element to element, and the evaluation runs over every form of index set.
//
// Characters beyond one byte hold on either platform: U+1F600 is one character, on Windows too,
// where it is a surrogate pair of wide characters, so positions and counts past it are the same
// everywhere.
#include <cstdint>
#include <cwchar>
#include <limits>
#include <string>
#include <vector>

#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;
using Items = std::vector<Value>;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const std::wstring kFace = L"\U0001F600";
const std::wstring kNul(1, L'\0');

// A text as a value; a text made of pieces, NUL included.
Value text(const std::wstring& characters) { return characters; }
Items texts(std::initializer_list<std::wstring> items) { return Items(items.begin(), items.end()); }

// One element: its inputs in port order (each one value, or the items of an array), and what
// the node must give it.
struct Case {
  std::vector<Items> inputs;
  Value expected;
};

struct NodeCases {
  const char* node;
  std::vector<Case> cases;
};

// Cases that a wrong rule would fail: overlaps, a replacement holding what it replaces, counts
// from the end, starts and lengths past either end, empty inputs, NUL, case, and characters
// beyond one byte.
const std::vector<NodeCases>& rules() {
  static const std::vector<NodeCases> all = {
      {"textlength",
       {
           {{{text(L"text")}}, 4},
           {{{text(L"")}}, 0},
           {{{text(L"a" + kNul + L"b")}}, 3},
           {{{text(L"\u00e9\u2192")}}, 2},
           {{{text(kFace + L"a")}}, 2},
       }},
      {"textfind",
       {
           {{{text(L"text")}, {text(L"x")}}, 2},
           {{{text(L"aaa")}, {text(L"aa")}}, 0},
           {{{text(L"xaby ab")}, {text(L"ab")}}, 1},
           {{{text(L"abc")}, {text(L"")}}, -1},
           {{{text(L"")}, {text(L"a")}}, -1},
           {{{text(L"abc")}, {text(L"abcd")}}, -1},
           {{{text(L"abc")}, {text(L"ABC")}}, -1},
           {{{text(L"a" + kNul + L"b" + kNul + L"c")}, {text(kNul + L"c")}}, 3},
           {{{text(kFace + L"x" + kFace + L"y")}, {text(kFace + L"y")}}, 2},
           {{{text(L"x\u00e9" + kFace)}, {text(kFace)}}, 2},
       }},
      {"textreplace",
       {
           {{{text(L"a-b-c")}, {text(L"-")}, {text(L"+")}, {false}}, text(L"a+b-c")},
           {{{text(L"a-b-c")}, {text(L"-")}, {text(L"+")}, {true}}, text(L"a+b+c")},
           {{{text(L"aaa")}, {text(L"aa")}, {text(L"b")}, {true}}, text(L"ba")},
           {{{text(L"aaaa")}, {text(L"aa")}, {text(L"b")}, {true}}, text(L"bb")},
           {{{text(L"ab")}, {text(L"a")}, {text(L"aa")}, {true}}, text(L"aab")},
           {{{text(L"aab")}, {text(L"ab")}, {text(L"")}, {true}}, text(L"a")},
           {{{text(L"abc")}, {text(L"")}, {text(L"x")}, {true}}, text(L"abc")},
           {{{text(L"abc")}, {text(L"ABC")}, {text(L"x")}, {false}}, text(L"abc")},
           {{{text(L"")}, {text(L"a")}, {text(L"x")}, {true}}, text(L"")},
           {{{text(kFace + L"a" + kFace)}, {text(kFace)}, {text(kNul)}, {true}},
            text(kNul + L"a" + kNul)},
           {{{text(L"xyx")}, {text(L"x")}, {text(kFace)}, {false}}, text(kFace + L"yx")},
       }},
      {"textslice",
       {
           {{{text(L"text")}, {0}, {-1}}, text(L"text")},
           {{{text(L"text")}, {1}, {2}}, text(L"ex")},
           {{{text(L"text")}, {-3}, {-1}}, text(L"ext")},
           {{{text(L"text")}, {-3}, {2}}, text(L"ex")},
           {{{text(L"text")}, {-9}, {2}}, text(L"te")},
           {{{text(L"text")}, {3}, {9}}, text(L"t")},
           {{{text(L"text")}, {4}, {1}}, text(L"")},
           {{{text(L"text")}, {9}, {-1}}, text(L"")},
           {{{text(L"text")}, {1}, {0}}, text(L"")},
           {{{text(L"text")}, {kMin}, {kMax}}, text(L"text")},
           {{{text(L"text")}, {kMax}, {kMax}}, text(L"")},
           {{{text(L"")}, {-1}, {1}}, text(L"")},
           {{{text(L"a" + kNul + L"b")}, {1}, {1}}, text(kNul)},
           {{{text(L"a" + kFace + L"b")}, {-2}, {-1}}, text(kFace + L"b")},
       }},
      {"textjoin",
       {
           {{texts({L"a", L"b", L"c"}), {text(L",")}}, text(L"a,b,c")},
           {{texts({}), {text(L",")}}, text(L"")},
           {{texts({L""}), {text(L",")}}, text(L"")},
           {{texts({L"a"}), {text(L",")}}, text(L"a")},
           {{texts({L"a", L"", L"c"}), {text(L",")}}, text(L"a,,c")},
           {{texts({L"", L""}), {text(L",")}}, text(L",")},
           {{texts({L"a", L"b"}), {text(L"")}}, text(L"ab")},
           {{texts({L"1.5", L"-2"}), {text(L", ")}}, text(L"1.5, -2")},
           {{texts({L"x", kFace}), {text(kNul)}}, text(L"x" + kNul + kFace)},
       }},
  };
  return all;
}

// A node loaded, with its ports over as many elements as it has cases, case k's inputs in
// element k.
class TextTool : public tests::PluginTest {
 public:
  TextTool(const char* node, const std::vector<Case>& cases)
      : PluginTest(node, static_cast<ULONG>(cases.size())) {
    for (ULONG k = 0; k < cases.size(); ++k)
      for (std::size_t i = 0; i < cases[k].inputs.size(); ++i)
        icehost::store(port(library_.node().ports[i].id), k, cases[k].inputs[i]);
  }
  void TestBody() override {}

  using tests::PluginTest::evaluate_over;
  using tests::PluginTest::port;
  using tests::PluginTest::sentinel;
};

TEST(TextTools, EachElementGetsTheResultOfItsOwnInputs) {
  for (const NodeCases& node : rules()) {
    SCOPED_TRACE(node.node);
    TextTool tool(node.node, node.cases);
    const auto elements = static_cast<ULONG>(node.cases.size());
    for (const icehost::IndexChoice& index : tests::every_index_form(elements)) {
      const std::vector<Items> held = tool.evaluate_over(index);
      for (ULONG k = 0; k < elements; ++k)
        EXPECT_EQ(held[k], index.holds(k, elements) ? Items{node.cases[k].expected}
                                                    : TextTool::sentinel(tool.port(200)))
            << "case " << k;
    }
  }
}

// An input the host hands over as one value for every element (its constant flag set) is read
// at element 0 for every element, beside inputs that vary; an array's item 0 stands for each of
// its items. What the other elements hold in the constant input must not count.
TEST(TextTools, AConstantInputStandsForEveryElementBesideVaryingOnes) {
  struct Constant {
    const char* node;
    ULONG port;  // the constant one
    std::vector<Case> cases;
  };
  const Constant constants[] = {
      {"textlength", 0, {{{{text(L"abc")}}, 3}, {{{text(L"x")}}, 3}}},
      {"textfind",
       1,
       {{{{text(L"abc")}, {text(L"b")}}, 1},
        {{{text(L"bbb")}, {text(L"zzz")}}, 0},
        {{{text(L"xyz")}, {text(L"x")}}, -1}}},
      {"textreplace",
       3,
       {{{{text(L"a-b-c")}, {text(L"-")}, {text(L"+")}, {true}}, text(L"a+b+c")},
        {{{text(L"1.2.3")}, {text(L".")}, {text(L"")}, {false}}, text(L"123")}}},
      {"textslice",
       1,
       {{{{text(L"text")}, {1}, {2}}, text(L"ex")},
        {{{text(L"slice")}, {-1}, {3}}, text(L"lic")},
        {{{text(L"ab")}, {3}, {-1}}, text(L"b")}}},
      {"textjoin",
       0,
       {{{texts({L"a", L"b", L"c"}), {text(L",")}}, text(L"a,a,a")},
        {{texts({L"q"}), {text(L"-")}}, text(L"a-a-a")},
        {{texts({}), {text(L"")}}, text(L"aaa")}}},
  };
  for (const Constant& constant : constants) {
    SCOPED_TRACE(constant.node);
    TextTool tool(constant.node, constant.cases);
    tool.port(constant.port).constant = true;
    const auto elements = static_cast<ULONG>(constant.cases.size());
    const std::vector<Items> held = tool.evaluate_over(tests::index_range(elements));
    for (ULONG k = 0; k < elements; ++k)
      EXPECT_EQ(held[k], Items{constant.cases[k].expected}) << "element " << k;
  }
}

// What each registers, in order, and the line it logs at unload.
TEST(TextTools, RegisterTheirPortsAndLogTheirUnload) {
  const ULONG none = XSI::kNotFound;
  auto in = [none](ULONG id, ULONG type, ULONG structure, const wchar_t* name, Value value) {
    return xsi_host::Call{"AddInputPort",
                          {id, 100u, type, structure, 63u, std::wstring(name), std::wstring(name),
                           value, Value(), Value(), none, none, 402u}};
  };
  auto out = [none](ULONG type, const wchar_t* name, ULONG id = 200) {
    return xsi_host::Call{
        "AddOutputPort",
        {id, type, 1u, 63u, std::wstring(name), std::wstring(name), none, none, 402u}};
  };
  constexpr ULONG kText = 131072, kBoolean = 1, kInteger = 2, kOne = 1, kArray = 2;
  const std::pair<const wchar_t*, std::vector<xsi_host::Call>> nodes[] = {
      {L"textlength", {in(0, kText, kOne, L"String", text(L"text")), out(kInteger, L"Length")}},
      {L"textfind",
       {in(0, kText, kOne, L"String", text(L"text")), in(1, kText, kOne, L"SubString", text(L"x")),
        out(kInteger, L"Position"), out(kInteger, L"Count", 201)}},
      {L"textreplace",
       {in(0, kText, kOne, L"String", text(L"a-b-c")), in(1, kText, kOne, L"Find", text(L"-")),
        in(2, kText, kOne, L"With", text(L"+")), in(3, kBoolean, kOne, L"ReplaceAll", false),
        out(kText, L"Result")}},
      {L"textslice",
       {in(0, kText, kOne, L"String", text(L"text")), in(1, kInteger, kOne, L"Start", 0),
        in(2, kInteger, kOne, L"Length", -1), out(kText, L"Result")}},
      {L"textjoin",
       {in(0, kText, kArray, L"Strings", text(L"")), in(1, kText, kOne, L"Delimiter", text(L",")),
        out(kText, L"Result")}},
  };
  for (const auto& [node, calls] : nodes) {
    const std::string name(node, node + std::wcslen(node));
    SCOPED_TRACE(name);
    icehost::PluginLibrary library(tests::plugin_path(name));
    tests::expect_registration(library, node, calls);
    EXPECT_EQ(library.unload(), XSI::CStatus::OK);
    ASSERT_EQ(library.session().log().size(), 1u);
    EXPECT_EQ(library.session().log()[0].text, std::wstring(node) + L" Plugin has been unloaded.");
  }
}

}  // namespace
