// One evaluation of a loaded plug-in's node, planned in plain values (resolved ports, values,
// the index set), and what came of it; the registration info reports. The reports hold what the
// commands print; the readable and JSON forms are made from them alone.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "evaluation_setup.h"
#include "plugin_library.h"
#include "xsi_host.h"

namespace icehost {

inline constexpr XSI::ULONG kDefaultElements = 10;

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

// What one input holds: values (one, or an array port's items) in element, or in every element;
// constant hands them over as one value for every element (store_constant).
struct InputSetting {
  const xsi_host::PortRecord* port = nullptr;
  std::optional<XSI::ULONG> element;
  std::vector<xsi_host::Value> values;
  bool constant = false;
};

// One call: every port with element_count elements, the inputs at their registered defaults
// and then as inputs say (in order, a later one winning), pulled pulled, index walked.
struct EvaluationPlan {
  const xsi_host::PortRecord* pulled = nullptr;  // an output of the node
  XSI::ULONG element_count = kDefaultElements;
  std::vector<InputSetting> inputs;  // inputs of the node, elements below element_count
  IndexChoice index;                 // its elements below element_count
  bool strict_host = false;          // the stand-in's unforgiving mode
};

// One call of the library's node as planned. The report's faults are the call's own; the
// plug-in stays loaded.
EvaluationReport evaluate_call(const PluginLibrary& library, const EvaluationPlan& plan);

// The call, then the plug-in unloaded, what its load and unload did counted among the faults.
EvaluationReport evaluate(PluginLibrary& library, const EvaluationPlan& plan);

// What a plug-in registered, with what it did when it was unloaded.
struct RegistrationReport {
  const PluginLibrary* library = nullptr;  // its session holds the registration and the log
  std::size_t logged_at_load = 0;          // log lines before this many were written at load
  XSI::CStatus::Code unload_status = XSI::CStatus::OK;
  std::vector<std::string> faults;  // a failing load or unload status, failed calls asserted on
};

// Unloads the library and reports its registration.
RegistrationReport report_registration(PluginLibrary& library);

// What a plug-in did wrong outside an evaluation call: a failing load or unload status, every
// failed call it asserted on, and the memory the host ran out of for it.
std::vector<std::string> registration_faults(const PluginLibrary& library,
                                             XSI::CStatus::Code unload_status);

}  // namespace icehost
