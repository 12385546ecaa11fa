// icehost through the real plug-ins: what eval, info and demo print, and how bad input ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cli.h"
#include "json.h"
#include "utf8.h"

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

// A JSON reader just strict enough to hold icehost to one well-formed object.
struct Json {
  enum class Kind { null, boolean, number, text, array, object } kind = Kind::null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::vector<std::string> keys;  // an object's keys, in order; its values are in items

  const Json& operator[](const std::string& key) const {
    for (std::size_t i = 0; i < keys.size(); ++i)
      if (keys[i] == key) return items[i];
    throw std::runtime_error("no member " + key);
  }
  const Json& operator[](std::size_t i) const { return items.at(i); }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  Json document() {
    Json value = read();
    skip();
    if (at_ != text_.size()) fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& why) {
    throw std::runtime_error(why + " at " + std::to_string(at_));
  }
  void skip() {
    while (at_ < text_.size() &&
           std::string_view(" \n\r\t").find(text_[at_]) != std::string_view::npos)
      ++at_;
  }
  bool take(char c) {
    skip();
    if (at_ < text_.size() && text_[at_] == c) return ++at_, true;
    return false;
  }
  void expect(char c) {
    if (!take(c)) fail(std::string("expected ") + c);
  }
  std::string string() {
    expect('"');
    std::string out;
    while (at_ < text_.size() && text_[at_] != '"') {
      const char c = text_[at_++];
      if (static_cast<unsigned char>(c) < 0x20) fail("raw control character");
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      const char e = text_.at(at_++);
      if (e == 'u') {
        const unsigned code = std::stoul(std::string(text_.substr(at_, 4)), nullptr, 16);
        at_ += 4;
        out += icehost::wide_to_utf8(std::wstring(1, static_cast<wchar_t>(code)));
      } else if (e == '"' || e == '\\' || e == '/') {
        out.push_back(e);
      } else {
        out.push_back(std::string_view("\b\f\n\r\t").at(std::string_view("bfnrt").find(e)));
      }
    }
    expect('"');
    return out;
  }
  Json read() {
    Json value;
    skip();
    if (at_ >= text_.size()) fail("end of text");
    const char c = text_[at_];
    if (c == '{') {
      value.kind = Json::Kind::object;
      ++at_;
      if (take('}')) return value;
      do {
        value.keys.push_back(string());
        expect(':');
        value.items.push_back(read());
      } while (take(','));
      expect('}');
    } else if (c == '[') {
      value.kind = Json::Kind::array;
      ++at_;
      if (take(']')) return value;
      do value.items.push_back(read());
      while (take(','));
      expect(']');
    } else if (c == '"') {
      value.kind = Json::Kind::text;
      value.text = string();
    } else if (text_.substr(at_, 4) == "true" || text_.substr(at_, 5) == "false") {
      value.kind = Json::Kind::boolean;
      value.boolean = c == 't';
      at_ += value.boolean ? 4 : 5;
    } else if (text_.substr(at_, 4) == "null") {
      at_ += 4;
    } else {
      value.kind = Json::Kind::number;
      std::size_t used = 0;
      value.number = std::stod(std::string(text_.substr(at_)), &used);
      at_ += used;
    }
    return value;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

Json parse(const std::string& text) { return JsonReader(text).document(); }

// The written elements of an eval --json result as (element, text) pairs.
std::vector<std::pair<int, std::string>> written_texts(const Outcome& outcome) {
  std::vector<std::pair<int, std::string>> written;
  const Json result = parse(outcome.out);
  for (const Json& entry : result["written"].items)
    written.emplace_back(static_cast<int>(entry["element"].number), entry["value"].text);
  return written;
}

const std::string kAllRemoved = "this_string_has_a__and_another__and_yet_another__in_it";
const std::string kFirstRemoved =
    "this_string_has_a__and_another_subString_and_yet_another_subString_in_it";

TEST(EvalJson, WritesEveryEvaluatedElementInOrder) {
  const Outcome all = eval({"--set", "RemoveAll=true"});
  ASSERT_EQ(all.code, 0) << all.err;
  EXPECT_EQ(all.err, "");
  const Json result = parse(all.out);
  EXPECT_EQ(result["node"].text, "kestrune");
  EXPECT_EQ(result["port"].number, 200);
  EXPECT_EQ(result["status"].number, 0);
  EXPECT_TRUE(result["faults"].items.empty());
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
  EXPECT_TRUE(parse(none.out)["written"].items.empty());
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
  EXPECT_EQ(info["plugin"].text, "kestrune Plugin");
  EXPECT_EQ(info["version"][0].number, 1);
  ASSERT_EQ(info["nodes"].items.size(), 1u);
  const Json& node = info["nodes"][0];
  EXPECT_EQ(node["name"].text, "kestrune");
  EXPECT_EQ(node["category"].text, "Custom ICENode");
  ASSERT_EQ(node["color"].items.size(), 3u);
  EXPECT_EQ(node["color"][0].number, 87);
  EXPECT_EQ(node["color"][1].number, 112);
  EXPECT_EQ(node["color"][2].number, 102);
  const auto& ports = node["ports"].items;
  ASSERT_EQ(ports.size(), 4u);
  EXPECT_EQ(ports[0]["name"].text, "String");
  EXPECT_EQ(ports[1]["default"].text, "subString");
  EXPECT_EQ(ports[2]["data_type"].number, 1);
  EXPECT_EQ(ports[2]["default"].kind, Json::Kind::boolean);
  EXPECT_EQ(ports[3]["direction"].text, "out");
  EXPECT_EQ(ports[3]["id"].number, 200);
  EXPECT_EQ(ports[3]["group"].kind, Json::Kind::null);
  EXPECT_EQ(ports[3]["constraints"][2].number, 402);
  const auto& log = info["log"].items;
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0]["text"].text, "kestrune Plugin has been unloaded.");
  EXPECT_EQ(log[0]["severity"].number, 16);
  EXPECT_EQ(log[0]["when"].text, "unload");

