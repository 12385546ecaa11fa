#include "cli.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <variant>
#include <vector>

#include "evaluation_setup.h"
#include "json.h"
#include "plugin_library.h"
#include "utf8.h"

namespace icehost {
namespace {

using XSI::ULONG;
using xsi_host::NodeRecord;
using xsi_host::PortRecord;
using xsi_host::Value;

constexpr ULONG kDefaultElements = 10;
// Every port holds this many elements, so a mistyped count cannot exhaust the memory.
constexpr ULONG kMaxElements = 1'000'000;

constexpr std::string_view kUsage =
    "usage: icehost COMMAND [OPTIONS]\n"
    "\n"
    "Loads node plug-ins the way the host application does, and reports what they do.\n"
    "\n"
    "commands:\n"
    "  info PLUGIN [--json]     what the plug-in registers: node, ports, defaults, log lines\n"
    "  eval PLUGIN [OPTIONS]    evaluates the node and prints every output element written\n"
    "  demo                     every plug-in found, its registration and a default evaluation\n"
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
    "                           [--elements N] [--index FORM] [--port ID] [--json]\n"
    "\n"
    "Evaluates the node once with every input at its registered default unless set, and\n"
    "prints each output element the call wrote, in ascending order, then any faults.\n"
    "\n"
    "  --set PORT=VALUE       sets input PORT (its name) in every element; PORT@K=VALUE sets\n"
    "                         element K only. VALUE is the text itself for a text port,\n"
    "                         true or false for a boolean port, a number for a numeric port,\n"
    "                         and comma-separated items for an array port (the same array in\n"
    "                         every element; an empty VALUE is an empty array)\n"
    "  --set-file PORT=PATH   sets a text port from a UTF-8 file, taken as it stands (for a\n"
    "                         text array port, one item a line)\n"
    "  --elements N           the element count of every port (default 10, at most 1000000)\n"
    "  --index FORM           the elements evaluated: range:C (0 to C-1, the default is\n"
    "                         range:N), list:5,-,2 (- is a hole) or bits:1011 (bit i is\n"
    "                         character i)\n"
    "  --port ID              the output port pulled (default the node's output)\n"
    "  --json                 one JSON object: node, port, status, written, faults\n";

constexpr std::string_view kDemoUsage =
    "usage: icehost demo\n"
    "\n"
    "For every plug-in in the plug-in folders: one line of what it registers, then its\n"
    "evaluation with default inputs over elements 0 to 9 (runs of equal results merged).\n";

// ---- Texts and values ----------------------------------------------------------------------

std::string utf8(const std::wstring& text) { return wide_to_utf8(text); }

std::string in_quotes(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

// The pieces between commas; no text at all is no pieces.
std::vector<std::string_view> split_commas(std::string_view text) {
  std::vector<std::string_view> pieces;
  if (text.empty()) return pieces;
  std::size_t begin = 0;
  while (true) {
    const std::size_t comma = text.find(',', begin);
    pieces.push_back(text.substr(begin, comma == std::string_view::npos ? comma : comma - begin));
    if (comma == std::string_view::npos) return pieces;
    begin = comma + 1;
  }
}

// A number in full, as std::from_chars reads it, with one optional leading '+'.
template <class T>
std::optional<T> parse_number(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  T value{};
  const char* end = text.data() + text.size();
  std::from_chars_result result{};
  if constexpr (std::is_floating_point_v<T>)
    result = std::from_chars(text.data(), end, value, std::chars_format::general);
  else
    result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

std::string format_value(const Value& value, bool json) {
  return std::visit(
      [json](const auto& v) -> std::string {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, std::monostate>) {
          return json ? "null" : "-";
        } else if constexpr (std::is_same_v<V, bool>) {
          return v ? "true" : "false";
        } else if constexpr (std::is_same_v<V, float>) {
          const std::string text = float_text(v);
          const bool finite = text != "inf" && text != "-inf" && text != "nan";
          return json && !finite ? json_quote(text) : text;
        } else if constexpr (std::is_same_v<V, std::wstring>) {
          return json_quote(utf8(v));
        } else {
          return std::to_string(v);
        }
      },
      value);
}

std::string format_values(const std::vector<Value>& values, bool json) {
  std::vector<std::string> parts;
  for (const Value& value : values) parts.push_back(format_value(value, json));
  return "[" + join(parts, ", ") + "]";
}

std::string data_type_name(ULONG data_type) {
  switch (data_type) {
    case XSI::siICENodeDataBool:
      return "boolean";
    case XSI::siICENodeDataLong:
      return "integer";
    case XSI::siICENodeDataFloat:
      return "float";
    case XSI::siICENodeDataString:
      return "text";
    default:
      return "type " + std::to_string(data_type);
  }
}

std::string structure_name(ULONG structure) {
  switch (structure) {
    case XSI::siICENodeStructureSingle:
      return "one";
    case XSI::siICENodeStructureArray:
      return "array";
    default:
      return "structure " + std::to_string(structure);
  }
}

std::string severity_name(ULONG severity) {
  switch (severity) {
    case XSI::siFatalMsg:
      return "fatal";
    case XSI::siErrorMsg:
      return "error";
    case XSI::siWarningMsg:
      return "warning";
    case XSI::siInfoMsg:
      return "info";
    case XSI::siVerboseMsg:
      return "verbose";
    default:
      return "severity " + std::to_string(severity);
  }
}

// Rows printed as columns, each as wide as its widest cell, two spaces apart.
std::string table(const std::vector<std::vector<std::string>>& rows, std::string_view indent) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line(indent);
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
    }
    out += line + "\n";
  }
  return out;
}

