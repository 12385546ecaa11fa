#include "case_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <string_view>

#include "data_types.h"
#include "json.h"
#include "option_values.h"
#include "port_resolver.h"
#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using Json = nlohmann::json;
using XSI::ULONG;
using xsi_host::NodeRecord;
using xsi_host::PortRecord;

constexpr std::string_view kKeys[] = {"case",     "elements", "set", "each",
                                      "constant", "port",     "want"};

// The case's element count: "elements", else the length of an array "want", else 1.
ULONG element_count(const Json& entry, const Json& want) {
  const auto given = entry.find("elements");
  if (given == entry.end()) {
    const std::uint64_t count = want.is_array() ? want.size() : 1;
    return capped_element_count(count, std::to_string(count));
  }
  if (!given->is_number_unsigned()) throw UsageError("an element count, not " + json_shown(*given));
  const ULONG count = capped_element_count(given->get<std::uint64_t>(), json_shown(*given));
  if (want.is_array() && want.size() != count)
    throw UsageError(std::to_string(count) + ", but \"want\" has " + std::to_string(want.size()) +
                     " values");
  return count;
}

// "set", "each" and "constant" as the plan's inputs, no input named twice.
void read_inputs(const Json& entry, const NodePorts& ports, Case& read, std::string& key) {
  const ULONG elements = read.plan.element_count;
  std::set<const PortRecord*> given;
  for (const std::string form : {"set", "each", "constant"}) {
    key = form;
    const auto inputs = entry.find(form);
    if (inputs == entry.end()) continue;
    if (!inputs->is_object()) throw UsageError("an object of inputs, {PORT: VALUE}");
    for (const auto& item : inputs->items()) {
      const PortRecord& port = ports.input(item.key());
      if (!given.insert(&port).second)
        throw UsageError(wide_to_utf8(port.name) + " is given a second time");
      if (form != "each") {
        read.plan.inputs.push_back(
            {&port, std::nullopt, values_from_json(port, item.value()), form == "constant"});
        continue;
      }
      if (!item.value().is_array() || item.value().size() != elements)
        throw UsageError(wide_to_utf8(port.name) + " takes one value per element, " +
                         std::to_string(elements) + " of them, not " + json_shown(item.value()));
      for (ULONG k = 0; k < elements; ++k)
        read.plan.inputs.push_back({&port, k, values_from_json(port, item.value()[k]), false});
    }
  }
}

// One case; key names the key being read when it throws.
Case read_case(const Json& entry, const NodePorts& ports, std::string& key) {
  if (!entry.is_object()) throw UsageError("a case is a JSON object, not " + json_shown(entry));
  for (const auto& item : entry.items()) {
    key = item.key();
    if (std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys))
      throw UsageError("unknown key (a case has case, elements, set, each, constant, port, want)");
  }
  Case read;
  key = "case";
  const auto name = entry.find("case");
  if (name == entry.end() || !name->is_string() || name->get_ref<const std::string&>().empty())
    throw UsageError("every case says in a text what it catches");
  read.name = name->get<std::string>();
  key = "port";
  const auto port = entry.find("port");
  read.plan.pulled =
      &ports.pulled(port == entry.end() ? std::nullopt : std::optional(json_shown(*port)));

  key = "want";
  const auto want = entry.find("want");
  if (want == entry.end() || !(want->is_array() || want->is_object()))
    throw UsageError("every case has one: every element's value, or {\"ELEMENT\": VALUE}");
  read.every_element = want->is_array();
  key = "elements";
  read.plan.element_count = element_count(entry, *want);

  key = "want";
  const PortRecord& pulled = *read.plan.pulled;
  if (read.every_element) {
    for (ULONG k = 0; k < read.plan.element_count; ++k)
      read.want[k] = values_from_json(pulled, (*want)[k]);
  } else {
    for (const auto& item : want->items())
      read.want[element_index(item.key(), read.plan.element_count)] =
          values_from_json(pulled, item.value());
  }
  read_inputs(entry, ports, read, key);
  return read;
}

}  // namespace

std::vector<Case> read_case_file(const std::string& path, const NodeRecord& node) {
  Json file;
  try {
    file = Json::parse(escape_lone_surrogates(read_file(path)), nullptr, true, true);
  } catch (const Json::parse_error& error) {
    throw UsageError(path + ": not JSON: " + error.what());
  } catch (const Json::exception& error) {  // a number past a double's range
    throw UsageError(path + ": " + error.what());
  }
  if (!file.is_array()) throw UsageError(path + ": a case file is a JSON array of cases");
  const NodePorts ports(node);
  std::vector<Case> cases;
  for (std::size_t n = 0; n < file.size(); ++n) {
    const Json& entry = file[n];
    std::string where = path + ": case " + std::to_string(n + 1);
    if (entry.is_object() && entry.contains("case") && entry["case"].is_string())
      where += " " + json_quote(entry["case"].get<std::string>());
    std::string key;
    try {
      cases.push_back(read_case(entry, ports, key));
    } catch (const UsageError& problem) {
      throw UsageError(where + (key.empty() ? "" : ", key \"" + key + "\"") + ": " +
                       problem.what());
    }
  }
  return cases;
}

}  // namespace icehost
