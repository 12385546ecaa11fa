// icehost through the real plug-ins: what eval, info and demo print, and how bad input ends.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "cli.h"
#include "command_line.h"
#include "eval_plan.h"
#include "evaluation.h"
#include "json.h"
#include "report_json.h"
#include "report_text.h"

namespace {

namespace fs = std::filesystem;

// A built plug-in of the given name in a plug-in folder.
std::string library_in(const char* folder, const std::string& name) {
#if defined(_WIN32)
  return (fs::path(folder) / (name + ".dll")).string();
#else
  return (fs::path(folder) / ("lib" + name + ".so")).string();
#endif
}

const fs::path kKestrune = library_in(TEXTNODES_PLUGIN_DIR, "kestrune");

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

Outcome icehost(std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  Outcome outcome;
  outcome.code = icehost::run(args, out, err);
  outcome.out = out.str();
  outcome.err = err.str();
  return outcome;
}

Outcome eval(std::vector<std::string> options) {
  options.insert(options.begin(), {"eval", kKestrune.string(), "--json"});
  return icehost(std::move(options));
}

// The output as JSON, read strictly: one well-formed object, or the test fails.
using Json = nlohmann::json;

Json parse(const std::string& text) { return Json::parse(text); }

// The written elements of an eval --json result as (element, text) pairs.
std::vector<std::pair<int, std::string>> written_texts(const Outcome& outcome) {
  std::vector<std::pair<int, std::string>> written;
  const Json result = parse(outcome.out);
  for (const Json& entry : result.at("written"))
    written.emplace_back(entry.at("element").get<int>(), entry.at("value").get<std::string>());
  return written;
}

// A case file of the given text in the temporary folder; its path.
std::string case_file(const std::string& name, const std::string& text) {
  const fs::path path = fs::temp_directory_path() / ("icehost_test_" + name + ".cases.json");
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

const std::string kAllRemoved = "this_string_has_a__and_another__and_yet_another__in_it";
const std::string kFirstRemoved =
    "this_string_has_a__and_another_subString_and_yet_another_subString_in_it";

TEST(EvalJson, WritesEveryEvaluatedElementInOrder) {
  const Outcome all = eval({"--set", "RemoveAll=true"});
  ASSERT_EQ(all.code, 0) << all.err;
  EXPECT_EQ(all.err, "");
  const Json result = parse(all.out);
  EXPECT_EQ(result.at("node").get<std::string>(), "kestrune");
  EXPECT_EQ(result.at("port").get<int>(), 200);
  EXPECT_EQ(result.at("status").get<int>(), 0);
  EXPECT_TRUE(result.at("faults").empty());
  ASSERT_EQ(kAllRemoved.size(), 54u);
  std::vector<std::pair<int, std::string>> expected;
  for (int k = 0; k < 10; ++k) expected.emplace_back(k, kAllRemoved);
  EXPECT_EQ(written_texts(all), expected);

  EXPECT_EQ(written_texts(eval({"--index", "list:5,-,2"})),
            (std::vector<std::pair<int, std::string>>{{2, kFirstRemoved}, {5, kFirstRemoved}}));
  EXPECT_EQ(written_texts(eval({"--index", "bits:0101"})),
            (std::vector<std::pair<int, std::string>>{{1, kFirstRemoved}, {3, kFirstRemoved}}));
  EXPECT_EQ(written_texts(eval({"--index", "range:2", "--elements", "4"})).size(), 2u);
}

TEST(EvalJson, EdgeCasesOfCountsAndMarkers) {
  const Outcome none = eval({"--elements", "0"});
  ASSERT_EQ(none.code, 0) << none.err;
  EXPECT_TRUE(parse(none.out).at("written").empty());
  EXPECT_TRUE(written_texts(eval({"--index", "list:"})).empty());

  EXPECT_EQ(written_texts(eval({"--set", "SubString=zzz"})),
            (std::vector<std::pair<int, std::string>>{{0, "-1"}}));
  // An empty sub-text occurs nowhere.
  EXPECT_EQ(written_texts(eval({"--set", "SubString="})),
            (std::vector<std::pair<int, std::string>>{{0, "-1"}}));
}

TEST(EvalJson, SetsOneElementAndLaterSettingsWin) {
  // kestrune reads element 0 of its inputs: setting element 0 changes every result, setting
  // element 3 alone changes none.
  const auto zero = written_texts(eval({"--set", "SubString=X", "--set", "String@0=aXb"}));
  ASSERT_EQ(zero.size(), 10u);
  EXPECT_EQ(zero[9].second, "ab");
  EXPECT_EQ(written_texts(eval({"--set", "SubString=X", "--set", "String@3=aXb"})),
            (std::vector<std::pair<int, std::string>>{{0, "-1"}}));
  EXPECT_EQ(written_texts(eval(
                {"--set", "SubString=zzz", "--set", "SubString=subString", "--index", "list:1"})),
            (std::vector<std::pair<int, std::string>>{{1, kFirstRemoved}}));
  // A port by its id, in every form that names one.
  const fs::path file = fs::temp_directory_path() / "icehost_test_by_id.txt";
  std::ofstream(file, std::ios::binary) << "X";
  EXPECT_EQ(written_texts(eval({"--set-file", "1=" + file.string(), "--set", "0@0=aXb", "--set",
                                "2=true", "--index", "list:1"})),
            (std::vector<std::pair<int, std::string>>{{1, "ab"}}));
  fs::remove(file);
}

TEST(EvalJson, NonAsciiAndControlCharactersRoundTrip) {
  const auto written =
      written_texts(eval({"--set", "String=h\xC3\xA9llo\xE2\x86\x92w\xC3\xB6rld", "--set",
                          "SubString=\xE2\x86\x92", "--index", "list:0"}));
  EXPECT_EQ(written, (std::vector<std::pair<int, std::string>>{{0, "h\xC3\xA9llow\xC3\xB6rld"}}));
  // Outside the basic plane: one character, two units where wchar_t is 16 bits.
  const Outcome emoji = eval({"--set",
                              "String=a\xF0\x9F\x98\x80"
                              "b\"\tc",
                              "--set", "SubString=b", "--index", "list:0"});
  EXPECT_NE(emoji.out.find("\"a\xF0\x9F\x98\x80\\\"\\u0009c\""), std::string::npos) << emoji.out;

  const fs::path file = fs::temp_directory_path() / "icehost_test_text.txt";
  std::ofstream(file, std::ios::binary) << "line one\nline two\n";
  EXPECT_EQ(written_texts(eval({"--set-file", "String=" + file.string(), "--set", "SubString=one\n",
                                "--index", "list:0"})),
            (std::vector<std::pair<int, std::string>>{{0, "line line two\n"}}));
  fs::remove(file);
}

#if !defined(_WIN32)
// --set-file reads whatever can be read to its end: an empty device, a FIFO a writer fills.
TEST(EvalJson, SetFileReadsPipesAndDevices) {
  const std::string length = library_in(TEXTNODES_PLUGIN_DIR, "textlength");
  const auto lengths = [&](const std::string& path) {
    const Outcome outcome =
        icehost({"eval", length, "--set-file", "String=" + path, "--elements", "1"});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    return outcome.out.substr(outcome.out.find('\n') + 1);
  };
  EXPECT_EQ(lengths("/dev/null"), "[0] 0\n");
  const fs::path fifo = fs::temp_directory_path() / "icehost_test_fifo";
  fs::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << "four"; });
  EXPECT_EQ(lengths(fifo.string()), "[0] 4\n");
  writer.join();
  fs::remove(fifo);
}
#endif