// ---- The plug-in and its ports -------------------------------------------------------------

std::vector<std::string> port_names(const NodeRecord& node, bool inputs) {
  std::vector<std::string> names;
  for (const PortRecord& port : node.ports)
    if (port.is_input == inputs) names.push_back(utf8(port.name));
  return names;
}

const PortRecord* find_port_by_name(const NodeRecord& node, std::string_view name) {
  for (const PortRecord& port : node.ports)
    if (utf8(port.name) == name) return &port;
  for (const PortRecord& port : node.ports)
    if (utf8(port.script_name) == name) return &port;
  return nullptr;
}

const PortRecord* first_output(const NodeRecord& node) {
  for (const PortRecord& port : node.ports)
    if (!port.is_input) return &port;
  return nullptr;
}

std::string version_text(const xsi_host::Registration& registration) {
  return std::to_string(registration.version_major) + "." +
         std::to_string(registration.version_minor);
}

// What a plug-in did wrong outside an evaluation call: a failing status from its load or unload
// entry point, and every failed call it asserted on.
std::vector<std::string> registration_faults(const PluginLibrary& library,
                                             XSI::CStatus::Code unload_status) {
  std::vector<std::string> faults;
  if (library.load_status() != XSI::CStatus::OK)
    faults.push_back("XSILoadPlugin returned status " + std::to_string(library.load_status()));
  for (const auto& failure : library.session().assertion_failures())
    faults.push_back("assertion failed with status " + std::to_string(failure.code) +
                     (failure.after_call.empty() ? "" : " after " + failure.after_call) +
                     (failure.message.empty() ? "" : ": " + utf8(failure.message)));
  if (unload_status != XSI::CStatus::OK)
    faults.push_back("XSIUnloadPlugin returned status " + std::to_string(unload_status));
  return faults;
}

// ---- Option reading ------------------------------------------------------------------------

bool is_help(std::string_view arg) { return arg == "--help" || arg == "-h"; }

bool is_option(std::string_view arg) { return arg.size() > 1 && arg.front() == '-'; }

// The argument after an option that takes one.
const std::string& option_value(std::span<const std::string> args, std::size_t& i) {
  if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
  return args[++i];
}

ULONG parse_count(std::string_view text, std::string_view option) {
  const auto count = parse_number<ULONG>(text);
  if (!count) throw UsageError(std::string(option) + " takes a count, not " + in_quotes(text));
  return *count;
}

struct IndexChoice {
  enum class Form { range, bits, list };
  Form form = Form::range;
  std::optional<ULONG> range_count;  // range:C; nothing for the default, every element
  std::vector<bool> bits;
  std::vector<ULONG> list;
};

