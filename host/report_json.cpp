#include "report_json.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <type_traits>
#include <variant>

#include "type_names.h"
#include "utf8.h"

namespace icehost {

using Json = nlohmann::ordered_json;
using xsi_host::NodeRecord;
using xsi_host::PortRecord;

Json value_json(const xsi_host::Value& value) {
  return std::visit(
      [](const auto& v) -> Json {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, std::monostate>)
          return nullptr;
        else if constexpr (std::is_same_v<V, std::wstring>)
          return wide_to_wtf8(v);
        else
          return v;
      },
      value);
}

Json values_json(const std::vector<xsi_host::Value>& values, bool array) {
  if (!array && values.size() == 1) return value_json(values.front());
  Json items = Json::array();
  for (const xsi_host::Value& item : values) items.push_back(value_json(item));
  return items;
}

Json eval_json(const EvaluationReport& report) {
  Json written = Json::array();
  for (const WrittenElement& element : report.written)
    written.push_back(
        {{"element", element.element}, {"value", values_json(element.values, element.array)}});
  Json document = {{"node", report.node},
                   {"port", report.port},
                   {"status", static_cast<std::int32_t>(report.status)}};
  // Only a failure is named, so that a successful call prints the same document as ever.
  if (report.status != XSI::CStatus::OK) document["status_name"] = status_name(report.status);
  document["written"] = written;
  document["faults"] = report.faults;
  return document;
}

namespace {

Json node_json(const NodeRecord& node) {
  Json groups = Json::array();
  for (const auto& group : node.port_groups)
    groups.push_back({{"id", group.id},
                      {"minimum", group.minimum},
                      {"maximum", group.maximum},
                      {"name", wide_to_utf8(group.name)}});
  Json ports = Json::array();
  for (const PortRecord& port : node.ports)
    ports.push_back(
        {{"direction", port.is_input ? "in" : "out"},
         {"id", port.id},
         {"group", port.group == XSI::kNotFound ? Json(nullptr) : Json(port.group)},
         {"data_type", port.data_type},
         {"structure", port.structure},
         {"context", port.context},
         {"name", wide_to_utf8(port.name)},
         {"script_name", wide_to_utf8(port.script_name)},
         {"default", value_json(port.default_value)},
         {"minimum", value_json(port.minimum)},
         {"maximum", value_json(port.maximum)},
         {"constraints", {port.constraints[0], port.constraints[1], port.constraints[2]}}});
  return {{"name", wide_to_utf8(node.name)},
          {"display_name", wide_to_utf8(node.display_name)},
          {"registered", node.registered},
          {"color", node.has_color ? Json{node.color[0], node.color[1], node.color[2]} : Json()},
          {"category", wide_to_utf8(node.categories)},
          {"port_groups", groups},
          {"ports", ports}};
}

}  // namespace

Json info_json(const RegistrationReport& report) {
  const PluginLibrary& library = *report.library;
  const auto& registration = library.session().registration();
  Json nodes = Json::array();
  for (const NodeRecord& node : registration.nodes) nodes.push_back(node_json(node));
  Json failures = Json::array();
  for (const auto& failure : library.session().assertion_failures())
    failures.push_back({{"status", static_cast<std::int32_t>(failure.code)},
                        {"after", failure.after_call},
                        {"message", wide_to_utf8(failure.message)}});
  Json log = Json::array();
  const auto& lines = library.session().log();
  for (std::size_t i = 0; i < lines.size(); ++i)
    log.push_back({{"when", i < report.logged_at_load ? "load" : "unload"},
                   {"severity", lines[i].severity},
                   {"text", wide_to_utf8(lines[i].text)}});
  return {{"plugin", wide_to_utf8(registration.name)},
          {"author", wide_to_utf8(registration.author)},
          {"version", {registration.version_major, registration.version_minor}},
          {"file", library.path().string()},
          {"load_status", static_cast<std::int32_t>(library.load_status())},
          {"unload_status", static_cast<std::int32_t>(report.unload_status)},
          {"nodes", nodes},
          {"assertion_failures", failures},
          {"log", log},
          {"faults", report.faults}};
}

}  // namespace icehost
