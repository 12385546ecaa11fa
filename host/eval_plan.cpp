#include "eval_plan.h"

#include <string_view>

#include "data_types.h"
#include "port_resolver.h"
#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using XSI::ULONG;
using xsi_host::PortRecord;

InputSetting resolve(const NodePorts& ports, const SetArgument& argument, ULONG element_count) {
  const std::string option = argument.from_file  ? "--set-file"
                             : argument.constant ? "--set-constant"
                                                 : "--set";
  const std::size_t equals = argument.text.find('=');
  if (equals == std::string::npos)
    throw UsageError(option + " takes PORT=" + (argument.from_file ? "PATH" : "VALUE") + ", not " +
                     in_quotes(argument.text));
  std::string_view target = std::string_view(argument.text).substr(0, equals);
  const std::string value = argument.text.substr(equals + 1);
  std::optional<std::string_view> element;
  if (const std::size_t at = target.rfind('@'); !ports.find(target) && at != target.npos) {
    element = target.substr(at + 1);
    target = target.substr(0, at);
  }
  InputSetting setting;
  setting.port =
      &in_context(option + ": ", [&]() -> const PortRecord& { return ports.input(target); });
  setting.constant = argument.constant;
  if (element && argument.constant)
    throw UsageError(
        "--set-constant sets every element, element 0 standing for them all; "
        "PORT@K is --set's");
  if (element)
    setting.element =
        in_context(option + ": ", [&] { return element_index(*element, element_count); });
  const PortRecord& port = *setting.port;
  if (argument.from_file && port.data_type != XSI::siICENodeDataString)
    throw UsageError("--set-file takes a text port; " + wide_to_utf8(port.name) + " is " +
                     data_type_name(port.data_type));
  setting.values =
      argument.from_file ? values_from_file(port, value) : values_from_text(port, value);
  return setting;
}

void check_index(const IndexChoice& choice, ULONG element_count) {
  const std::string past = past_element_count(element_count);
  if (choice.range_count && *choice.range_count > element_count)
    throw UsageError("--index range:" + std::to_string(*choice.range_count) + past);
  if (choice.bits.size() > element_count)
    throw UsageError("--index bits: " + std::to_string(choice.bits.size()) + " bits" + past);
  for (const ULONG entry : choice.list)
    if (entry != XSI::kNotFound && entry >= element_count)
      throw UsageError("--index list: entry " + std::to_string(entry) + past);
}

}  // namespace

EvaluationPlan plan_eval(const xsi_host::NodeRecord& node, const EvalOptions& options) {
  const NodePorts ports(node);
  EvaluationPlan plan;
  plan.element_count = options.element_count;
  plan.pulled = &ports.pulled(
      options.port ? std::optional(std::to_string(*options.port)) : std::nullopt, "--port ");
  check_index(options.index, plan.element_count);
  plan.index = options.index;
  for (const SetArgument& argument : options.settings)
    plan.inputs.push_back(resolve(ports, argument, plan.element_count));
  plan.strict_host = options.strict_host;
  return plan;
}

}  // namespace icehost