IndexChoice parse_index(std::string_view text) {
  IndexChoice choice;
  const std::size_t colon = text.find(':');
  const std::string_view form = text.substr(0, colon);
  const std::string_view body =
      colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  if (colon == std::string_view::npos || (form != "range" && form != "list" && form != "bits"))
    throw UsageError("unknown index form " + in_quotes(text) +
                     " (use range:C, list:5,-,2 or bits:1011)");
  if (form == "range") {
    const auto count = parse_number<ULONG>(body);
    if (!count) throw UsageError("--index range: takes a count, not " + in_quotes(body));
    choice.range_count = *count;
  } else if (form == "list") {
    choice.form = IndexChoice::Form::list;
    for (const std::string_view entry : split_commas(body)) {
      const auto index =
          entry == "-" ? std::optional<ULONG>(XSI::kNotFound) : parse_number<ULONG>(entry);
      if (!index || (entry != "-" && *index == XSI::kNotFound))
        throw UsageError("--index list: entry " + in_quotes(entry) + " is neither an index nor -");
      choice.list.push_back(*index);
    }
  } else {
    choice.form = IndexChoice::Form::bits;
    for (const char bit : body) {
      if (bit != '0' && bit != '1')
        throw UsageError("--index bits: takes only 0 and 1, not " + in_quotes(body));
      choice.bits.push_back(bit == '1');
    }
  }
  return choice;
}

void check_index(const IndexChoice& choice, ULONG element_count) {
  const std::string past = " is past the element count " + std::to_string(element_count);
  if (choice.range_count && *choice.range_count > element_count)
    throw UsageError("--index range:" + std::to_string(*choice.range_count) + past);
  if (choice.bits.size() > element_count)
    throw UsageError("--index bits: " + std::to_string(choice.bits.size()) + " bits" + past);
  for (const ULONG entry : choice.list)
    if (entry != XSI::kNotFound && entry >= element_count)
      throw UsageError("--index list: entry " + std::to_string(entry) + past);
}

void apply_index(xsi_host::Evaluation& evaluation, const IndexChoice& choice, ULONG element_count) {
  switch (choice.form) {
    case IndexChoice::Form::range:
      evaluation.index_range(choice.range_count.value_or(element_count));
      break;
    case IndexChoice::Form::bits:
      evaluation.index_bits(choice.bits);
      break;
    case IndexChoice::Form::list:
      evaluation.index_list(choice.list);
      break;
  }
}

// One --set or --set-file as given; resolved against the node's ports once it is loaded.
struct SetArgument {
  std::string text;  // PORT=VALUE or PORT=PATH
  bool from_file = false;
};

// One input setting, resolved: the port, the element (nothing for every element), the value
// (one for a one-value port, the items for an array port).
struct InputSetting {
  const PortRecord* port = nullptr;
  std::optional<ULONG> element;
  std::vector<Value> values;
};

std::string read_file(const std::string& path) {
  std::error_code error;
  const std::filesystem::path file(path);
  if (!std::filesystem::is_regular_file(file, error)) throw UsageError(path + ": cannot read file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw UsageError(path + ": cannot read file");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Value parse_item(const PortRecord& port, std::string_view text) {
  const std::string name = utf8(port.name);
  switch (port.data_type) {
    case XSI::siICENodeDataString: {
      auto wide = utf8_to_wide(text);
      if (!wide) throw UsageError("the value for port " + name + " is not valid UTF-8");
      return std::move(*wide);
    }
    case XSI::siICENodeDataBool:
      if (text == "true") return true;
      if (text == "false") return false;
      throw UsageError(in_quotes(text) + " is not a boolean (true or false) for port " + name);
    case XSI::siICENodeDataLong:
      if (const auto number = parse_number<std::int32_t>(text)) return *number;
      throw UsageError(in_quotes(text) + " is not a 32-bit integer for port " + name);
    case XSI::siICENodeDataFloat:
      if (const auto number = parse_number<float>(text)) return *number;
      throw UsageError(in_quotes(text) + " is not a float for port " + name);
    default:
      throw UsageError("port " + name + " has data type " + std::to_string(port.data_type) +
                       ", which icehost cannot set");
  }
}

}  // namespace

std::vector<Value> parse_port_value(const PortRecord& port, std::string_view text) {
  if (port.structure != XSI::siICENodeStructureArray) return {parse_item(port, text)};
  std::vector<Value> items;
  for (const std::string_view piece : split_commas(text)) items.push_back(parse_item(port, piece));
  return items;
}