  const Outcome human = icehost({"info", "kestrune"});
  ASSERT_EQ(human.code, 0) << human.err;
  EXPECT_NE(human.out.find("colour    87, 112, 102"), std::string::npos) << human.out;
  EXPECT_NE(human.out.find("at unload  verbose (16)  kestrune Plugin has been unloaded."),
            std::string::npos)
      << human.out;
}

TEST(Demo, OneLineAndTheDefaultEvaluationPerPlugin) {
  const Outcome outcome = icehost({"demo"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;
  EXPECT_NE(outcome.out.find("kestrune  kestrune Plugin 1.0  in: String, SubString, RemoveAll  "
                             "out: Result (200)  category Custom ICENode\n  status 0  [0-9] \"" +
                             kFirstRemoved + "\"\n"),
            std::string::npos)
      << outcome.out;
}

TEST(Help, EveryCommandPrintsUsage) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--help"},
                                                                {"-h"},
                                                                {"info", "--help"},
                                                                {"eval", "kestrune", "-h"},
                                                                {"demo", "--help"}}) {
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
     "unknown port 'Nope' (the inputs of kestrune are String, "
     "SubString, RemoveAll)"},
    {{"eval", k, "--set", "Result=x"}, "Result is an output"},
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
    {{"eval", k, "--elements", "99999999"}, "at most"},
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
    {{"eval", vireth, "--set", "Scalar=1.5,abc"}, "'abc' is not a float for port Scalar"},
    {{"eval", vireth, "--set", "Scalar@2=1.5e40"}, "'1.5e40' is not a float for port Scalar"},
    {{"eval", tamsel, "--set", "Integer=1,2.5"}, "'2.5' is not a 32-bit integer for port Integer"},
    {{"eval", tamsel, "--set", "Integer=-2147483649"}, "is not a 32-bit integer"},
    {{"eval", k, "--set-file", "String=" + fs::temp_directory_path().string()}, "cannot read file"},
    {{"eval", k, "--set-file", "String=" + not_utf8.string()}, "not valid UTF-8"},
    {{"eval", vireth, "--set-file", "Scalar=" + not_utf8.string()}, "takes a text port"},
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
    EXPECT_EQ(result["node"].text, c.plugin);
    EXPECT_EQ(result["status"].number, 0) << c.plugin;
    ASSERT_EQ(result["faults"].items.size(), 1u) << c.plugin << json.out;
    EXPECT_EQ(result["faults"][0].text, c.fault);
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

