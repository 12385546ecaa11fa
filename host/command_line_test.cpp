// Reading icehost's command line: the commands and their options into plain structs, the values
// of --set in each port type, and the UTF-8 of the arguments.
#include "command_line.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "json.h"
#include "port_resolver.h"
#include "text_unicode/characters.h"
#include "usage_error.h"
#include "utf8.h"

namespace {

using namespace std::string_literals;
using icehost::EvalOptions;
using icehost::HelpRequest;
using icehost::InfoOptions;

icehost::CommandLine read(const std::vector<std::string>& args) {
  return icehost::parse_command_line(args);
}

// The one line a command line is refused with; "" when it is read.
std::string problem(const std::vector<std::string>& args) {
  try {
    icehost::parse_command_line(args);
  } catch (const icehost::UsageError& error) {
    return error.what();
  }
  return "";
}

EvalOptions eval(const std::vector<std::string>& args) { return std::get<EvalOptions>(read(args)); }

bool is_help(const std::vector<std::string>& args) {
  return std::holds_alternative<HelpRequest>(read(args));
}

TEST(CommandLine, EvalOptionsReadIntoTheirFields) {
  const EvalOptions defaults = eval({"eval", "kestrune"});
  EXPECT_EQ(defaults.plugin, "kestrune");
  EXPECT_FALSE(defaults.json);
  EXPECT_TRUE(defaults.settings.empty());
  EXPECT_EQ(defaults.element_count, icehost::kDefaultElements);
  EXPECT_EQ(defaults.index.form, icehost::IndexChoice::Form::range);
  EXPECT_FALSE(defaults.index.range_count.has_value());
  EXPECT_FALSE(defaults.port.has_value());

  const EvalOptions options =
      eval({"eval", "--set", "A=1", "kestrune", "--set-file", "B=p", "--elements", "+3", "--index",
            "list:1,-", "--port", "200", "--json", "--set", "A@2=x", "--elements", "4",
            "--set-constant", "C=y"});
  EXPECT_EQ(options.plugin, "kestrune");
  EXPECT_TRUE(options.json);
  ASSERT_EQ(options.settings.size(), 4u);
  EXPECT_EQ(options.settings[0].text, "A=1");
  EXPECT_FALSE(options.settings[0].from_file || options.settings[0].constant);
  EXPECT_EQ(options.settings[1].text, "B=p");
  EXPECT_TRUE(options.settings[1].from_file);
  EXPECT_EQ(options.settings[2].text, "A@2=x");
  EXPECT_EQ(options.settings[3].text, "C=y");
  EXPECT_TRUE(options.settings[3].constant && !options.settings[3].from_file);
  EXPECT_EQ(options.element_count, 4u);
  EXPECT_EQ(options.index.form, icehost::IndexChoice::Form::list);
  EXPECT_EQ(options.index.list, (std::vector<XSI::ULONG>{1, XSI::kNotFound}));
  EXPECT_EQ(options.port, 200u);

  EXPECT_EQ(std::get<InfoOptions>(read({"info", "--json", "a/b.so"})).plugin, "a/b.so");
  EXPECT_TRUE(std::holds_alternative<icehost::DemoOptions>(read({"demo"})));
}

TEST(CommandLine, AnOptionTakesTheNextArgumentWhateverItIs) {
  for (const std::string value :
       {"--json", "-h", "--set", "", "[a,b]", "\x01x", "--", "a=b", "--set=x", "--json=x"}) {
    const EvalOptions options = eval({"eval", "k", "--set", value});
    ASSERT_EQ(options.settings.size(), 1u) << value;
    EXPECT_EQ(options.settings[0].text, value);
    EXPECT_FALSE(options.json) << value;
  }
  EXPECT_EQ(problem({"eval", "k", "--elements", "--help"}),
            "--elements takes a count, not '--help'");
  // A plug-in name is taken as it stands too, whatever it looks like.
  for (const std::string name : {"-", "[a,b]", "\x01", "info", "a=b"})
    EXPECT_EQ(eval({"eval", name}).plugin, name);
}

TEST(CommandLine, OnlyTheNamesACommandListsAreOptions) {
  for (const std::string arg :
       {"--elem=3", "-h=x", "--", "-hx", "-1", "---x", "--Json", "-j", "--elem", "/json"}) {
    const std::string says = arg.front() == '/'
                                 ? "eval takes one plug-in; unexpected '/json'"
                                 : "unknown option " + arg + " for eval (see icehost eval --help)";
    EXPECT_EQ(problem({"eval", "k", arg}), says);
  }
  EXPECT_EQ(problem({"info", "k", "--set", "A=1"}),
            "unknown option --set for info (see icehost info --help)");
  EXPECT_EQ(problem({"demo", "--json"}),
            "unknown option --json for demo (see icehost demo --help)");
  EXPECT_EQ(problem({"check", "k", "c", "--frob"}),
            "unknown option --frob for check (see icehost check --help)");
  EXPECT_EQ(problem({"demo", "x"}), "unexpected argument 'x' for demo");
}

TEST(CommandLine, AnOptionTakesItsValueAfterAnEqualsSign) {
  const EvalOptions options =
      eval({"eval", "k", "--set=A=1", "--set-file=B=", "--elements=+3", "--index=list:1,-",
            "--port=200", "--set=\x01x", "--set", "--set=y", "--json"});
  ASSERT_EQ(options.settings.size(), 4u);
  EXPECT_EQ(options.settings[0].text, "A=1");
  EXPECT_EQ(options.settings[1].text, "B=");
  EXPECT_TRUE(options.settings[1].from_file);
  EXPECT_EQ(options.settings[2].text, "\x01x");
  EXPECT_EQ(options.settings[3].text, "--set=y");
  EXPECT_EQ(options.element_count, 3u);
  EXPECT_EQ(options.index.list, (std::vector<XSI::ULONG>{1, XSI::kNotFound}));
  EXPECT_EQ(options.port, 200u);
  EXPECT_TRUE(options.json);
  // Nothing after '=' is an empty value, never the next argument.
  EXPECT_EQ(problem({"eval", "k", "--elements=", "4"}), "--elements takes a count, not ''");
  EXPECT_EQ(problem({"eval", "k", "--json=true"}), "--json takes no value, not 'true'");
  EXPECT_EQ(problem({"eval", "k", "--strict-host="}), "--strict-host takes no value, not ''");
  EXPECT_EQ(problem({"info", "k", "--help=x"}), "--help takes no value, not 'x'");
  EXPECT_EQ(problem({"info", "k", "--set=A=1"}),
            "unknown option --set=A=1 for info (see icehost info --help)");
}

TEST(CommandLine, TheFirstProblemInTheOrderGivenWins) {
  EXPECT_EQ(problem({"eval", "--frob", "--elements", "ten"}),
            "unknown option --frob for eval (see icehost eval --help)");
  EXPECT_EQ(problem({"eval", "k", "--elements", "ten", "--frob"}),
            "--elements takes a count, not 'ten'");
  EXPECT_EQ(problem({"eval", "k", "extra", "--elements", "ten"}),
            "eval takes one plug-in; unexpected 'extra'");
  EXPECT_EQ(problem({"eval", "k", "--index", "bogus", "--set"}),
            "unknown index form 'bogus' (use range:C, list:5,-,2 or bits:1011)");
  // Past the cap, whether or not the count fits in 32 or 64 bits: one message.
  for (const std::string count : {"1000001", "2000000", "99999999999", "+99999999999999999999999"})
    EXPECT_EQ(problem({"eval", "k", "--elements", count}),
              "--elements takes at most 1000000 elements, not '" + count + "'");
  EXPECT_EQ(eval({"eval", "k", "--elements", "1000000"}).element_count, 1'000'000u);
  EXPECT_EQ(problem({"eval", "--set"}), "--set needs a value");
  EXPECT_EQ(problem({"eval", "k", "--port"}), "--port needs a value");
  EXPECT_EQ(problem({"eval", "k", "--port", "-1"}), "--port takes an output port id, not '-1'");
  EXPECT_EQ(problem({"eval", "--json"}), "eval needs a plug-in (a path or a node name)");
  EXPECT_EQ(problem({"info", "--frob", "-h"}),
            "unknown option --frob for info (see icehost info --help)");
  EXPECT_EQ(problem({"demo", "x", "--help"}), "unexpected argument 'x' for demo");
  // Help reached before any problem wins, even over an option left without its value.
  EXPECT_TRUE(is_help({"info", "-h", "--frob"}));
  EXPECT_TRUE(is_help({"eval", "--help", "--set"}));
  EXPECT_TRUE(is_help({"eval", "k", "--elements", "3", "-h", "extra"}));
  EXPECT_TRUE(is_help({"demo", "-h", "x"}));
}

TEST(CommandLine, TheCommandIsTheFirstWordAlone) {
  EXPECT_EQ(problem({}), "no command given (info, eval, check or demo; see icehost --help)");
  EXPECT_EQ(problem({"--json", "eval"}), "unknown option --json (see icehost --help)");
  EXPECT_EQ(problem({"frob", "eval", "k"}), "unknown command 'frob' (info, eval, check or demo)");
  EXPECT_EQ(problem({"-"}), "unknown command '-' (info, eval, check or demo)");
  EXPECT_EQ(problem({"info"}), "info needs a plug-in (a path or a node name)");
  EXPECT_EQ(
      std::get<HelpRequest>(read({"--help", "frob"})).usage.rfind("usage: icehost COMMAND", 0), 0u);
  EXPECT_EQ(std::get<HelpRequest>(read({"eval", "-h"})).usage.rfind("usage: icehost eval", 0), 0u);
  // An empty argument before the plug-in names none; after it, it is one too many.
  EXPECT_EQ(std::get<InfoOptions>(read({"info", "", "k"})).plugin, "k");
  EXPECT_EQ(problem({"info", "k", ""}), "info takes one plug-in; unexpected ''");
}

// Each command's help is made from its options: every one named with what it takes, and no line
// past 80 columns.
TEST(CommandLine, HelpNamesEveryOptionWithin80Columns) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
      {"--help", {"info", "eval", "check", "demo"}},
      {"info", {"--json"}},
      {"eval",
       {"--set PORT=VALUE", "--set-file PORT=PATH", "--set-constant PORT=VALUE", "--elements N",
        "--index FORM", "--port ID", "--strict-host", "--json"}},
      {"check", {"-h, --help"}},
      {"demo", {"-h, --help"}}};
  for (const auto& [command, names] : commands) {
    const std::vector<std::string> args =
        command == "--help" ? std::vector<std::string>{"-h"} : std::vector{command, "-h"s};
    const std::string usage = std::get<HelpRequest>(read(args)).usage;
    for (const std::string& name : names) {
      const std::size_t at = usage.find("\n  " + name);
      ASSERT_NE(at, std::string::npos) << command << ": " << name;
      EXPECT_TRUE(usage[at + 3 + name.size()] == ' ' || usage[at + 3 + name.size()] == '\n');
    }
    for (std::size_t begin = 0, end; begin < usage.size(); begin = end + 1) {
      end = usage.find('\n', begin);
      EXPECT_LE(end - begin, 80u) << command << ": " << usage.substr(begin, end - begin);
    }
  }
}