namespace {

// A file's text for a text port: the whole file, or one item a line for a text array port.
std::vector<Value> parse_port_file(const PortRecord& port, const std::string& path) {
  if (port.data_type != XSI::siICENodeDataString)
    throw UsageError("--set-file takes a text port; " + utf8(port.name) + " is " +
                     data_type_name(port.data_type));
  const std::string bytes = read_file(path);
  if (port.structure != XSI::siICENodeStructureArray) return {parse_item(port, bytes)};
  std::vector<Value> items;
  std::size_t begin = 0;
  while (begin < bytes.size()) {
    std::size_t end = bytes.find('\n', begin);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    items.push_back(parse_item(port, line));
    begin = end + 1;
  }
  return items;
}

InputSetting resolve_setting(const NodeRecord& node, const SetArgument& argument,
                             ULONG element_count) {
  const std::string option = argument.from_file ? "--set-file" : "--set";
  const std::size_t equals = argument.text.find('=');
  if (equals == std::string::npos)
    throw UsageError(option + " takes PORT=" + (argument.from_file ? "PATH" : "VALUE") + ", not " +
                     in_quotes(argument.text));
  std::string_view target = std::string_view(argument.text).substr(0, equals);
  const std::string value = argument.text.substr(equals + 1);

  InputSetting setting;
  setting.port = find_port_by_name(node, target);
  const std::size_t at = target.rfind('@');
  if (!setting.port && at != std::string_view::npos) {
    const std::string_view element = target.substr(at + 1);
    target = target.substr(0, at);
    setting.port = find_port_by_name(node, target);
    if (setting.port) {
      const auto k = parse_number<ULONG>(element);
      if (!k) throw UsageError(option + ": " + in_quotes(element) + " is not an element index");
      if (*k >= element_count)
        throw UsageError(option + ": element " + std::to_string(*k) +
                         " is past the element count " + std::to_string(element_count));
      setting.element = *k;
    }
  }
  const std::string inputs = join(port_names(node, true), ", ");
  if (!setting.port)
    throw UsageError("unknown port " + in_quotes(target) + " (the inputs of " + utf8(node.name) +
                     " are " + inputs + ")");
  if (!setting.port->is_input)
    throw UsageError(option + ": " + utf8(setting.port->name) + " is an output; set an input (" +
                     inputs + ")");
  setting.values = argument.from_file ? parse_port_file(*setting.port, value)
                                      : parse_port_value(*setting.port, value);
  return setting;
}

// ---- Evaluation ----------------------------------------------------------------------------

struct WrittenElement {
  ULONG element = 0;
  bool array = false;
  std::vector<Value> values;  // one value, or the items of an array
};

struct EvaluationReport {
  std::string node;
  ULONG port = 0;
  XSI::CStatus::Code status = XSI::CStatus::OK;
  std::vector<WrittenElement> written;
  std::vector<std::string> faults;

