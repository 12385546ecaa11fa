#include "evaluation.h"

#include <utility>

#include "type_names.h"
#include "utf8.h"

namespace icehost {

using XSI::ULONG;

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

EvaluationReport evaluate_call(const PluginLibrary& library, const EvaluationPlan& plan) {
  const ULONG element_count = plan.element_count;
  xsi_host::Evaluation evaluation(plan.strict_host);
  declare_ports(evaluation, library.node(), element_count);
  for (const InputSetting& setting : plan.inputs) {
    xsi_host::PortData* data = evaluation.port(setting.port->id);
    if (!data) continue;
    if (setting.constant) {
      store_constant(*data, setting.values, setting.port->name);
    } else if (setting.element) {
      store(*data, *setting.element, setting.values);
    } else {
      for (ULONG element = 0; element < element_count; ++element)
        store(*data, element, setting.values);
    }
  }
  evaluation.pull(plan.pulled->id);
  plan.index.apply(evaluation, element_count);
  const xsi_host::CallResult result = evaluation.run(library.evaluate());

  EvaluationReport report;
  report.node = library.node_name();
  report.port = plan.pulled->id;
  report.port_name = wide_to_utf8(plan.pulled->name);
  report.element_count = element_count;
  report.status = result.status;
  if (const xsi_host::PortData* output = evaluation.port(plan.pulled->id)) {
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

EvaluationReport evaluate(PluginLibrary& library, const EvaluationPlan& plan) {
  EvaluationReport report = evaluate_call(library, plan);
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
