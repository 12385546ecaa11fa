#include "evaluation.h"

#include <optional>
#include <string_view>
#include <utility>

#include "evaluation_setup.h"
#include "option_values.h"
#include "type_names.h"
#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using XSI::ULONG;
using xsi_host::NodeRecord;
using xsi_host::PortRecord;
using xsi_host::Value;

// The node's input ports (or its outputs) as a message lists them: "String (0), SubString (1)".
std::string ports_listed(const NodeRecord& node, bool inputs) {
  std::vector<std::string> ports;
  for (const PortRecord& port : node.ports)
    if (port.is_input == inputs)
      ports.push_back(wide_to_utf8(port.name) + " (" + std::to_string(port.id) + ")");
  return join(ports, ", ");
}

InputSetting resolve_setting(const NodeRecord& node, const SetArgument& argument,
                             ULONG element_count) {
  const std::string option = argument.from_file  ? "--set-file"
                             : argument.constant ? "--set-constant"
                                                 : "--set";
  const std::size_t equals = argument.text.find('=');
  if (equals == std::string::npos)
    throw UsageError(option + " takes PORT=" + (argument.from_file ? "PATH" : "VALUE") + ", not " +
                     in_quotes(argument.text));
  std::string_view target = std::string_view(argument.text).substr(0, equals);
  const std::string value = argument.text.substr(equals + 1);

  // A port's own name may hold '@': PORT@K is read as element K only when PORT is no port.
  InputSetting setting;
  setting.port = find_port(node, target);
  const std::size_t at = target.rfind('@');
  if (!setting.port && at != std::string_view::npos) {
    const std::string_view element = target.substr(at + 1);
    target = target.substr(0, at);
    setting.port = find_port(node, target);
    if (setting.port && argument.constant)
      throw UsageError(
          "--set-constant sets every element, element 0 standing for them all; "
          "PORT@K is --set's");
    if (setting.port) {
      const auto k = parse_unsigned(element);
      if (!k) throw UsageError(option + ": " + in_quotes(element) + " is not an element index");
      if (*k >= element_count)
        throw UsageError(option + ": element " + std::to_string(*k) +
                         " is past the element count " + std::to_string(element_count));
      setting.element = *k;
    }
  }
  const std::string inputs = ports_listed(node, true);
  if (!setting.port)
    throw UsageError("unknown port " + in_quotes(target) + " (the inputs of " +
                     wide_to_utf8(node.name) + " are " + inputs + ")");
  if (!setting.port->is_input)
    throw UsageError(option + ": " + wide_to_utf8(setting.port->name) +
                     " is an output; set an input (" + inputs + ")");
  setting.values = argument.from_file ? parse_port_file(*setting.port, value)
                                      : parse_port_value(*setting.port, value);
  setting.constant = argument.constant;
  return setting;
}

// The output port pulled: the one --port names, or the node's first.
const PortRecord& pulled_port(const PluginLibrary& library, std::optional<ULONG> id) {
  const NodeRecord& node = library.node();
  const PortRecord* output = first_output(node);
  if (!output) throw UsageError(library.node_name() + " has no output port to pull");
  if (!id) return *output;
  for (const PortRecord& port : node.ports)
    if (!port.is_input && port.id == *id) return port;
  throw UsageError("--port " + std::to_string(*id) + " is not an output of " + library.node_name() +
                   " (its outputs: " + ports_listed(node, false) + ")");
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

}  // namespace

const PortRecord* find_port(const NodeRecord& node, std::string_view name) {
  for (const PortRecord& port : node.ports)
    if (wide_to_utf8(port.name) == name) return &port;
  for (const PortRecord& port : node.ports)
    if (wide_to_utf8(port.script_name) == name) return &port;
  if (const auto id = parse_unsigned(name))
    for (const PortRecord& port : node.ports)
      if (port.id == *id) return &port;
  return nullptr;
}