  bool failed() const { return status != XSI::CStatus::OK || !faults.empty(); }
};

EvaluationReport evaluate(PluginLibrary& library, const std::vector<InputSetting>& settings,
                          ULONG element_count, const IndexChoice& index, ULONG pulled) {
  xsi_host::Evaluation evaluation;
  declare_ports(evaluation, library.node(), element_count);
  for (const InputSetting& setting : settings) {
    xsi_host::PortData* data = evaluation.port(setting.port->id);
    if (!data) continue;
    if (setting.element) {
      store(*data, *setting.element, setting.values);
    } else {
      for (ULONG element = 0; element < element_count; ++element)
        store(*data, element, setting.values);
    }
  }
  evaluation.pull(pulled);
  apply_index(evaluation, index, element_count);
  const xsi_host::CallResult result = evaluation.run(library.evaluate());

  EvaluationReport report;
  report.node = library.node_name();
  report.port = pulled;
  report.status = result.status;
  if (const xsi_host::PortData* output = evaluation.port(pulled)) {
    const bool array = output->structure() == XSI::siICENodeStructureArray;
    for (ULONG element = 0; element < output->element_count(); ++element) {
      if (!output->written(element)) continue;
      report.written.push_back(WrittenElement{
          element, array, array ? output->items(element) : std::vector{output->value(element)}});
    }
  }
  report.faults = registration_faults(library, library.unload());
  report.faults.insert(report.faults.end(), result.faults.begin(), result.faults.end());
  return report;
}

std::string format_written(const WrittenElement& written, bool json) {
  return written.array ? format_values(written.values, json)
                       : format_value(written.values.front(), json);
}

std::string summary(const EvaluationReport& report) {
  return "icehost: " + report.node + " returned status " + std::to_string(report.status) +
         " with " + std::to_string(report.faults.size()) + " fault(s)\n";
}

void print_json(const EvaluationReport& report, std::ostream& out) {
  out << "{\"node\": " << json_quote(report.node) << ", \"port\": " << report.port
      << ", \"status\": " << report.status << ", \"written\": [";
  for (std::size_t i = 0; i < report.written.size(); ++i) {
    out << (i > 0 ? ", " : "") << "{\"element\": " << report.written[i].element
        << ", \"value\": " << format_written(report.written[i], true) << "}";
  }
  out << "], \"faults\": [";
  for (std::size_t i = 0; i < report.faults.size(); ++i)
    out << (i > 0 ? ", " : "") << json_quote(report.faults[i]);
  out << "]}\n";
}

void print_human(const EvaluationReport& report, const NodeRecord& node, ULONG element_count,
                 std::ostream& out) {
  std::string port_name;
  for (const PortRecord& port : node.ports)
    if (!port.is_input && port.id == report.port) port_name = " " + utf8(port.name);
  out << report.node << "  port " << report.port << port_name << "  status " << report.status
      << "  elements " << element_count << "  written " << report.written.size() << "\n";
  for (const WrittenElement& written : report.written)
    out << "[" << written.element << "] " << format_written(written, false) << "\n";
  if (!report.faults.empty()) {
    out << "faults:\n";
    for (const std::string& fault : report.faults) out << "  " << fault << "\n";
  }
}

int command_eval(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  std::string plugin;
  bool json = false;
  std::vector<SetArgument> set_arguments;
  ULONG element_count = kDefaultElements;
  IndexChoice index;
  std::optional<ULONG> pulled;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (is_help(arg)) {
      out << kEvalUsage;
      return kExitSuccess;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--set" || arg == "--set-file") {
      set_arguments.push_back(SetArgument{option_value(args, i), arg == "--set-file"});
    } else if (arg == "--elements") {
      element_count = parse_count(option_value(args, i), arg);
      if (element_count > kMaxElements)
        throw UsageError("--elements takes at most " + std::to_string(kMaxElements));
    } else if (arg == "--index") {
      index = parse_index(option_value(args, i));
    } else if (arg == "--port") {
      const std::string& id = option_value(args, i);
      pulled = parse_number<ULONG>(id);
      if (!pulled) throw UsageError("--port takes an output port id, not " + in_quotes(id));
    } else if (is_option(arg)) {
      throw UsageError("unknown option " + arg + " for eval (see icehost eval --help)");
    } else if (plugin.empty()) {
      plugin = arg;
    } else {
      throw UsageError("eval takes one plug-in; unexpected " + in_quotes(arg));
    }
  }
  if (plugin.empty()) throw UsageError("eval needs a plug-in (a path or a node name)");

  PluginLibrary library(find_plugin(plugin, program_dir()));
  const NodeRecord& node = library.node();
  const PortRecord* output = first_output(node);
  if (!output) throw UsageError(library.node_name() + " has no output port to pull");
  if (pulled) {
    const PortRecord* chosen = nullptr;
    std::vector<std::string> outputs;
    for (const PortRecord& port : node.ports) {
      if (port.is_input) continue;
      outputs.push_back(utf8(port.name) + " (" + std::to_string(port.id) + ")");
      if (port.id == *pulled) chosen = &port;
    }
    if (!chosen)
      throw UsageError("--port " + std::to_string(*pulled) + " is not an output of " +
                       library.node_name() + " (its outputs: " + join(outputs, ", ") + ")");
  }
  check_index(index, element_count);
  std::vector<InputSetting> settings;
  for (const SetArgument& argument : set_arguments)
    settings.push_back(resolve_setting(node, argument, element_count));