// A float is read by one rule from --set and from a case file: rounded to the nearest float, a
// tiny one to a zero of its sign; one that would round to infinity is refused by both.
TEST(EvalJson, FloatsRoundAlikeInEvalAndCheck) {
  const std::string vireth = library_in(TEXTNODES_PLUGIN_DIR, "vireth");
  const Outcome eval = icehost(
      {"eval", vireth, "--set", "Scalar=-1e-50,3.40282356e38,1e-45", "--elements", "1", "--json"});
  ASSERT_EQ(eval.code, 0) << eval.err;
  EXPECT_NE(eval.out.find(R"("value": ["-0", "3.4028235e+38", "1e-45"])"), std::string::npos)
      << eval.out;
  const Outcome check =
      icehost({"check", vireth,
               case_file("rounded",
                         R"([{"case": "rounded", "set": {"Scalar": [-1e-50, 3.40282356e38, 1e-45]},
                                 "want": [["-0", "3.4028235e+38", "1e-45"]]}])")});
  EXPECT_EQ(check.code, 0) << check.out << check.err;
}

// Through a node of each port shape that echoes its input element by element: what --set gives
// every element and element 1 alone comes back, in both of eval's forms alike.
TEST(EvalJson, EveryShapeEchoesWhatWasSet) {
  struct Case {
    std::string node;
    std::string every;  // the VALUE for every element (PORT by name) and for element 1 (by id)
    std::string one;
    std::string every_shown;  // how both forms print them
    std::string one_shown;
  };
  const std::vector<Case> cases = {
      {"echo_one_boolean", "true", "false", "true", "false"},
      {"echo_one_integer", "-2147483648", "7", "-2147483648", "7"},
      {"echo_one_float", "-0", "1e20", "-0", "1e+20"},
      {"echo_one_text", "a,\"b", "", "\"a,\\\"b\"", "\"\""},
      {"echo_array_boolean", "true,false,true", "", "[true, false, true]", "[]"},
      {"echo_array_integer", "2147483647,-1", "0", "[2147483647, -1]", "[0]"},
      {"echo_array_float", "1.36,-2", "-0", "[1.36, -2]", "[-0]"},
      {"echo_array_text", "a,,\xC3\xA9", ",", "[\"a\", \"\", \"\xC3\xA9\"]", "[\"\", \"\"]"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"eval",
                                     library_in(TEXTNODES_TEST_PLUGIN_DIR, c.node),
                                     "--set",
                                     "In=" + c.every,
                                     "--set=0@1=" + c.one,
                                     "--elements=2"};
    const Outcome text = icehost(args);
    ASSERT_EQ(text.code, 0) << c.node << text.err;
    EXPECT_EQ(text.out.substr(text.out.find('\n') + 1),
              "[0] " + c.every_shown + "\n[1] " + c.one_shown + "\n")
        << c.node;
    args.push_back("--json");
    const Outcome json = icehost(args);
    ASSERT_EQ(json.code, 0) << c.node << json.err;
    EXPECT_NE(json.out.find("\"written\": [{\"element\": 0, \"value\": " + c.every_shown +
                            "}, {\"element\": 1, \"value\": " + c.one_shown + "}]"),
              std::string::npos)
        << json.out;
  }
}

