#include "case_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include "command_line.h"
#include "json.h"
#include "option_values.h"
#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using Json = nlohmann::json;
using XSI::ULONG;
using xsi_host::NodeRecord;
using xsi_host::PortRecord;
using xsi_host::Value;

// What is wrong with a key of a case; read_case_file says in which file and case.
class Malformed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr std::string_view kKeys[] = {"case",     "elements", "set", "each",
                                      "constant", "port",     "want"};

std::string shown(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// What a value of the port's type is, as a message says it.
std::string type_wanted(const PortRecord& port) {
  const bool array = port.structure == XSI::siICENodeStructureArray;
  switch (port.data_type) {
    case XSI::siICENodeDataString:
      return array ? "an array of texts" : "a text (a JSON string)";
    case XSI::siICENodeDataBool:
      return array ? "an array of booleans" : "a boolean (true or false)";
    case XSI::siICENodeDataLong:
      return array ? "an array of 32-bit integers" : "a 32-bit integer";
    case XSI::siICENodeDataFloat:
      return array ? "an array of 32-bit floats"
                   : "a 32-bit float (a number, \"nan\", \"inf\" or \"-inf\")";
    default:
      return "a value of data type " + std::to_string(port.data_type);
  }
}

// One value, or one item, in the port's data type; nothing when json is none.
std::optional<Value> item_of(const Json& json, const PortRecord& port) {
  switch (port.data_type) {
    case XSI::siICENodeDataString:
      if (!json.is_string()) return std::nullopt;
      if (auto wide = with_lone_surrogates(json.get_ref<const std::string&>())) return Value(*wide);
      return std::nullopt;
    case XSI::siICENodeDataBool:
      if (!json.is_boolean()) return std::nullopt;
      return Value(json.get<bool>());
    case XSI::siICENodeDataLong: {
      constexpr std::int64_t kLeast = std::numeric_limits<std::int32_t>::min();
      constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max();
      if (json.is_number_unsigned() && json.get<std::uint64_t>() <= kMost)
        return Value(static_cast<std::int32_t>(json.get<std::uint64_t>()));
      if (json.is_number_integer() && !json.is_number_unsigned() &&
          json.get<std::int64_t>() >= kLeast && json.get<std::int64_t>() <= kMost)
        return Value(static_cast<std::int32_t>(json.get<std::int64_t>()));
      return std::nullopt;
    }
    case XSI::siICENodeDataFloat: {
      constexpr float kInfinity = std::numeric_limits<float>::infinity();
      if (json == "nan") return Value(std::numeric_limits<float>::quiet_NaN());
      if (json == "inf") return Value(kInfinity);
      if (json == "-inf") return Value(-kInfinity);
      if (!json.is_number()) return std::nullopt;
      // Every number that rounds to a finite 32-bit float: below the largest one and half its
      // last place.
      const double number = json.get<double>();
      const double bound = std::numeric_limits<float>::max() + std::ldexp(1.0, 103);
      if (!(std::fabs(number) < bound)) return std::nullopt;
      return Value(static_cast<float>(number));
    }
    default:
      return std::nullopt;
  }
}

// A VALUE in the port's type: one value, or an array port's items.
std::vector<Value> values_of(const Json& json, const PortRecord& port) {
  const std::string problem =
      shown(json) + " is not " + type_wanted(port) + " (port " + wide_to_utf8(port.name) + ")";
  std::vector<Value> values;
  if (port.structure == XSI::siICENodeStructureArray) {
    if (!json.is_array()) throw Malformed(problem);
    for (const Json& item : json) {
      const auto value = item_of(item, port);
      if (!value) throw Malformed(problem);
      values.push_back(*value);
    }
  } else {
    const auto value = item_of(json, port);
    if (!value) throw Malformed(problem);
    values.push_back(*value);
  }
  return values;
}

std::string listed(const std::vector<std::string>& names) {
  return names.empty() ? "none" : join(names, ", ");
}

const PortRecord& pulled_port(const Json& entry, const NodeRecord& node) {
  const PortRecord* first = first_output(node);
  if (!first) throw Malformed("the node has no output port");
  const auto port = entry.find("port");
  if (port == entry.end()) return *first;
  for (const PortRecord& record : node.ports)
    if (!record.is_input && port->is_number_unsigned() && record.id == port->get<std::uint64_t>())
      return record;
  throw Malformed(shown(*port) +
                  " is no output port id (the outputs: " + listed(port_names(node, false)) + ")");
}

// Reads one case; key names the key being read when it throws.
Case read_case(const Json& entry, const NodeRecord& node, std::string& key) {
  if (!entry.is_object()) throw Malformed("a case is a JSON object, not " + shown(entry));
  for (const auto& item : entry.items()) {
    key = item.key();
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys))
      throw Malformed("unknown key (a case has case, elements, set, each, constant, port, want)");
  }
  Case read;
  key = "case";
  const auto name = entry.find("case");
  if (name == entry.end() || !name->is_string() || name->get_ref<const std::string&>().empty())
    throw Malformed("every case says in a text what it catches");
  read.name = name->get<std::string>();
  key = "port";
  read.pulled = &pulled_port(entry, node);

  key = "want";
  const auto want = entry.find("want");
  if (want == entry.end() || !(want->is_array() || want->is_object()))
    throw Malformed("every case has one: every element's value, or {\"ELEMENT\": VALUE}");
  read.every_element = want->is_array();
  key = "elements";
  std::size_t elements = read.every_element ? want->size() : 1;
  if (const auto given = entry.find("elements"); given != entry.end()) {
    if (!given->is_number_unsigned()) throw Malformed("an element count, not " + shown(*given));
    elements = given->get<std::size_t>();
    if (read.every_element && want->size() != elements)
      throw Malformed(std::to_string(elements) + ", but \"want\" has " +
                      std::to_string(want->size()) + " values");
  }
  if (elements > kMaxElements)
    throw Malformed("at most " + std::to_string(kMaxElements) + " elements");
  read.elements = static_cast<ULONG>(elements);

  key = "want";
  if (read.every_element) {
    for (ULONG k = 0; k < read.elements; ++k) read.want[k] = values_of((*want)[k], *read.pulled);
  } else {
    for (const auto& item : want->items()) {
      const auto k = parse_unsigned(item.key());
      if (!k || *k >= read.elements)
        throw Malformed(in_quotes(item.key()) + " is no element below the element count " +
                        std::to_string(read.elements));
      read.want[*k] = values_of(item.value(), *read.pulled);
    }
  }

  std::set<const PortRecord*> given;
  for (const std::string form : {"set", "each", "constant"}) {
    key = form;
    const auto inputs = entry.find(form);
    if (inputs == entry.end()) continue;
    if (!inputs->is_object()) throw Malformed("an object of inputs, {PORT: VALUE}");
    for (const auto& item : inputs->items()) {
      const PortRecord* port = find_port(node, item.key());
      if (!port || !port->is_input)
        throw Malformed("no input " + in_quotes(item.key()) +
                        " (the inputs: " + listed(port_names(node, true)) + ")");
      if (!given.insert(port).second)
        throw Malformed(wide_to_utf8(port->name) + " is given a second time");
      if (form != "each") {
        read.inputs.push_back(
            {port, std::nullopt, values_of(item.value(), *port), form == "constant"});
        continue;
      }
      if (!item.value().is_array() || item.value().size() != read.elements)
        throw Malformed(wide_to_utf8(port->name) + " takes one value per element, " +
                        std::to_string(read.elements) + " of them, not " + shown(item.value()));
      for (ULONG k = 0; k < read.elements; ++k)
        read.inputs.push_back({port, k, values_of(item.value()[k], *port), false});
    }
  }
  return read;
}

}  // namespace

std::vector<Case> read_case_file(const std::string& path, const NodeRecord& node) {
  Json file;
  try {
    file = Json::parse(escape_lone_surrogates(read_file(path)), nullptr, true, true);
  } catch (const Json::parse_error& error) {
    throw UsageError(path + ": not JSON: " + error.what());
  }
  if (!file.is_array()) throw UsageError(path + ": a case file is a JSON array of cases");
  std::vector<Case> cases;
  for (std::size_t n = 0; n < file.size(); ++n) {
    const Json& entry = file[n];
    std::string where = path + ": case " + std::to_string(n + 1);
    if (entry.is_object() && entry.contains("case") && entry["case"].is_string())
      where += " " + json_quote(entry["case"].get<std::string>());
    std::string key;
    try {
      cases.push_back(read_case(entry, node, key));
    } catch (const Malformed& problem) {
      throw UsageError(where + (key.empty() ? "" : ", key \"" + key + "\"") + ": " +
                       problem.what());
    }
  }
  return cases;
}

}  // namespace icehost