  const EvaluationReport report =
      evaluate(library, settings, element_count, index, pulled.value_or(output->id));
  if (json) {
    print_json(report, out);
  } else {
    print_human(report, node, element_count, out);
    if (report.failed()) err << summary(report);
  }
  return report.failed() ? kExitFaults : kExitSuccess;
}

// ---- info ----------------------------------------------------------------------------------

std::string group_text(ULONG group) {
  return group == XSI::kNotFound ? "-" : std::to_string(group);
}

void info_human(const PluginLibrary& library, std::size_t logged_at_load,
                XSI::CStatus::Code unload_status, const std::vector<std::string>& faults,
                std::ostream& out) {
  const auto& registration = library.session().registration();
  std::vector<std::vector<std::string>> head = {
      {"plug-in", utf8(registration.name) + " " + version_text(registration)},
      {"author", utf8(registration.author)},
      {"file", library.path().string()},
      {"load status", std::to_string(library.load_status())},
      {"unload status", std::to_string(unload_status)},
  };
  out << table(head, "");
  for (const NodeRecord& node : registration.nodes) {
    out << "\nnode " << utf8(node.name) << " (shown as " << json_quote(utf8(node.display_name))
        << ")" << (node.registered ? "" : ", never registered") << "\n";
    std::vector<std::vector<std::string>> rows = {
        {"colour", node.has_color
                       ? std::to_string(node.color[0]) + ", " + std::to_string(node.color[1]) +
                             ", " + std::to_string(node.color[2])
                       : "none"},
        {"category", json_quote(utf8(node.categories))},
    };
    out << table(rows, "  ");
    out << "  port groups\n";
    std::vector<std::vector<std::string>> groups = {{"id", "min", "max", "name"}};
    for (const auto& group : node.port_groups)
      groups.push_back({std::to_string(group.id), std::to_string(group.minimum),
                        std::to_string(group.maximum), json_quote(utf8(group.name))});
    out << table(groups, "    ");
    out << "  ports\n";
    std::vector<std::vector<std::string>> ports = {{"", "id", "group", "type", "structure",
                                                    "context", "name", "script name", "default",
                                                    "min", "max", "constraints"}};
    for (const PortRecord& port : node.ports)
      ports.push_back(
          {port.is_input ? "in" : "out", std::to_string(port.id), group_text(port.group),
           data_type_name(port.data_type), structure_name(port.structure),
           std::to_string(port.context), utf8(port.name), utf8(port.script_name),
           port.is_input ? format_value(port.default_value, false) : "-",
           port.is_input ? format_value(port.minimum, false) : "-",
           port.is_input ? format_value(port.maximum, false) : "-",
           std::to_string(port.constraints[0]) + " " + std::to_string(port.constraints[1]) + " " +
               std::to_string(port.constraints[2])});
    out << table(ports, "    ");
  }
  const auto& failures = library.session().assertion_failures();
  out << "\nassertion failures: " << (failures.empty() ? "none" : "") << "\n";
  for (const auto& failure : failures)
    out << "  status " << failure.code << " after " << failure.after_call << ": "
        << utf8(failure.message) << "\n";
  const auto& log = library.session().log();
  out << "log:" << (log.empty() ? " none" : "") << "\n";
  std::vector<std::vector<std::string>> lines;
  for (std::size_t i = 0; i < log.size(); ++i)
    lines.push_back({i < logged_at_load ? "at load" : "at unload",
                     severity_name(log[i].severity) + " (" + std::to_string(log[i].severity) + ")",
                     utf8(log[i].text)});
  out << table(lines, "  ");
  if (!faults.empty()) {
    out << "faults:\n";
    for (const std::string& fault : faults) out << "  " << fault << "\n";
  }
}