xsi_host::PortRecord port_of(XSI::ULONG data_type, XSI::ULONG structure) {
  xsi_host::PortRecord port;
  port.name = L"P";
  port.data_type = data_type;
  port.structure = structure;
  return port;
}

TEST(PortValues, ParseStrictlyForTheirType) {
  const auto floats = port_of(XSI::siICENodeDataFloat, XSI::siICENodeStructureArray);
  const auto items = icehost::values_from_text(floats, "1.36,+4.6704993,-inf,nan,-0");
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(std::get<float>(items[0]), 1.36f);
  EXPECT_EQ(std::get<float>(items[1]), 4.6704993f);
  EXPECT_TRUE(std::isinf(std::get<float>(items[2])) && std::get<float>(items[2]) < 0);
  EXPECT_TRUE(std::isnan(std::get<float>(items[3])));
  EXPECT_TRUE(std::signbit(std::get<float>(items[4])));
  EXPECT_TRUE(icehost::values_from_text(floats, "").empty());
  for (const char* bad : {"1,,2", "1e50", " 1", "1 ", "++1", "+-1", "0x10", "1,"})
    EXPECT_THROW(icehost::values_from_text(floats, bad), icehost::UsageError) << bad;

  const auto integer = port_of(XSI::siICENodeDataLong, XSI::siICENodeStructureSingle);
  EXPECT_EQ(std::get<std::int32_t>(icehost::values_from_text(integer, "-2147483648")[0]),
            INT32_MIN);
  EXPECT_EQ(std::get<std::int32_t>(icehost::values_from_text(integer, "+2147483647")[0]),
            INT32_MAX);
  for (const char* bad : {"2147483648", "1.5", "", "1,2", "nan"})
    EXPECT_THROW(icehost::values_from_text(integer, bad), icehost::UsageError) << bad;

  const auto texts = port_of(XSI::siICENodeDataString, XSI::siICENodeStructureArray);
  EXPECT_EQ(icehost::values_from_text(texts, "a,,b").size(), 3u);
  const auto text = port_of(XSI::siICENodeDataString, XSI::siICENodeStructureSingle);
  EXPECT_EQ(std::get<std::wstring>(icehost::values_from_text(text, "a,b")[0]), L"a,b");

  const auto flags = port_of(XSI::siICENodeDataBool, XSI::siICENodeStructureArray);
  EXPECT_EQ(icehost::values_from_text(flags, "true,false"),
            (std::vector<xsi_host::Value>{true, false}));
  for (const char* bad : {"true,", "True", "1", "true,,false", "false, true"})
    EXPECT_THROW(icehost::values_from_text(flags, bad), icehost::UsageError) << bad;
}

