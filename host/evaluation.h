// Running a loaded plug-in as icehost's commands ask, and what came of it, as plain structs:
// evaluate for eval (and demo), report_registration for info. The reports hold what the commands
// print; the readable and JSON forms are made from them alone.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.h"
#include "plugin_library.h"
#include "xsi_host.h"

namespace icehost {

// One output element the call wrote.
struct WrittenElement {
  XSI::ULONG element = 0;
  bool array = false;                   // the port holds an array per element
  std::vector<xsi_host::Value> values;  // one value, or the items of the array
};

struct EvaluationReport {
  std::string node;       // the node's name, as its callback is named
  XSI::ULONG port = 0;    // the output port pulled
  std::string port_name;  // its name, UTF-8
  XSI::ULONG element_count = 0;
  XSI::CStatus::Code status = XSI::CStatus::OK;
  std::vector<WrittenElement> written;  // ascending by element
  // Misuse of the SDK: a failing load or unload status, failed calls asserted on during
  // registration, then the faults of the call itself (arrays never released, ...).
  std::vector<std::string> faults;

  bool failed() const { return status != XSI::CStatus::OK || !faults.empty(); }
};

// What one input holds for an evaluation: values (one for a one-value port, the items for an
// array port) in element (nothing: in every element). constant hands the port over as one value
// for every element, its array's constant flag set, as store_constant does.
struct InputSetting {
  const xsi_host::PortRecord* port = nullptr;
  std::optional<XSI::ULONG> element;
  std::vector<xsi_host::Value> values;
  bool constant = false;
};

// One call of the library's node: every port with element_count elements, inputs at their
// registered defaults and then as settings say (in order, a later one winning), the output port
// pulled, index walked, against the unforgiving host when strict_host. The report's faults are
// the call's own; the plug-in stays loaded. The settings and the index must fit the node and the
// element count (evaluate checks them for the command line).
EvaluationReport evaluate_call(const PluginLibrary& library, const xsi_host::PortRecord& pulled,
                               XSI::ULONG element_count, std::span<const InputSetting> settings,
                               const IndexChoice& index, bool strict_host);

// Evaluates the library's node once: every port with options.element_count elements, inputs at
// their registered defaults and then set as options.settings say (in order, a later one winning),
// the output options.port (the node's first by default) pulled, options.index walked. Then unloads
// the plug-in, so that its unload counts among the faults. options.plugin is not read.
// Throws UsageError, before calling the plug-in, when the options do not fit the node: no output
// port, --port not an output, an index or element past the element count, an unknown port or a
// value that does not parse.
EvaluationReport evaluate(PluginLibrary& library, const EvalOptions& options);

// What a plug-in registered, with what it did when it was unloaded.
struct RegistrationReport {
  const PluginLibrary* library = nullptr;  // its session holds the registration and the log
  std::size_t logged_at_load = 0;          // log lines before this many were written at load
  XSI::CStatus::Code unload_status = XSI::CStatus::OK;
  std::vector<std::string> faults;  // a failing load or unload status, failed calls asserted on
};

// Unloads the library and reports its registration.
RegistrationReport report_registration(PluginLibrary& library);

// What a plug-in did wrong outside an evaluation call: a failing status from its load entry
// point or from its unload (unload_status), every failed call it asserted on, and the memory the
// host ran out of for it.
std::vector<std::string> registration_faults(const PluginLibrary& library,
                                             XSI::CStatus::Code unload_status);

// The port a PORT names: by its name, else its script name, else its id; null for none.
const xsi_host::PortRecord* find_port(const xsi_host::NodeRecord& node, std::string_view name);

// The node's first output port, or null.
const xsi_host::PortRecord* first_output(const xsi_host::NodeRecord& node);

// The names of the node's input ports (or its outputs), UTF-8, in the order registered.
std::vector<std::string> port_names(const xsi_host::NodeRecord& node, bool inputs);

}  // namespace icehost