void info_json(const PluginLibrary& library, std::size_t logged_at_load,
               XSI::CStatus::Code unload_status, const std::vector<std::string>& faults,
               std::ostream& out) {
  const auto& registration = library.session().registration();
  out << "{\"plugin\": " << json_quote(utf8(registration.name))
      << ", \"author\": " << json_quote(utf8(registration.author)) << ", \"version\": ["
      << registration.version_major << ", " << registration.version_minor
      << "], \"file\": " << json_quote(library.path().string())
      << ", \"load_status\": " << library.load_status() << ", \"unload_status\": " << unload_status
      << ", \"nodes\": [";
  for (std::size_t n = 0; n < registration.nodes.size(); ++n) {
    const NodeRecord& node = registration.nodes[n];
    out << (n > 0 ? ", " : "") << "{\"name\": " << json_quote(utf8(node.name))
        << ", \"display_name\": " << json_quote(utf8(node.display_name))
        << ", \"registered\": " << (node.registered ? "true" : "false") << ", \"color\": ";
    if (node.has_color)
      out << "[" << node.color[0] << ", " << node.color[1] << ", " << node.color[2] << "]";
    else
      out << "null";
    out << ", \"category\": " << json_quote(utf8(node.categories)) << ", \"port_groups\": [";
    for (std::size_t g = 0; g < node.port_groups.size(); ++g) {
      const auto& group = node.port_groups[g];
      out << (g > 0 ? ", " : "") << "{\"id\": " << group.id << ", \"minimum\": " << group.minimum
          << ", \"maximum\": " << group.maximum << ", \"name\": " << json_quote(utf8(group.name))
          << "}";
    }
    out << "], \"ports\": [";
    for (std::size_t p = 0; p < node.ports.size(); ++p) {
      const PortRecord& port = node.ports[p];
      out << (p > 0 ? ", " : "") << "{\"direction\": " << (port.is_input ? "\"in\"" : "\"out\"")
          << ", \"id\": " << port.id
          << ", \"group\": " << (port.group == XSI::kNotFound ? "null" : std::to_string(port.group))
          << ", \"data_type\": " << port.data_type << ", \"structure\": " << port.structure
          << ", \"context\": " << port.context << ", \"name\": " << json_quote(utf8(port.name))
          << ", \"script_name\": " << json_quote(utf8(port.script_name))
          << ", \"default\": " << format_value(port.default_value, true)
          << ", \"minimum\": " << format_value(port.minimum, true)
          << ", \"maximum\": " << format_value(port.maximum, true) << ", \"constraints\": ["
          << port.constraints[0] << ", " << port.constraints[1] << ", " << port.constraints[2]
          << "]}";
    }
    out << "]}";
  }
  out << "], \"assertion_failures\": [";
  const auto& failures = library.session().assertion_failures();
  for (std::size_t i = 0; i < failures.size(); ++i)
    out << (i > 0 ? ", " : "") << "{\"status\": " << failures[i].code
        << ", \"after\": " << json_quote(failures[i].after_call)
        << ", \"message\": " << json_quote(utf8(failures[i].message)) << "}";
  out << "], \"log\": [";
  const auto& log = library.session().log();
  for (std::size_t i = 0; i < log.size(); ++i)
    out << (i > 0 ? ", " : "") << "{\"when\": " << (i < logged_at_load ? "\"load\"" : "\"unload\"")
        << ", \"severity\": " << log[i].severity << ", \"text\": " << json_quote(utf8(log[i].text))
        << "}";
  out << "], \"faults\": [";
  for (std::size_t i = 0; i < faults.size(); ++i)
    out << (i > 0 ? ", " : "") << json_quote(faults[i]);
  out << "]}\n";
}

int command_info(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  std::string plugin;
  bool json = false;
  for (const std::string& arg : args) {
    if (is_help(arg)) {
      out << kInfoUsage;
      return kExitSuccess;
    } else if (arg == "--json") {
      json = true;
    } else if (is_option(arg)) {
      throw UsageError("unknown option " + arg + " for info (see icehost info --help)");
    } else if (plugin.empty()) {
      plugin = arg;
    } else {
      throw UsageError("info takes one plug-in; unexpected " + in_quotes(arg));
    }
  }
  if (plugin.empty()) throw UsageError("info needs a plug-in (a path or a node name)");

  PluginLibrary library(find_plugin(plugin, program_dir()));
  const std::size_t logged_at_load = library.session().log().size();
  const XSI::CStatus::Code unload_status = library.unload();
  const std::vector<std::string> faults = registration_faults(library, unload_status);
  if (json) {
    info_json(library, logged_at_load, unload_status, faults, out);
  } else {
    info_human(library, logged_at_load, unload_status, faults, out);
    if (!faults.empty())
      err << "icehost: " << library.node_name() << ": " << faults.size() << " fault(s)\n";
  }
  return faults.empty() ? kExitSuccess : kExitFaults;
}