xsi_host::PortRecord port_of(XSI::ULONG data_type, XSI::ULONG structure) {
  xsi_host::PortRecord port;
  port.name = L"P";
  port.data_type = data_type;
  port.structure = structure;
  return port;
}

TEST(PortValues, NumbersParseStrictlyForTheirType) {
  const auto floats = port_of(XSI::siICENodeDataFloat, XSI::siICENodeStructureArray);
  const auto items = icehost::parse_port_value(floats, "1.36,+4.6704993,-inf,nan,-0");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(std::get<float>(items[0]), 1.36f);
  EXPECT_EQ(std::get<float>(items[1]), 4.6704993f);
  EXPECT_TRUE(std::isinf(std::get<float>(items[2])) && std::get<float>(items[2]) < 0);
  EXPECT_TRUE(std::isnan(std::get<float>(items[3])));
  EXPECT_TRUE(std::signbit(std::get<float>(items[4])));
  EXPECT_TRUE(icehost::parse_port_value(floats, "").empty());
  for (const char* bad : {"1,,2", "1e50", " 1", "1 ", "++1", "+-1", "0x10", "1,"})
    EXPECT_THROW(icehost::parse_port_value(floats, bad), icehost::UsageError) << bad;

  const auto integer = port_of(XSI::siICENodeDataLong, XSI::siICENodeStructureSingle);
  EXPECT_EQ(std::get<std::int32_t>(icehost::parse_port_value(integer, "-2147483648")[0]),
            INT32_MIN);
  EXPECT_EQ(std::get<std::int32_t>(icehost::parse_port_value(integer, "+2147483647")[0]),
            INT32_MAX);
  for (const char* bad : {"2147483648", "1.5", "", "1,2", "nan"})
    EXPECT_THROW(icehost::parse_port_value(integer, bad), icehost::UsageError) << bad;

  const auto texts = port_of(XSI::siICENodeDataString, XSI::siICENodeStructureArray);
  EXPECT_EQ(icehost::parse_port_value(texts, "a,,b").size(), 3u);
  const auto text = port_of(XSI::siICENodeDataString, XSI::siICENodeStructureSingle);
  EXPECT_EQ(std::get<std::wstring>(icehost::parse_port_value(text, "a,b")[0]), L"a,b");
}

TEST(Utf8, RejectsMalformedBytesAndRoundTripsCharacters) {
  for (const char* bad : {"\x80", "\xC0\x80", "\xE2\x86", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xF8\x88\x80\x80\x80", "a\xC3"})
    EXPECT_FALSE(icehost::utf8_to_wide(bad).has_value()) << bad;
  const std::string text = "a\xC3\xA9\xE2\x86\x92\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
  const auto wide = icehost::utf8_to_wide(text);
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(wide->size(), sizeof(wchar_t) == 2 ? 7u : 5u);
  EXPECT_EQ(icehost::wide_to_utf8(*wide), text);
  EXPECT_EQ(icehost::utf8_to_wide(std::string("a\0b", 3))->size(), 3u);
  // A unit that is no character comes out as U+FFFD.
  EXPECT_EQ(icehost::wide_to_utf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(Json, QuotesControlCharactersAndFormatsShortestFloats) {
  EXPECT_EQ(icehost::json_quote(std::string("a\"\\\n\x01\x7F\0", 7)),
            "\"a\\\"\\\\\\u000a\\u0001\\u007f\\u0000\"");
  EXPECT_EQ(icehost::json_quote("\xE2\x86\x92"), "\"\xE2\x86\x92\"");
  EXPECT_EQ(icehost::float_text(1.36f), "1.36");
  EXPECT_EQ(icehost::float_text(4.6704993f), "4.6704993");
  EXPECT_EQ(icehost::float_text(-0.0f), "-0");
  EXPECT_EQ(icehost::float_text(-INFINITY), "-inf");
  EXPECT_EQ(icehost::float_text(NAN), "nan");
}

}  // namespace