TEST(EvalHuman, HeaderThenOneLinePerElement) {
  const Outcome outcome =
      icehost({"eval", "kestrune", "--index", "list:4,1", "--set", "RemoveAll=true"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_EQ(outcome.out,
            "kestrune  port 200 Result  status 0  elements 10  written 2\n"
            "[1] \"" +
                kAllRemoved + "\"\n[4] \"" + kAllRemoved + "\"\n");
  EXPECT_EQ(outcome.err, "");
}

TEST(Info, ListsTheRegistrationAndTheUnloadLine) {
  const Outcome outcome = icehost({"info", kKestrune.string(), "--json"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  const Json info = parse(outcome.out);
  EXPECT_EQ(info.at("plugin").get<std::string>(), "kestrune Plugin");
  EXPECT_EQ(info.at("version").at(0).get<int>(), 1);
  ASSERT_EQ(info.at("nodes").size(), 1u);
  const Json& node = info.at("nodes").at(0);
  EXPECT_EQ(node.at("name").get<std::string>(), "kestrune");
  EXPECT_EQ(node.at("category").get<std::string>(), "Custom ICENode");
  ASSERT_EQ(node.at("color").size(), 3u);
  EXPECT_EQ(node.at("color").at(0).get<int>(), 87);
  EXPECT_EQ(node.at("color").at(1).get<int>(), 112);
  EXPECT_EQ(node.at("color").at(2).get<int>(), 102);
  const auto& ports = node.at("ports");
  ASSERT_EQ(ports.size(), 4u);
  EXPECT_EQ(ports.at(0).at("name").get<std::string>(), "String");
  EXPECT_EQ(ports.at(1).at("default").get<std::string>(), "subString");
  EXPECT_EQ(ports.at(2).at("data_type").get<int>(), 1);
  EXPECT_TRUE(ports.at(2).at("default").is_boolean());
  EXPECT_EQ(ports.at(3).at("direction").get<std::string>(), "out");
  EXPECT_EQ(ports.at(3).at("id").get<int>(), 200);
  EXPECT_TRUE(ports.at(3).at("group").is_null());
  EXPECT_EQ(ports.at(3).at("constraints").at(2).get<int>(), 402);
  const auto& log = info.at("log");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log.at(0).at("text").get<std::string>(), "kestrune Plugin has been unloaded.");
  EXPECT_EQ(log.at(0).at("severity").get<int>(), 16);
  EXPECT_EQ(log.at(0).at("when").get<std::string>(), "unload");

  const Outcome human = icehost({"info", "kestrune"});
  ASSERT_EQ(human.code, 0) << human.err;
  EXPECT_NE(human.out.find("colour    87, 112, 102"), std::string::npos) << human.out;
  EXPECT_NE(human.out.find("at unload  verbose (16)  kestrune Plugin has been unloaded."),
            std::string::npos)
      << human.out;
}

// A definition call that fails at load, which the plug-in asserts on, is a fault of its
// registration, in both forms of info's report; the port it failed to add is not registered.
TEST(Info, AFailedCallAssertedOnIsAFault) {
  icehost::PluginLibrary library(kKestrune, {{"AddInputPort", 1}});
  const icehost::RegistrationReport report = icehost::report_registration(library);
  const std::string fault = "assertion failed with status 1 after AddInputPort";
  EXPECT_EQ(report.faults, std::vector<std::string>{fault});

  const Json json = parse(icehost::json_text(icehost::info_json(report)));
  ASSERT_EQ(json.at("assertion_failures").size(), 1u);
  EXPECT_EQ(json.at("assertion_failures").at(0).at("status").get<int>(), 1);
  EXPECT_EQ(json.at("assertion_failures").at(0).at("after").get<std::string>(), "AddInputPort");
  EXPECT_EQ(json.at("nodes").at(0).at("ports").size(), 3u);
  EXPECT_EQ(json.at("faults").at(0).get<std::string>(), fault);

  std::ostringstream text;
  icehost::print_info(report, text);
  EXPECT_NE(text.str().find("\nassertion failures: \n  status 1 after AddInputPort: \n"),
            std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("faults:\n  " + fault + "\n"), std::string::npos) << text.str();
}

TEST(Demo, OneLinePerPlugin) {
  const Outcome outcome = icehost({"demo"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  const std::regex kestrune(
      "(^|\n)kestrune +String, SubString, RemoveAll -> Result \\(200\\) +\\[0-9\\] \"" +
      kFirstRemoved + "\"\n");
  EXPECT_TRUE(std::regex_search(outcome.out, kestrune)) << outcome.out;
  // A node of several outputs: each evaluated in turn, named.
  EXPECT_TRUE(std::regex_search(
      outcome.out, std::regex("-> Position \\(200\\), Count \\(201\\) +Position: \\[0-9\\] 2; "
                              "Count: \\[0-9\\] 1\n")));
}

TEST(Help, EveryCommandPrintsUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"},
                                                                {"-h"},
                                                                {"info", "--help"},
                                                                {"eval", "kestrune", "-h"},
                                                                {"demo", "--help"},
                                                                {"check", "--help"}}) {
    const Outcome outcome = icehost(args);
    EXPECT_EQ(outcome.code, 0) << args.front();
    EXPECT_EQ(outcome.out.rfind("usage: icehost", 0), 0u) << outcome.out;
    EXPECT_EQ(outcome.err, "");
  }
}

TEST(BadInput, OneLineOnStderrExitTwoNothingOnStdout) {
  const fs::path not_library = fs::temp_directory_path() / "icehost_test_not_a_library.so";
  std::ofstream(not_library) << "not a library\n";
  const fs::path not_utf8 = fs::temp_directory_path() / "icehost_test_not_utf8.txt";
  std::ofstream(not_utf8, std::ios::binary) << "ab\xFF\n";
  const std::string vireth = library_in(TEXTNODES_PLUGIN_DIR, "vireth");
  const std::string tamsel = library_in(TEXTNODES_PLUGIN_DIR, "tamsel");
  const fs::path sdk_library = fs::path(TEXTNODES_PLUGIN_DIR) / ".." / "lib" / "libxsisdk.so";
  const std::string k = kKestrune.string();
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const std::vector<Case> cases = {
    {{}, "no command"},
    {{"frobnicate"}, "unknown command 'frobnicate'"},
    {{"--frobnicate"}, "unknown option --frobnicate"},
    {{"info"}, "needs a plug-in"},
    {{"eval", k, "--frob"}, "unknown option --frob"},
    {{"demo", "extra"}, "unexpected argument"},
    {{"eval", "/no/such/libnothing.so"}, "no such file"},
    {{"eval", "nothing_by_that_name"}, "no such plug-in"},
    {{"info", not_library.string()}, "not a loadable library"},
#if !defined(_WIN32)
    {{"info", sdk_library.string()}, "not a plug-in"},
#endif
    {{"eval", k, "--set", "Nope=1"},
     "--set: unknown port 'Nope' (the inputs of kestrune are String (0), SubString (1), "
     "RemoveAll (2))"},
    {{"eval", k, "--set", "3=x"}, "unknown port '3' (the inputs of kestrune are String (0), "},
    {{"eval", k, "--set-file", "-1@0=x"}, "unknown port '-1' (the inputs of kestrune are String"},
    {{"eval", k, "--set", "Result=x"}, "Result is an output"},
    {{"eval", k, "--set", "200@1=x"}, "--set: Result is an output; set an input (String (0), "},
    {{"eval", k, "--set", "0@10=x"}, "element 10 is past the element count 10"},
    {{"eval", k, "--set", "RemoveAll"}, "takes PORT=VALUE"},
    {{"eval", k, "--set"}, "--set needs a value"},
    {{"eval", k, "--set", "RemoveAll=yes"}, "'yes' is not a boolean"},
    {{"eval", k, "--set", "RemoveAll=True"}, "'True' is not a boolean"},
    {{"eval", k, "--set", "String=\xC3("}, "not valid UTF-8"},
    {{"eval", k, "--set", "String@10=x"}, "element 10 is past the element count 10"},
    {{"eval", k, "--set", "String@x=x"}, "'x' is not an element index"},
    {{"eval", k, "--set-file", "String=/no/such/file"}, "cannot read file"},
    {{"eval", k, "--set-file", "RemoveAll=" + not_library.string()}, "takes a text port"},
    {{"eval", k, "--elements", "ten"}, "--elements takes a count, not 'ten'"},
    {{"eval", k, "--elements", "-1"}, "--elements takes a count"},
    {{"eval", k, "--elements", "99999999"}, "--elements takes at most 1000000 elements, not"},
    {{"eval", k, "--elements", "99999999999"}, "takes at most 1000000 elements, not '99999"},
    {{"eval", k, "--index", "range:11"}, "past the element count 10"},
    {{"eval", k, "--elements", "3", "--index", "list:0,-,3"}, "entry 3 is past"},
    {{"eval", k, "--elements", "3", "--index", "bits:0001"}, "4 bits is past"},
    {{"eval", k, "--index", "bits:0120"}, "only 0 and 1"},
    {{"eval", k, "--index", "list:1,,2"}, "neither an index nor -"},
    {{"eval", k, "--index", "every:3"}, "unknown index form"},
    {{"eval", k, "--port", "7"}, "not an output of kestrune"},
    {{"eval"}, "needs a plug-in"},
    {{"info", k, "--elements", "3"}, "unknown option --elements for info"},
    {{"eval", k, "--elements"}, "--elements needs a value"},
    {{"eval", k, "--index", "range:"}, "--index range: takes a count"},
    {{"eval", k, "--index", "range:-1"}, "--index range: takes a count"},
    {{"eval", k, "--port", "x"}, "--port takes an output port id, not 'x'"},
    {{"eval", k, "--set", "String@-1=x"}, "'-1' is not an element index"},
    {{"eval", k, "--set", "String@0=x", "--elements", "0"}, "element 0 is past"},
    {{"eval", vireth, "--set", "Scalar=1.5,abc"}, "'abc' is not a 32-bit float for port Scalar"},
    {{"eval", vireth, "--set", "Scalar@2=1.5e40"},
     "'1.5e40' is out of the 32-bit float's range for port Scalar"},
    {{"eval", vireth, "--set", "Scalar=-3.402823669e38"}, "out of the 32-bit float's range"},
    {{"eval", vireth, "--set", "Scalar=1e99999999999999999999"}, "out of the 32-bit float's range"},
    {{"eval", tamsel, "--set", "Integer=1,2.5"}, "'2.5' is not a 32-bit integer for port Integer"},
    {{"eval", tamsel, "--set", "Integer=-2147483649"}, "is not a 32-bit integer"},
    {{"eval", k, "--set-file", "String=" + fs::temp_directory_path().string()},
     "cannot read file: it is a folder"},
    {{"eval", k, "--set-file", "String=" + not_utf8.string()}, "not valid UTF-8"},
    {{"eval", vireth, "--set-file", "Scalar=" + not_utf8.string()}, "takes a text port"},
    {{"eval", k, "--set-constant", "String@1=x"}, "PORT@K is --set's"},
    {{"check", k}, "check needs a plug-in and one case file at least"},
    {{"check", k, "/no/such/file.json"}, "/no/such/file.json: cannot read file"},
    {{"check", k, case_file("not_json", "[{]")}, "not JSON"},
    {{"check", k, case_file("object", "{}")}, "a case file is a JSON array of cases"},
    {{"check", k, case_file("typo", R"([{"case": "a", "wnat": ["x"]}])")},
     R"(case 1 "a", key "wnat": unknown key)"},
    {{"check", k, case_file("unnamed", R"([{"want": ["x"]}])")}, R"(case 1, key "case": )"},
    {{"check", k, case_file("type", R"([{"case": "a", "want": [1]}])")},
     R"(key "want": 1 is not a text for port Result)"},
    {{"check", k,
      case_file("each", R"([{"case": "a", "each": {"String": ["x"]}, "want": ["", ""]}])")},
     R"(key "each": String takes one value per element, 2 of them, not ["x"])"},
    {{"check", k,
      case_file(
          "twice",
          R"([{"case": "a", "set": {"0": "x"}, "constant": {"String": "y"}, "want": [""]}])")},
     R"(key "constant": String is given a second time)"},
    {{"check", k,
      case_file("no_input", R"([{"case": "a", "set": {"Result": "x"}, "want": [""]}])")},
     R"(key "set": Result is an output; set an input (String (0), SubString (1), RemoveAll (2)))"},
    {{"check", k, case_file("unknown", R"([{"case": "a", "set": {"Nope": "x"}, "want": [""]}])")},
     R"(key "set": unknown port 'Nope' (the inputs of kestrune are String (0), SubString (1), )"},
    {{"check", k, case_file("marker", R"([{"case": "a", "want": {"1": "-1"}}])")},
     R"(key "want": element 1 is past the element count 1)"},
    {{"check", k, case_file("marker_x", R"([{"case": "a", "want": {"x": "-1"}}])")},
     R"(key "want": 'x' is not an element index)"},
    {{"check", k, case_file("many", R"([{"case": "a", "elements": 99999999999, "want": {}}])")},
     R"(key "elements": at most 1000000 elements, not 99999999999)"},
    {{"check", k, case_file("count", R"([{"case": "a", "elements": 2, "want": ["x"]}])")},
     R"(key "elements": 2, but "want" has 1 values)"},
    {{"check", k, case_file("port", R"([{"case": "a", "port": 0, "want": ["x"]}])")},
     R"(key "port": 0 is not an output of kestrune (its outputs: Result (200)))"},
    {{"check", vireth,
      case_file("float", R"([{"case": "a", "set": {"Scalar": [3.5e38]}, "want": [[]]}])")},
     R"(key "set": 3.5e+38 is out of the 32-bit float's range for port Scalar)"},
    {{"check", vireth,
      case_file("floats", R"([{"case": "a", "set": {"Scalar": 1}, "want": [[]]}])")},
     R"(key "set": 1 is not an array of 32-bit floats for port Scalar)"},
    {{"check", tamsel,
      case_file("integer", R"([{"case": "a", "set": {"Integer": [2147483648]}, "want": [[]]}])")},
     R"(key "set": 2147483648 is not a 32-bit integer for port Integer)"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = icehost(c.args);
    std::string shown;
    for (const auto& arg : c.args) shown += arg + " ";
    EXPECT_EQ(outcome.code, 2) << shown;
    EXPECT_EQ(outcome.out, "") << shown;
    EXPECT_EQ(outcome.err.rfind("icehost: ", 0), 0u) << shown << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << shown << outcome.err;
    EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << shown << outcome.err;
  }
  fs::remove(not_library);
  fs::remove(not_utf8);
}

// The evaluation eval runs is the one evaluate gives other code: the report of the same options,
// planned against the node, holds what eval --json prints, 32-bit floats in their JSON forms
// included.
TEST(Evaluate, TheReportHoldsWhatEvalPrints) {
  const std::vector<std::string> args = {"eval",       library_in(TEXTNODES_PLUGIN_DIR, "palvane"),
                                         "--set",      "String=1.5;inf;-0;nan;x",
                                         "--set",      "Delimiter=;",
                                         "--index",    "list:3,-,1",
                                         "--elements", "4",
                                         "--json"};
  const Outcome printed = icehost(args);
  ASSERT_EQ(printed.code, 0) << printed.err;

  const auto options = std::get<icehost::EvalOptions>(icehost::parse_command_line(args));
  icehost::PluginLibrary library(options.plugin);
  const icehost::EvaluationReport report =
      icehost::evaluate(library, icehost::plan_eval(library.node(), options));
  EXPECT_EQ(report.node, "palvane");
  EXPECT_EQ(report.port, 200u);
  EXPECT_EQ(report.port_name, "Scalar");
  EXPECT_EQ(report.status, XSI::CStatus::OK);
  EXPECT_TRUE(report.faults.empty());
  ASSERT_EQ(report.written.size(), 2u);
  EXPECT_EQ(report.written[0].element, 1u);
  EXPECT_EQ(report.written[1].element, 3u);
  const auto& items = report.written[1].values;
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(std::get<float>(items[0]), 1.5f);
  EXPECT_TRUE(std::isinf(std::get<float>(items[1])));
  EXPECT_TRUE(std::signbit(std::get<float>(items[2])));
  EXPECT_TRUE(std::isnan(std::get<float>(items[3])));
  EXPECT_EQ(std::get<float>(items[4]), 0.0f);

  EXPECT_EQ(printed.out, icehost::json_text(icehost::eval_json(report)) + "\n");
  EXPECT_NE(printed.out.find("{\"element\": 3, \"value\": [1.5, \"inf\", -0, \"nan\", 0]}"),
            std::string::npos)
      << printed.out;
}

// Plug-ins built for these tests, each misusing the SDK in one way: icehost still prints what
// they wrote, names the fault, and exits 1, whether it prints JSON or text.
TEST(Faults, AMisbehavingPluginIsReportedWithItsFaultsNamed) {
  struct Case {
    std::string plugin;
    std::string fault;
  };
  const std::vector<Case> cases = {
      {"leaky", "the array of port 200 was acquired and never released"},
      {"tangled",
       "released the array of port 200 before the array of port 0, out of reverse order of "
       "acquisition"},
      {"overrun", "SetStringData at element 4 of port 200, past its count of 4"},
  };
  for (const Case& c : cases) {
    const std::string path = library_in(TEXTNODES_TEST_PLUGIN_DIR, c.plugin);
    const Outcome json =
        icehost({"eval", path, "--elements", "4", "--index", "list:3,-,1", "--json"});
    ASSERT_EQ(json.code, 1) << c.plugin << json.err;
    EXPECT_EQ(json.err, "") << c.plugin;
    const Json result = parse(json.out);
    EXPECT_EQ(result.at("node").get<std::string>(), c.plugin);
    EXPECT_EQ(result.at("status").get<int>(), 0) << c.plugin;
    ASSERT_EQ(result.at("faults").size(), 1u) << c.plugin << json.out;
    EXPECT_EQ(result.at("faults").at(0).get<std::string>(), c.fault);
    // The overrun writes every element, the others the evaluated ones.
    const std::size_t written = c.plugin == "overrun" ? 4 : 2;
    EXPECT_EQ(written_texts(json).size(), written) << c.plugin;
    EXPECT_EQ(written_texts(json).back(), (std::pair<int, std::string>(3, "abc"))) << c.plugin;

    const Outcome human = icehost({"eval", path, "--elements", "4"});
    EXPECT_EQ(human.code, 1) << c.plugin;
    EXPECT_NE(human.out.find("faults:\n  " + c.fault + "\n"), std::string::npos) << human.out;
    EXPECT_EQ(human.err, "icehost: " + c.plugin + " returned status 0 with 1 fault(s)\n");
  }
}

// A call that fails is reported by its status and named, whatever it wrote.
TEST(Faults, AFailedCallIsNamedAndExitsOne) {
  const std::string path = library_in(TEXTNODES_TEST_PLUGIN_DIR, "starved");
  const Outcome json = icehost({"eval", path, "--json"});
  EXPECT_EQ(json.code, 1);
  EXPECT_EQ(parse(json.out).at("status").get<int>(), XSI::CStatus::MemoryUnavailable);
  EXPECT_EQ(parse(json.out).at("status_name").get<std::string>(), "out of memory");
  const Outcome human = icehost({"eval", path});
  EXPECT_EQ(human.code, 1);
  EXPECT_EQ(human.err, "icehost: starved returned status 2 (out of memory) with 0 fault(s)\n");
}

// icehost check through real nodes and one that writes what it should not: a case a node meets
// passes; one it does not meet fails, one line for each wrong element of each index set and host.
TEST(Check, PassesWhatANodeMeetsAndNamesEveryWrongElement) {
  struct Case {
    std::string node;
    std::string cases;
    int code;
    std::vector<std::string> lines;  // among those printed on out
    std::string err;                 // what err begins with
  };
  const std::vector<Case> cases = {
      {"textlength",
       R"([  // comments are allowed
         {"case": "each its own", "each": {"String": ["", "ab", "éé"]}, "want": [0, 2, 2]},
         {"case": "one for all", "elements": 3, "constant": {"String": "abc"}, "want": [3, 3, 3]}])",
       0,
       {"textlength: 2 case(s), each over 3 index sets in 2 hosts: every one passed\n"},
       ""},
      {"textjoin",
       R"([{"case": "item 0 for every item", "elements": 2,
                        "constant": {"Strings": ["a", "b"]}, "want": ["a,a", "a,a"]}])",
       0,
       {"every one passed"},
       ""},
      {"palvane",
       R"([{"case": "marker", "elements": 3, "set": {"Delimiter": "0"}, "want": {"0": [-1]}},
         {"case": "NaN is NaN", "set": {"String": "nan,-0,inf"}, "want": [["nan", -0.0, "inf"]]},
         {"case": "-0 is not 0", "set": {"String": "1,-0"}, "want": [[1, 0]]}])",
       1,
       {R"(: case 3 "-0 is not 0" list:0,- strict host: element 0: wanted [1, 0], came [1, -0])"},
       "icehost: palvane: 4 failure(s) in 1 of 3 case(s)"},
      {"kestrune",
       R"([{"case": "read at each element", "each": {"String": ["ab", "xb"]},
                        "set": {"SubString": "b"}, "want": ["a", "x"]}])",
       1,
       {R"( range:2 ordinary host: element 1: wanted "x", came "a")"},
       "icehost: kestrune: 4"},
      {"echo_array_integer",
       R"([{"case": "no default: no items", "want": [[]]}])",
       0,
       {"every one passed"},
       ""},
      {"stray",
       R"([{"case": "selected only", "each": {"String": ["a", "b", "c"]}, "want": ["a", "b", "c"]},
         {"case": "one for all", "elements": 2, "constant": {"String": "a"}, "want": ["a", "a"]}])",
       1,
       {R"( list:2,-,0 ordinary host: element 1: not selected, wanted nothing written, came "b")",
        R"( bits:010 strict host: element 2: not selected, wanted nothing written, came "c")",
        R"( range:2 ordinary host: element 1: wanted "a", came ")"
        "\xE2\x89\xA0"
        R"(String a")"},
       "icehost: stray: 14 failure(s) in 2 of 2 case(s)"},
  };
  for (const Case& c : cases) {
    const bool test_plugin = c.node == "stray" || c.node.starts_with("echo");
    const std::string plugin =
        library_in(test_plugin ? TEXTNODES_TEST_PLUGIN_DIR : TEXTNODES_PLUGIN_DIR, c.node);
    const Outcome outcome = icehost({"check", plugin, case_file(c.node, c.cases)});
    EXPECT_EQ(outcome.code, c.code) << c.node << outcome.out << outcome.err;
    for (const std::string& line : c.lines)
      EXPECT_NE(outcome.out.find(line), std::string::npos) << line << "\n" << outcome.out;
    EXPECT_EQ(outcome.err.rfind(c.err, 0), 0u) << outcome.err;
  }
}

// The unforgiving host changes no plug-in's results: every node, each index form.
TEST(StrictHost, EveryNodeWritesWhatItWritesInTheOrdinaryHost) {
  for (const char* node :
       {"kestrune", "palvane", "dromlet", "ocherin", "vireth", "tamsel", "textlength", "textfind",
        "textreplace", "textslice", "textjoin", "regexmatch", "regexextract", "regexreplace"}) {
    for (const char* index : {"range:10", "list:7,-,2,0", "bits:1011001"}) {
      const std::vector<std::string> args = {"eval", library_in(TEXTNODES_PLUGIN_DIR, node),
                                             "--index", index, "--json"};
      std::vector<std::string> strict = args;
      strict.push_back("--strict-host");
      const Outcome ordinary = icehost(args);
      const Outcome unforgiving = icehost(strict);
      EXPECT_EQ(ordinary.code, 0) << node << " " << index << ordinary.err;
      EXPECT_EQ(unforgiving.code, 0) << node << " " << index << unforgiving.err;
      EXPECT_EQ(unforgiving.out, ordinary.out) << node << " " << index;
    }
  }
}

}  // namespace
