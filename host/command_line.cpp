#include "command_line.h"

#include <array>
#include <cstdint>
#include <limits>
#include <system_error>

#include "data_types.h"
#include "help_text.h"
#include "option_values.h"
#include "port_resolver.h"
#include "usage_error.h"

namespace icehost {
namespace {

using XSI::ULONG;

// One option of a command: its help, and what its value (empty for a flag) does to the
// command's options.
template <class Options>
struct Option {
  OptionHelp help;
  void (*take)(Options& options, const std::string& value);
};

// A command: its help and options, what a plain argument is to it, and what it checks once
// every argument is read.
template <class Options>
struct Command {
  CommandHelp help;
  std::span<const Option<Options>> options;
  void (*argument)(Options& options, const std::string& arg);
  void (*finish)(Options& options);
};

bool is_help(std::string_view arg) { return arg == "--help" || arg == "-h"; }

bool is_option(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

template <class Options>
std::string help_of(const Command<Options>& command) {
  std::vector<OptionHelp> options;
  for (const Option<Options>& option : command.options) options.push_back(option.help);
  return command_help(command.help, options);
}

template <class Options>
CommandLine parse(const Command<Options>& command, std::span<const std::string> args) {
  const std::string name(command.help.name);
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!is_option(arg)) {
      command.argument(options, arg);
      continue;
    }
    const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string::npos;
    const std::string option_name = arg.substr(0, equals);
    const std::optional<std::string> joined =
        equals == std::string::npos ? std::nullopt : std::optional(arg.substr(equals + 1));
    const Option<Options>* option = nullptr;
    for (const Option<Options>& known : command.options)
      if (known.help.name == option_name) option = &known;
    const bool flag = is_help(option_name) || (option && option->help.value.empty());
    if (flag && joined)
      throw UsageError(option_name + " takes no value, not " + in_quotes(*joined));
    if (is_help(option_name)) return HelpRequest{help_of(command)};
    if (!option)
      throw UsageError("unknown option " + arg + " for " + name + " (see icehost " + name +
                       " --help)");
    if (!flag && !joined && i + 1 == args.size()) throw UsageError(option_name + " needs a value");
    option->take(options, flag ? std::string() : joined ? *joined : args[++i]);
  }
  command.finish(options);
  return options;
}

// A plain argument of info or eval: the plug-in, once.
template <class Options>
void take_plugin(Options& options, const std::string& arg, std::string_view command) {
  if (!options.plugin.empty())
    throw UsageError(std::string(command) + " takes one plug-in; unexpected " + in_quotes(arg));
  options.plugin = arg;
}

template <class Options>
void need_plugin(const Options& options, std::string_view command) {
  if (options.plugin.empty())
    throw UsageError(std::string(command) + " needs a plug-in (a path or a node name)");
}

ULONG element_count_of(const std::string& value) {
  std::errc error{};
  const auto count = read_number<std::uint64_t>(value, &error);
  if (!count && error != std::errc::result_out_of_range)
    throw UsageError("--elements takes a count, not " + in_quotes(value));
  return in_context("--elements takes ", [&] {
    return capped_element_count(count.value_or(std::numeric_limits<std::uint64_t>::max()),
                                in_quotes(value));
  });
}

// --set, --set-file or --set-constant, kept in the order given.
template <bool kFromFile, bool kConstant>
void add_setting(EvalOptions& options, const std::string& value) {
  options.settings.push_back({value, kFromFile, kConstant});
}

constexpr Option<InfoOptions> kInfoOptions[] = {
    {{"--json", "", "one JSON object instead of the readable form"},
     [](InfoOptions& options, const std::string&) { options.json = true; }},
};

constexpr Option<EvalOptions> kEvalOptions[] = {
    {{"--set", "PORT=VALUE",
      "sets input PORT (its name or id) in every element; PORT@K=VALUE sets element K only. "
      "VALUE is the text itself for a text port, true or false for a boolean port, a number "
      "for a numeric port, and comma-separated items for an array port (the same array in "
      "every element; an empty VALUE is an empty array)",
      true},
     add_setting<false, false>},
    {{"--set-file", "PORT=PATH",
      "sets a text port from a UTF-8 file, read to its end and taken as it stands (for a text "
      "array port, one item a line)",
      true},
     add_setting<true, false>},
    {{"--set-constant", "PORT=VALUE",
      "hands input PORT over as one value for every element, its array's constant flag set: a "
      "one-value port gets VALUE in element 0, which stands for every element, and a decoy in "
      "every other element (so that a node reading past element 0 shows it); an array port "
      "gets VALUE in every element, item 0 of each standing for all its items",
      true},
     add_setting<false, true>},
    {{"--elements", "N", "the element count of every port (default 10, at most 1000000)"},
     [](EvalOptions& options, const std::string& value) {
       options.element_count = element_count_of(value);
     }},
    {{"--index", "FORM",
      "the elements evaluated: range:C (0 to C-1; range:N by default), list:5,-,2 (- is a "
      "hole) or bits:1011 (bit i is character i)"},
     [](EvalOptions& options, const std::string& value) { options.index = parse_index(value); }},
    {{"--port", "ID", "the output port pulled (default the node's first output)"},
     [](EvalOptions& options, const std::string& value) {
       options.port = read_number<ULONG>(value);
       if (!options.port)
         throw UsageError("--port takes an output port id, not " + in_quotes(value));
     }},
    {{"--strict-host", "",
      "the unforgiving host: the plug-in gets no more than the host's contract promises "
      "(garbage where it leaves values unread, stale storage, bits past a bit count); the "
      "results must not change"},
     [](EvalOptions& options, const std::string&) { options.strict_host = true; }},
    {{"--json", "",
      "one JSON object: node, port, status (and status_name when the call failed), written, "
      "faults"},
     [](EvalOptions& options, const std::string&) { options.json = true; }},
};

constexpr std::string_view kInfoAbout =
    "Loads the plug-in, unloads it, and prints what it registered: the plug-in's name, author\n"
    "and version, each node with its colour, category, port groups and ports (id, group, data\n"
    "type, structure, context, name, script name, default, minimum, maximum, constraints), any\n"
    "failed registration call it asserted on, and the lines it logged.";

constexpr std::string_view kEvalAbout =
    "Evaluates the node once with every input at its registered default unless set, and\n"
    "prints each output element the call wrote, in ascending order, then any faults. Settings\n"
    "apply in the order given, a later one winning; only --set-constant sets an input's\n"
    "constant flag, and a later --set changes the values, not the flag. An option's value is\n"
    "the next argument or follows '=': --set=PORT=VALUE, --elements=2.";

constexpr std::string_view kCheckAbout =
    "Evaluates the node on every case of the case files, each over three index sets (a range "
    "over all elements, a list with holes in non-ascending order, a bit set that skips "
    "elements) against the ordinary and the unforgiving host, and checks that the call "
    "succeeds, that every element the index set selects holds the value wanted, and that "
    "nothing else was written. Prints one line per failure: the file, the case, the index set, "
    "the host, the element, what was wanted and what came.\n"
    "\n"
    "A case file is a JSON array of cases ('//' comments allowed):\n"
    "\n"
    "  {\"case\": \"what it catches\", \"elements\": 3,\n"
    "   \"set\": {PORT: VALUE}, \"each\": {PORT: [VALUE, ...]},\n"
    "   \"constant\": {PORT: VALUE}, \"port\": 200,\n"
    "   \"want\": [VALUE, ...] or {\"ELEMENT\": VALUE}}\n"
    "\n"
    "set gives every element the value, each one value per element, constant hands the input "
    "over as --set-constant does; want gives every element's value, or, as an object, exactly "
    "the elements written whatever the index set (a marker). docs/new-node.md has the whole "
    "format.\n"
    "\n"
    "exit codes: 0 every case passed; 1 a case failed; 2 bad input (a case file that does not "
    "read: one line naming the case and the key).";

constexpr std::string_view kDemoAbout =
    "For every plug-in in the plug-in folders, one line: its node, its inputs -> its outputs,\n"
    "and what the evaluation of each output wrote with default inputs over elements 0 to 9\n"
    "(runs of equal results merged; each named for a node of several outputs); then any\n"
    "faults, each on a line of its own.";

constexpr std::string_view kProgramIntro =
    "Loads node plug-ins the way the host application does, and reports what they do.";

constexpr std::string_view kProgramAbout =
    "PLUGIN is a path to a plug-in library, or a node name looked up in the folders of "
    "ICEHOST_PLUGIN_PATH and then in ../plugins beside icehost. 'icehost COMMAND --help' "
    "describes a command.\n"
    "\n"
    "exit codes: 0 success; 1 the plug-in failed or misused the SDK (faults listed);\n"
    "            2 bad input (one line on stderr).";

constexpr Command<InfoOptions> kInfo{
    {"info", "PLUGIN", "what the plug-in registers: node, ports, defaults, log lines", kInfoAbout},
    kInfoOptions,
    [](InfoOptions& options, const std::string& arg) { take_plugin(options, arg, "info"); },
    [](InfoOptions& options) { need_plugin(options, "info"); }};

constexpr Command<EvalOptions> kEval{
    {"eval", "PLUGIN", "evaluates the node and prints every output element written", kEvalAbout},
    kEvalOptions,
    [](EvalOptions& options, const std::string& arg) { take_plugin(options, arg, "eval"); },
    [](EvalOptions& options) { need_plugin(options, "eval"); }};

constexpr Command<CheckOptions> kCheck{
    {"check", "PLUGIN CASEFILE...",
     "evaluates the node on the cases of case files (JSON) and lists every case that fails",
     kCheckAbout},
    {},
    [](CheckOptions& options, const std::string& arg) {
      if (options.plugin.empty())
        options.plugin = arg;
      else
        options.case_files.push_back(arg);
    },
    [](CheckOptions& options) {
      if (options.case_files.empty())
        throw UsageError("check needs a plug-in and one case file at least");
    }};

constexpr Command<DemoOptions> kDemo{
    {"demo", "", "every plug-in found: its ports and its default evaluation", kDemoAbout},
    {},
    [](DemoOptions&, const std::string& arg) {
      throw UsageError("unexpected argument " + in_quotes(arg) + " for demo");
    },
    [](DemoOptions&) {}};

}  // namespace

CommandLine parse_command_line(std::span<const std::string> args) {
  // The command is the first word alone: nothing before it is read.
  if (args.empty())
    throw UsageError("no command given (info, eval, check or demo; see icehost --help)");
  const std::string& command = args.front();
  const auto rest = args.subspan(1);
  if (is_help(command)) {
    const std::array commands = {kInfo.help, kEval.help, kCheck.help, kDemo.help};
    return HelpRequest{program_help(commands, kProgramIntro, kProgramAbout)};
  }
  if (command == "info") return parse(kInfo, rest);
  if (command == "eval") return parse(kEval, rest);
  if (command == "check") return parse(kCheck, rest);
  if (command == "demo") return parse(kDemo, rest);
  if (is_option(command)) throw UsageError("unknown option " + command + " (see icehost --help)");
  throw UsageError("unknown command " + in_quotes(command) + " (info, eval, check or demo)");
}

}  // namespace icehost