std::vector<std::string> registration_faults(const PluginLibrary& library,
                                             XSI::CStatus::Code unload_status) {
  std::vector<std::string> faults;
  if (library.load_status() != XSI::CStatus::OK)
    faults.push_back("XSILoadPlugin returned status " + std::to_string(library.load_status()) +
                     " (" + status_name(library.load_status()) + ")");
  for (const auto& failure : library.session().assertion_failures())
    faults.push_back("assertion failed with status " + std::to_string(failure.code) +
                     (failure.after_call.empty() ? "" : " after " + failure.after_call) +
                     (failure.message.empty() ? "" : ": " + wide_to_utf8(failure.message)));
  if (unload_status != XSI::CStatus::OK)
    faults.push_back("XSIUnloadPlugin returned status " + std::to_string(unload_status) + " (" +
                     status_name(unload_status) + ")");
  for (const std::string& operation : library.session().out_of_memory())
    faults.push_back("the host ran out of memory in " + operation + " during load or unload");
  return faults;
}

const PortRecord* first_output(const NodeRecord& node) {
  for (const PortRecord& port : node.ports)
    if (!port.is_input) return &port;
  return nullptr;
}

std::vector<std::string> port_names(const NodeRecord& node, bool inputs) {
  std::vector<std::string> names;
  for (const PortRecord& port : node.ports)
    if (port.is_input == inputs) names.push_back(wide_to_utf8(port.name));
  return names;
}

EvaluationReport evaluate_call(const PluginLibrary& library, const PortRecord& pulled,
                               ULONG element_count, std::span<const InputSetting> settings,
                               const IndexChoice& index, bool strict_host) {
  xsi_host::Evaluation evaluation(strict_host);
  declare_ports(evaluation, library.node(), element_count);
  for (const InputSetting& setting : settings) {
    xsi_host::PortData* data = evaluation.port(setting.port->id);
    if (!data) continue;
    if (setting.constant) {
      store_constant(*data, setting.values);
    } else if (setting.element) {
      store(*data, *setting.element, setting.values);
    } else {
      for (ULONG element = 0; element < element_count; ++element)
        store(*data, element, setting.values);
    }
  }
  evaluation.pull(pulled.id);
  index.apply(evaluation, element_count);
  const xsi_host::CallResult result = evaluation.run(library.evaluate());

  EvaluationReport report;
  report.node = library.node_name();
  report.port = pulled.id;
  report.port_name = wide_to_utf8(pulled.name);
  report.element_count = element_count;
  report.status = result.status;
  if (const xsi_host::PortData* output = evaluation.port(pulled.id)) {
    const bool array = output->structure() == XSI::siICENodeStructureArray;
    for (ULONG element = 0; element < output->element_count(); ++element) {
      if (!output->written(element)) continue;
      report.written.push_back(WrittenElement{
          element, array, array ? output->items(element) : std::vector{output->value(element)}});
    }
  }
  report.faults = result.faults;
  for (const std::string& operation : result.out_of_memory)
    report.faults.push_back("the host ran out of memory in " + operation);
  return report;
}

EvaluationReport evaluate(PluginLibrary& library, const EvalOptions& options) {
  const ULONG element_count = options.element_count;
  const PortRecord& pulled = pulled_port(library, options.port);
  check_index(options.index, element_count);
  std::vector<InputSetting> settings;
  for (const SetArgument& argument : options.settings)
    settings.push_back(resolve_setting(library.node(), argument, element_count));

  EvaluationReport report =
      evaluate_call(library, pulled, element_count, settings, options.index, options.strict_host);
  std::vector<std::string> faults = registration_faults(library, library.unload());
  faults.insert(faults.end(), report.faults.begin(), report.faults.end());
  report.faults = std::move(faults);
  return report;
}

RegistrationReport report_registration(PluginLibrary& library) {
  RegistrationReport report;
  report.library = &library;
  report.logged_at_load = library.session().log().size();
  report.unload_status = library.unload();
  report.faults = registration_faults(library, report.unload_status);
  return report;
}

}  // namespace icehost