// ---- demo ----------------------------------------------------------------------------------

// The written elements with runs of consecutive equal results merged: [0-9] "text".
std::string compact(const std::vector<WrittenElement>& written) {
  std::string out;
  for (std::size_t i = 0; i < written.size();) {
    const std::string value = format_written(written[i], false);
    std::size_t j = i + 1;
    while (j < written.size() && written[j].element == written[j - 1].element + 1 &&
           format_written(written[j], false) == value)
      ++j;
    out += "  [" + std::to_string(written[i].element);
    if (j - i > 1) out += "-" + std::to_string(written[j - 1].element);
    out += "] " + value;
    i = j;
  }
  return out;
}

int command_demo(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  for (const std::string& arg : args) {
    if (is_help(arg)) {
      out << kDemoUsage;
      return kExitSuccess;
    }
    throw UsageError((is_option(arg) ? "unknown option " : "unexpected argument ") +
                     in_quotes(arg) + " for demo");
  }
  const std::filesystem::path here = program_dir();
  const std::vector<std::filesystem::path> plugins = all_plugins(here);
  if (plugins.empty()) {
    std::vector<std::string> folders;
    for (const auto& folder : plugin_folders(here)) folders.push_back(folder.string());
    err << "icehost: no plug-ins found in " << join(folders, ", ") << "\n";
    return kExitFaults;
  }
  int code = kExitSuccess;
  for (const std::filesystem::path& path : plugins) {
    try {
      PluginLibrary library(path);
      const NodeRecord& node = library.node();
      const auto& registration = library.session().registration();
      std::vector<std::string> outputs;
      for (const PortRecord& port : node.ports)
        if (!port.is_input)
          outputs.push_back(utf8(port.name) + " (" + std::to_string(port.id) + ")");
      out << library.node_name() << "  " << utf8(registration.name) << " "
          << version_text(registration) << "  in: " << join(port_names(node, true), ", ")
          << "  out: " << join(outputs, ", ") << "  category " << utf8(node.categories) << "\n";
      const PortRecord* output = first_output(node);
      if (!output) {
        out << "  no output port to evaluate\n";
        code = kExitFaults;
        continue;
      }
      const EvaluationReport report = evaluate(library, {}, kDefaultElements, {}, output->id);
      out << "  status " << report.status;
      out << (report.written.empty() ? "  nothing written" : compact(report.written)) << "\n";
      for (const std::string& fault : report.faults) out << "  fault: " << fault << "\n";
      if (report.failed()) {
        err << summary(report);
        code = kExitFaults;
      }
    } catch (const LoadError& error) {
      err << "icehost: " << error.what() << "\n";
      code = kExitFaults;
    }
  }
  return code;
}

int dispatch(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  if (args.empty()) throw UsageError("no command given (info, eval or demo; see icehost --help)");
  const std::string& command = args.front();
  const auto rest = args.subspan(1);
  if (is_help(command)) {
    out << kUsage;
    return kExitSuccess;
  }
  if (command == "info") return command_info(rest, out, err);
  if (command == "eval") return command_eval(rest, out, err);
  if (command == "demo") return command_demo(rest, out, err);
  if (is_option(command)) throw UsageError("unknown option " + command + " (see icehost --help)");
  throw UsageError("unknown command " + in_quotes(command) + " (info, eval or demo)");
}

// A message as one line: line breaks inside it (from the system's loader, say) become spaces.
std::string one_line(std::string_view message) {
  std::string line(message);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

int run(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  // Results are held back until the command completes, so bad input found late (a port named
  // after the plug-in loaded) still leaves nothing on out.
  std::ostringstream results;
  std::ostringstream messages;
  std::optional<std::string> problem;
  int code = kExitBadInput;
  try {
    code = dispatch(args, results, messages);
  } catch (const UsageError& error) {
    problem = error.what();
  } catch (const LoadError& error) {
    problem = error.what();
  } catch (const std::exception& error) {
    problem = std::string("unexpected failure: ") + error.what();
  } catch (...) {
    problem = "unexpected failure";
  }
  if (problem) {
    err << "icehost: " << one_line(*problem) << "\n";
    return kExitBadInput;
  }
  out << results.str();
  err << messages.str();
  return code;
}

}  // namespace icehost
