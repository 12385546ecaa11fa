#include "command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdint>
#include <map>

#include "data_types.h"
#include "option_values.h"
#include "port_resolver.h"
#include "usage_error.h"

namespace icehost {
namespace {

using XSI::ULONG;

constexpr std::string_view kUsage =
    "usage: icehost COMMAND [OPTIONS]\n"
    "\n"
    "Loads node plug-ins the way the host application does, and reports what they do.\n"
    "\n"
    "commands:\n"
    "  info PLUGIN [--json]     what the plug-in registers: node, ports, defaults, log lines\n"
    "  eval PLUGIN [OPTIONS]    evaluates the node and prints every output element written\n"
    "  check PLUGIN CASEFILE... evaluates the node on the cases of case files (JSON), checks\n"
    "                           what it writes and lists every case that fails\n"
    "  demo                     every plug-in found: its ports and its default evaluation\n"
    "\n"
    "PLUGIN is a path to a plug-in library, or a node name looked up in the folders of\n"
    "ICEHOST_PLUGIN_PATH and then in ../plugins beside icehost.\n"
    "'icehost COMMAND --help' describes a command.\n"
    "\n"
    "exit codes: 0 success; 1 the plug-in failed or misused the SDK (faults listed);\n"
    "            2 bad input (one line on stderr).\n";

constexpr std::string_view kInfoUsage =
    "usage: icehost info PLUGIN [--json]\n"
    "\n"
    "Loads the plug-in, unloads it, and prints what it registered: the plug-in's name, author\n"
    "and version, each node definition with its colour, port groups, ports (id, group, data\n"
    "type, structure, context, name, script name, default, minimum, maximum, constraints) and\n"
    "category, any failed registration call it asserted on, and the lines it logged.\n"
    "\n"
    "  --json   one JSON object instead of the readable form\n";

constexpr std::string_view kEvalUsage =
    "usage: icehost eval PLUGIN [--set PORT=VALUE]... [--set-file PORT=PATH]...\n"
    "                           [--set-constant PORT=VALUE]... [--elements N] [--index FORM]\n"
    "                           [--port ID] [--strict-host] [--json]\n"
    "\n"
    "Evaluates the node once with every input at its registered default unless set, and\n"
    "prints each output element the call wrote, in ascending order, then any faults.\n"
    "\n"
    "  --set PORT=VALUE       sets input PORT (its name or id) in every element; PORT@K=VALUE\n"
    "                         sets element K only. VALUE is the text itself for a text port,\n"
    "                         true or false for a boolean port, a number for a numeric port,\n"
    "                         and comma-separated items for an array port (the same array in\n"
    "                         every element; an empty VALUE is an empty array)\n"
    "  --set-file PORT=PATH   sets a text port from a UTF-8 file, taken as it stands (for a\n"
    "                         text array port, one item a line)\n"
    "  --set-constant PORT=VALUE\n"
    "                         hands input PORT over as one value for every element: its\n"
    "                         array's constant flag set. A one-value port gets VALUE in\n"
    "                         element 0, which stands for every element, and a different value\n"
    "                         in every other element (so a node that reads past element 0 shows\n"
    "                         it); an array port gets VALUE in every element, and the flag means\n"
    "                         item 0 of each element's array stands for all its items\n"
    "  --elements N           the element count of every port (default 10, at most 1000000)\n"
    "  --index FORM           the elements evaluated: range:C (0 to C-1, the default is\n"
    "                         range:N), list:5,-,2 (- is a hole) or bits:1011 (bit i is\n"
    "                         character i)\n"
    "  --port ID              the output port pulled (default the node's first output)\n"
    "  --strict-host          the unforgiving host: the plug-in gets no more than the host's\n"
    "                         contract promises (garbage where it leaves values unread, stale\n"
    "                         storage, bits past a bit count); the results must not change\n"
    "  --json                 one JSON object: node, port, status (and status_name when\n"
    "                         the call failed), written, faults\n"
    "\n"
    "An input's constant flag is set only by --set-constant, never otherwise: --set and\n"
    "--set-file leave it clear, and a later --set changes the values, not the flag.\n"
    "An option's value is the next argument or follows '=': --set=PORT=VALUE, --elements=2.\n";

constexpr std::string_view kCheckUsage =
    "usage: icehost check PLUGIN CASEFILE...\n"
    "\n"
    "Evaluates the node on every case of the case files, each over three index sets (a range\n"
    "over all elements, a list with holes in non-ascending order, a bit set that skips\n"
    "elements) against the ordinary and the unforgiving host, and checks that the call\n"
    "succeeds, that every element the index set selects holds the value wanted, and that\n"
    "nothing else was written. Prints one line per failure: the file, the case, the index set,\n"
    "the host, the element, what was wanted and what came.\n"
    "\n"
    "A case file is a JSON array of cases ('//' comments allowed):\n"
    "  {\"case\": \"what it catches\", \"elements\": 3,\n"
    "   \"set\": {PORT: VALUE}, \"each\": {PORT: [VALUE, ...]}, \"constant\": {PORT: VALUE},\n"
    "   \"port\": 200, \"want\": [VALUE, ...] or {\"ELEMENT\": VALUE}}\n"
    "set gives every element the value, each one value per element, constant hands the\n"
    "input over as --set-constant does; want gives every element's value, or, as an object,\n"
    "exactly the elements written whatever the index set (a marker). docs/new-node.md has\n"
    "the whole format.\n"
    "\n"
    "exit codes: 0 every case passed; 1 a case failed; 2 bad input (a case file that does not\n"
    "read: one line naming the case and the key).\n";

constexpr std::string_view kDemoUsage =
    "usage: icehost demo\n"
    "\n"
    "For every plug-in in the plug-in folders, one line: its node, its inputs -> its outputs,\n"
    "and what the evaluation of each output wrote with default inputs over elements 0 to 9\n"
    "(runs of equal results merged; each named for a node of several outputs); then any\n"
    "faults, each on a line of its own.\n";

bool is_help(std::string_view arg) { return arg == "--help" || arg == "-h"; }

bool is_option(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

// One argument as CLI11 read it: the option it gave or belongs to as a value, or the command's
// plain arguments (a plug-in, a stray word, an option the command does not know).
struct Token {
  const CLI::Option* option = nullptr;
  // The option's value or the argument itself; for a flag, the value given to it with '=' (which
  // it refuses). Nothing when the command line ended before the option's value, or for a flag
  // given alone.
  std::optional<std::string> value;
};

// One command's options, read by CLI11 in the order given, as --name value or --name=value. CLI11
// also reads forms icehost does not take (-abc, "--", [a,b] lists, --name= taking the next
// argument), so it is shown the command's option names as they stand, each --name=value as
// --name= followed by kMark and the value, and every other argument behind kMark: it takes those
// only as option values or as plain arguments, and the mark comes off again in the tokens.
class CommandOptions {
 public:
  CommandOptions() {
    app_.set_help_flag();
    help_ = flag("-h,--help");
    arguments_ = app_.add_option("arguments")->expected(0, -1)->allow_extra_args();
  }

  const CLI::Option* flag(const std::string& name) {
    const CLI::Option* added = app_.add_flag(name);
    flags_.push_back(added);
    return added;
  }

  // An option with one value; given again, the values come in order.
  const CLI::Option* option(const std::string& name) {
    return app_.add_option(name)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  }

  // Whether token is the help flag; throws UsageError when it was given a value.
  bool is_help(const Token& token) const { return token.option == help_ && is_flag(token); }
  bool is_argument(const Token& token) const { return token.option == arguments_; }

  // Whether token gives the flag; throws UsageError when it was given a value.
  bool is_flag(const Token& token, const CLI::Option* flag) const {
    return token.option == flag && is_flag(token);
  }

  std::vector<Token> read(std::span<const std::string> args) {
    std::vector<std::string> shown;
    bool value_next = false;  // the argument before is an option waiting for its value
    for (const std::string& arg : args) {
      const CLI::Option* named = is_option(arg) ? app_.get_option_no_throw(arg) : nullptr;
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(0, equals);
      if (!value_next && named) {
        shown.push_back(arg);
        value_next = !flagged(named);
      } else if (!value_next && arg.starts_with("--") && equals != std::string::npos &&
                 app_.get_option_no_throw(name)) {
        shown.push_back(name + '=' + kMark + arg.substr(equals + 1));
      } else {
        shown.push_back(kMark + arg);
        value_next = false;
      }
    }
    std::reverse(shown.begin(), shown.end());  // last first, as CLI11 takes them
    const CLI::Option* unfinished = nullptr;
    try {
      app_.parse(shown);
    } catch (const CLI::ArgumentMismatch&) {
      // CLI11 takes the argument after an option as its value whatever it is, so only the last
      // argument can be an option left without one.
      unfinished = app_.get_option_no_throw(args.back());
      if (!unfinished) throw;
    }
    std::vector<Token> tokens;
    std::map<const CLI::Option*, std::size_t> taken;
    for (const CLI::Option* option : app_.parse_order()) {
      const std::string& text = option->results().at(taken[option]++);
      if (!text.starts_with(kMark))
        tokens.push_back({option, flagged(option) ? std::nullopt : std::optional(text)});
      else
        tokens.push_back({option, text.substr(1)});
    }
    if (unfinished) tokens.push_back({unfinished, std::nullopt});
    return tokens;
  }

 private:
  static constexpr char kMark = '\x01';

  bool flagged(const CLI::Option* option) const {
    return std::find(flags_.begin(), flags_.end(), option) != flags_.end();
  }

  static bool is_flag(const Token& token) {
    if (token.value)
      throw UsageError(token.option->get_name() + " takes no value, not " +
                       in_quotes(*token.value));
    return true;
  }

  CLI::App app_;
  std::vector<const CLI::Option*> flags_;
  const CLI::Option* help_ = nullptr;
  const CLI::Option* arguments_ = nullptr;
};

const std::string& value_of(const Token& token) {
  if (!token.value) throw UsageError(token.option->get_name() + " needs a value");
  return *token.value;
}

// A plain argument of info or eval: the plug-in, once.
void take_plugin(const Token& token, std::string_view command, std::string& plugin) {
  const std::string& arg = *token.value;
  const std::string name(command);
  if (is_option(arg))
    throw UsageError("unknown option " + arg + " for " + name + " (see icehost " + name +
                     " --help)");
  if (!plugin.empty()) throw UsageError(name + " takes one plug-in; unexpected " + in_quotes(arg));
  plugin = arg;
}

CommandLine parse_info(std::span<const std::string> args) {
  CommandOptions grammar;
  const CLI::Option* json = grammar.flag("--json");
  InfoOptions options;
  for (const Token& token : grammar.read(args)) {
    if (grammar.is_help(token)) return HelpRequest{kInfoUsage};
    if (grammar.is_flag(token, json))
      options.json = true;
    else
      take_plugin(token, "info", options.plugin);
  }
  if (options.plugin.empty()) throw UsageError("info needs a plug-in (a path or a node name)");
  return options;
}

CommandLine parse_eval(std::span<const std::string> args) {
  CommandOptions grammar;
  const CLI::Option* json = grammar.flag("--json");
  const CLI::Option* set = grammar.option("--set");
  const CLI::Option* set_file = grammar.option("--set-file");
  const CLI::Option* set_constant = grammar.option("--set-constant");
  const CLI::Option* elements = grammar.option("--elements");
  const CLI::Option* index = grammar.option("--index");
  const CLI::Option* port = grammar.option("--port");
  const CLI::Option* strict_host = grammar.flag("--strict-host");
  EvalOptions options;
  for (const Token& token : grammar.read(args)) {
    if (grammar.is_help(token)) return HelpRequest{kEvalUsage};
    if (grammar.is_flag(token, json)) {
      options.json = true;
    } else if (grammar.is_flag(token, strict_host)) {
      options.strict_host = true;
    } else if (token.option == set || token.option == set_file || token.option == set_constant) {
      options.settings.push_back(
          SetArgument{value_of(token), token.option == set_file, token.option == set_constant});
    } else if (token.option == elements) {
      const std::string& count = value_of(token);
      const auto number = read_number<std::uint64_t>(count);
      if (!number) throw UsageError("--elements takes a count, not " + in_quotes(count));
      options.element_count = in_context(
          "--elements takes ", [&] { return capped_element_count(*number, in_quotes(count)); });
    } else if (token.option == index) {
      options.index = parse_index(value_of(token));
    } else if (token.option == port) {
      const std::string& id = value_of(token);
      options.port = read_number<ULONG>(id);
      if (!options.port) throw UsageError("--port takes an output port id, not " + in_quotes(id));
    } else {
      take_plugin(token, "eval", options.plugin);
    }
  }
  if (options.plugin.empty()) throw UsageError("eval needs a plug-in (a path or a node name)");
  return options;
}

CommandLine parse_check(std::span<const std::string> args) {
  CommandOptions grammar;
  CheckOptions options;
  for (const Token& token : grammar.read(args)) {
    if (grammar.is_help(token)) return HelpRequest{kCheckUsage};
    const std::string& arg = *token.value;
    if (is_option(arg)) throw UsageError("unknown option " + arg + " for check");
    if (options.plugin.empty())
      options.plugin = arg;
    else
      options.case_files.push_back(arg);
  }
  if (options.case_files.empty())
    throw UsageError("check needs a plug-in and one case file at least");
  return options;
}

CommandLine parse_demo(std::span<const std::string> args) {
  CommandOptions grammar;
  for (const Token& token : grammar.read(args)) {
    if (grammar.is_help(token)) return HelpRequest{kDemoUsage};
    const std::string& arg = *token.value;
    throw UsageError((is_option(arg) ? "unknown option " : "unexpected argument ") +
                     in_quotes(arg) + " for demo");
  }
  return DemoOptions{};
}

}  // namespace

CommandLine parse_command_line(std::span<const std::string> args) {
  // The command is the first word alone, as a table lookup: nothing before it is read.
  if (args.empty())
    throw UsageError("no command given (info, eval, check or demo; see icehost --help)");
  const std::string& command = args.front();
  const auto rest = args.subspan(1);
  if (is_help(command)) return HelpRequest{kUsage};
  if (command == "info") return parse_info(rest);
  if (command == "eval") return parse_eval(rest);
  if (command == "demo") return parse_demo(rest);
  if (command == "check") return parse_check(rest);
  if (is_option(command)) throw UsageError("unknown option " + command + " (see icehost --help)");
  throw UsageError("unknown command " + in_quotes(command) + " (info, eval, check or demo)");
}

}  // namespace icehost