TEST(Utf8, RejectsMalformedBytesAndRoundTripsCharacters) {
  for (const char* bad : {"\x80", "\xC0\x80", "\xE2\x86", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xF8\x88\x80\x80\x80", "a\xC3"})
    EXPECT_FALSE(icehost::utf8_to_wide(bad).has_value()) << bad;
  const std::string text = "a\xC3\xA9\xE2\x86\x92\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
  const auto wide = icehost::utf8_to_wide(text);
  ASSERT_TRUE(wide.has_value());
  EXPECT_EQ(wide->size(), text_unicode::kUtf16 ? 7u : 5u);
  EXPECT_EQ(icehost::wide_to_utf8(*wide), text);
  EXPECT_EQ(icehost::utf8_to_wide(std::string("a\0b", 3))->size(), 3u);
  // A unit that is no character comes out as U+FFFD.
  EXPECT_EQ(icehost::wide_to_utf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

// A lone surrogate written in a case file as JSON's escape reaches the node as that one wchar_t,
// a pair's escapes as the pair's character, NUL as NUL; in comments and after an escaped
// backslash nothing is read; and a value written back shows the lone surrogate as its escape.
TEST(Utf8, LoneSurrogatesGoThroughJsonEscapes) {
  const std::string document =
      "// \\ud800 \"\n[\"a\\ud83db\", \"\\ude00\\ud83d\\ude00\\u0000\", \"\\\\ud800\"] /* \\ud800 "
      "*/";
  const auto read =
      nlohmann::json::parse(icehost::escape_lone_surrogates(document), nullptr, true, true);
  const auto text = [&](std::size_t k) {
    return icehost::with_lone_surrogates(read[k].get<std::string>()).value();
  };
  const auto unit = [](unsigned value) { return std::wstring(1, static_cast<wchar_t>(value)); };
  EXPECT_EQ(text(0), L"a" + unit(0xD83D) + L"b");
  EXPECT_EQ(text(1), unit(0xDE00) + icehost::utf8_to_wide("\xF0\x9F\x98\x80").value() + L'\0');
  EXPECT_EQ(text(2), L"\\ud800");
  EXPECT_EQ(icehost::json_quote(icehost::wide_to_wtf8(text(1))),
            "\"\\ude00\xF0\x9F\x98\x80\\u0000\"");
}

}  // namespace
