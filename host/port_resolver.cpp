#include "port_resolver.h"

#include <nlohmann/json.hpp>

#include "data_types.h"
#include "evaluation_setup.h"
#include "option_values.h"
#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using XSI::ULONG;
using xsi_host::PortRecord;
using xsi_host::Value;

const DataType& type_of(const PortRecord& port) {
  if (const DataType* type = data_type(port.data_type)) return *type;
  throw UsageError("port " + wide_to_utf8(port.name) + " has data type " +
                   std::to_string(port.data_type) + ", which icehost cannot set");
}

bool is_array(const PortRecord& port) { return port.structure == XSI::siICENodeStructureArray; }

// The lines of a file, a carriage return before each line break dropped.
std::vector<std::string_view> split_lines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  for (std::size_t begin = 0; begin < bytes.size();) {
    const std::size_t end = std::min(bytes.find('\n', begin), bytes.size());
    std::string_view line = bytes.substr(begin, end - begin);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    begin = end + 1;
  }
  return lines;
}

// text as one value of the port's type, or, for an array port, each of its items as split cuts
// them.
std::vector<Value> read_text(const PortRecord& port, std::string_view text,
                             std::vector<std::string_view> (*split)(std::string_view)) {
  const DataType& type = type_of(port);
  const std::string name = wide_to_utf8(port.name);
  if (!is_array(port)) return {type.from_text(text, name)};
  std::vector<Value> items;
  for (const std::string_view item : split(text)) items.push_back(type.from_text(item, name));
  return items;
}

}  // namespace

ULONG capped_element_count(std::uint64_t count, std::string_view shown) {
  if (count > kMaxElements)
    throw UsageError("at most " + std::to_string(kMaxElements) + " elements, not " +
                     std::string(shown));
  return static_cast<ULONG>(count);
}

std::string past_element_count(ULONG element_count) {
  return " is past the element count " + std::to_string(element_count);
}

ULONG element_index(std::string_view text, ULONG element_count) {
  const auto k = read_number<ULONG>(text);
  if (!k) throw UsageError(in_quotes(text) + " is not an element index");
  if (*k >= element_count)
    throw UsageError("element " + std::to_string(*k) + past_element_count(element_count));
  return *k;
}

std::vector<Value> values_from_text(const PortRecord& port, std::string_view text) {
  return read_text(port, text, split_commas);
}

std::vector<Value> values_from_file(const PortRecord& port, const std::string& path) {
  return read_text(port, read_file(path), split_lines);
}

std::vector<Value> values_from_json(const PortRecord& port, const nlohmann::json& json) {
  const DataType& type = type_of(port);
  const std::string name = wide_to_utf8(port.name);
  if (!is_array(port)) return {type.from_json(json, name)};
  if (!json.is_array())
    throw UsageError(json_shown(json) + " is not an array of " + std::string(type.plural) +
                     " for port " + name);
  std::vector<Value> items;
  for (const nlohmann::json& item : json) items.push_back(type.from_json(item, name));
  return items;
}

const PortRecord* NodePorts::find(std::string_view name) const {
  for (const PortRecord& port : node_.ports)
    if (wide_to_utf8(port.name) == name) return &port;
  for (const PortRecord& port : node_.ports)
    if (wide_to_utf8(port.script_name) == name) return &port;
  if (const auto id = read_number<ULONG>(name))
    for (const PortRecord& port : node_.ports)
      if (port.id == *id) return &port;
  return nullptr;
}

const PortRecord& NodePorts::input(std::string_view name) const {
  const PortRecord* port = find(name);
  const std::string inputs = listed(true);
  if (!port)
    throw UsageError("unknown port " + in_quotes(name) + " (the inputs of " +
                     wide_to_utf8(node_.name) + " are " + (inputs.empty() ? "none" : inputs) + ")");
  if (!port->is_input)
    throw UsageError(wide_to_utf8(port->name) + " is an output; set an input (" + inputs + ")");
  return *port;
}

const PortRecord& NodePorts::pulled(const std::optional<std::string>& id,
                                    std::string_view named_by) const {
  const std::string node = wide_to_utf8(node_.name);
  const PortRecord* first = first_output(node_);
  if (!first) throw UsageError(node + " has no output port to pull");
  if (!id) return *first;
  if (const auto number = read_number<ULONG>(*id))
    for (const PortRecord& port : node_.ports)
      if (!port.is_input && port.id == *number) return port;
  throw UsageError(std::string(named_by) + *id + " is not an output of " + node +
                   " (its outputs: " + listed(false) + ")");
}

std::string NodePorts::listed(bool inputs, bool with_ids) const {
  std::vector<std::string> ports;
  for (const PortRecord& port : node_.ports)
    if (port.is_input == inputs)
      ports.push_back(wide_to_utf8(port.name) +
                      (with_ids ? " (" + std::to_string(port.id) + ")" : ""));
  return join(ports, ", ");
}

}  // namespace icehost
