// The table of data types and the resolver of ports and values that eval's options and case
// files share: a float read alike from a command-line word and from JSON, each type stored as
// itself, the decoys of constant inputs, PORT@K, and one message for one fault, whichever reads it.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "case_file.h"
#include "data_types.h"
#include "eval_plan.h"
#include "evaluation_setup.h"
#include "usage_error.h"

namespace {

using xsi_host::PortData;
using xsi_host::PortRecord;
using xsi_host::Value;

const icehost::DataType& row(XSI::ULONG code) { return *icehost::data_type(code); }

// A float's bits, so that -0 is not 0.
std::uint32_t bits_of(const Value& value) {
  return std::bit_cast<std::uint32_t>(std::get<float>(value));
}

template <class Read>
std::string refusal(Read read) {
  try {
    read();
  } catch (const icehost::UsageError& error) {
    return error.what();
  }
  return "";
}

TEST(DataTypes, AFloatRoundsAlikeFromTheCommandLineAndFromJson) {
  const icehost::DataType& floats = row(XSI::siICENodeDataFloat);
  // To the nearest float: a tiny number to a zero of its sign or a subnormal, one within half the
  // last place of the largest float to the largest.
  for (const std::string text : {"1.5", "-0.0", "0.1", "16777217", "1e-45", "1e-50", "-1e-50",
                                 "1e-400", "3.40282356e38", "-3.4028235e38"}) {
    EXPECT_EQ(bits_of(floats.from_text(text, "P")),
              bits_of(floats.from_json(nlohmann::json::parse(text), "P")))
        << text;
  }
  EXPECT_EQ(bits_of(floats.from_text("-1e-50", "P")), bits_of(-0.0f));
  EXPECT_EQ(std::get<float>(floats.from_text("3.40282356e38", "P")),
            std::numeric_limits<float>::max());
  // One that would round to infinity is refused, whichever way it comes.
  for (const std::string text : {"1e39", "-1e39", "3.402823669e38", "1e308", "1e400"}) {
    EXPECT_EQ(refusal([&] { floats.from_text(text, "P"); }),
              "'" + text + "' is out of the 32-bit float's range for port P");
    if (text == "1e400") continue;  // past a double: the JSON library refuses it itself
    EXPECT_NE(refusal([&] {
                floats.from_json(nlohmann::json::parse(text), "P");
              }).find(" is out of the 32-bit float's range for port P"),
              std::string::npos)
        << text;
  }
  EXPECT_EQ(refusal([&] { floats.from_text("1e", "P"); }), "'1e' is not a 32-bit float for port P");
  EXPECT_EQ(refusal([&] { floats.from_json(nlohmann::json("1.5"), "P"); }),
            "\"1.5\" is not a 32-bit float for port P");
}

TEST(DataTypes, EachTypeStoresAndReadsBackAsItself) {
  const std::pair<XSI::ULONG, Value> values[] = {{XSI::siICENodeDataBool, true},
                                                 {XSI::siICENodeDataLong, std::int32_t{-7}},
                                                 {XSI::siICENodeDataFloat, 1.5f},
                                                 {XSI::siICENodeDataString, std::wstring(L"x")}};
  for (const auto& [code, value] : values) {
    PortData one(0, code, XSI::siICENodeStructureSingle, 2);
    icehost::store(one, 1, {value});
    EXPECT_EQ(one.value(1), value) << code;
    PortData many(0, code, XSI::siICENodeStructureArray, 2);
    icehost::store(many, 1, {value, value});
    EXPECT_EQ(many.items(1), (std::vector{value, value})) << code;
  }
  // A number is converted; a value of another kind is stored as the type's zero.
  PortData integer(0, XSI::siICENodeDataLong, XSI::siICENodeStructureSingle, 1);
  icehost::store(integer, 0, {2.9f});
  EXPECT_EQ(integer.value(0), Value(std::int32_t{2}));
  icehost::store(integer, 0, {std::wstring(L"7")});
  EXPECT_EQ(integer.value(0), Value(std::int32_t{0}));
  EXPECT_EQ(icehost::data_type_name(3), "type 3");
}

TEST(DataTypes, ConstantInputsHoldDecoysOfTheirOwnPastElementZero) {
  PortData text(0, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, 3);
  PortData prefix(1, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, 3);
  icehost::store_constant(text, {std::wstring(L"ab")}, L"String");
  icehost::store_constant(prefix, {std::wstring(L"a")}, L"Prefix");
  EXPECT_TRUE(text.constant && prefix.constant);
  EXPECT_EQ(text.value(0), Value(std::wstring(L"ab")));
  // Element 0's "a" begins "ab"; past it, neither decoy begins the other.
  const auto decoy = std::get<std::wstring>(text.value(2));
  const auto other = std::get<std::wstring>(prefix.value(2));
  EXPECT_EQ(decoy, L"\u2260String ab");
  EXPECT_FALSE(decoy.starts_with(other) || other.starts_with(decoy));

  struct Case {
    XSI::ULONG code;
    Value value;
    Value decoy;
  };
  for (const Case& c :
       {Case{XSI::siICENodeDataBool, true, false},
        Case{XSI::siICENodeDataLong, std::int32_t{5}, std::int32_t{-6}},
        Case{XSI::siICENodeDataFloat, 2.0f, -2.0f}, Case{XSI::siICENodeDataFloat, 0.0f, 1.0f}}) {
    PortData port(0, c.code, XSI::siICENodeStructureSingle, 2);
    icehost::store_constant(port, {c.value}, L"P");
    EXPECT_EQ(port.value(0), c.value);
    EXPECT_EQ(port.value(1), c.decoy);
  }
  // An array port holds its items in every element.
  PortData items(0, XSI::siICENodeDataLong, XSI::siICENodeStructureArray, 2);
  icehost::store_constant(items, {std::int32_t{1}, std::int32_t{2}}, L"P");
  EXPECT_EQ(items.items(1), (std::vector<Value>{std::int32_t{1}, std::int32_t{2}}));
}

// A node of three inputs, one named as another's element would be, and one output.
xsi_host::NodeRecord node() {
  xsi_host::NodeRecord node;
  node.name = L"n";
  const auto port = [](bool input, XSI::ULONG id, XSI::ULONG type, const wchar_t* name) {
    PortRecord record;
    record.is_input = input;
    record.id = id;
    record.data_type = type;
    record.structure = XSI::siICENodeStructureSingle;
    record.name = record.script_name = name;
    return record;
  };
  node.ports = {port(true, 0, XSI::siICENodeDataString, L"A"),
                port(true, 1, XSI::siICENodeDataLong, L"A@1"),
                port(true, 2, XSI::siICENodeDataFloat, L"F"),
                port(false, 200, XSI::siICENodeDataString, L"Out")};
  return node;
}

icehost::EvalOptions with(const std::vector<std::string>& settings) {
  icehost::EvalOptions options;
  for (const std::string& text : settings) options.settings.push_back({text});
  return options;
}

TEST(EvalPlan, PortAtKIsElementKOnlyWhereNoPortHasThatName) {
  const xsi_host::NodeRecord n = node();
  const icehost::EvaluationPlan plan = icehost::plan_eval(n, with({"A@1=5", "A@2=x", "1=7"}));
  EXPECT_EQ(plan.pulled->id, 200u);
  ASSERT_EQ(plan.inputs.size(), 3u);
  EXPECT_EQ(plan.inputs[0].port->id, 1u);
  EXPECT_FALSE(plan.inputs[0].element.has_value());
  EXPECT_EQ(plan.inputs[0].values, std::vector<Value>{std::int32_t{5}});
  EXPECT_EQ(plan.inputs[1].port->id, 0u);
  EXPECT_EQ(plan.inputs[1].element, 2u);
  EXPECT_EQ(plan.inputs[1].values, std::vector<Value>{std::wstring(L"x")});
  EXPECT_EQ(plan.inputs[2].port->id, 1u);
  EXPECT_EQ(refusal([&] { icehost::plan_eval(n, with({"A@10=x"})); }),
            "--set: element 10 is past the element count 10");
}

// What eval says after "--set: " or "--port ", a case file says after its key.
TEST(EvalPlan, EvalAndCaseFilesRefuseInTheSameWords) {
  const xsi_host::NodeRecord n = node();
  const std::string file =
      (std::filesystem::temp_directory_path() / "eval_plan_test.json").string();
  const auto check_says = [&](const std::string& cases) {
    std::ofstream(file, std::ios::binary) << cases;
    return refusal([&] { icehost::read_case_file(file, n); });
  };
  const auto eval_says = [&](const icehost::EvalOptions& options) {
    return refusal([&] { icehost::plan_eval(n, options); });
  };
  struct Case {
    icehost::EvalOptions eval;
    std::string cases;
    std::string says;
  };
  icehost::EvalOptions port;
  port.port = 7;
  const std::vector<Case> cases = {
      {with({"B=1"}), R"([{"case": "c", "set": {"B": 1}, "want": [""]}])",
       "unknown port 'B' (the inputs of n are A (0), A@1 (1), F (2))"},
      {with({"Out=1"}), R"([{"case": "c", "set": {"Out": 1}, "want": [""]}])",
       "Out is an output; set an input (A (0), A@1 (1), F (2))"},
      {with({"F=1e39"}), R"([{"case": "c", "set": {"F": 1e39}, "want": [""]}])",
       " is out of the 32-bit float's range for port F"},
      {with({"A@1=x"}), R"([{"case": "c", "set": {"A@1": "x"}, "want": [""]}])",
       " is not a 32-bit integer for port A@1"},
      {port, R"([{"case": "c", "port": 7, "want": [""]}])",
       "7 is not an output of n (its outputs: Out (200))"},
  };
  for (const Case& c : cases) {
    const std::string eval = eval_says(c.eval);
    const std::string check = check_says(c.cases);
    EXPECT_TRUE(eval.ends_with(c.says)) << eval;
    EXPECT_TRUE(check.ends_with(c.says)) << check;
  }
  std::filesystem::remove(file);
}

}  // namespace
