// The reports in readable form, as icehost prints them without --json.
#pragma once

#include <ostream>
#include <string>

#include "evaluation.h"
#include "plugin_library.h"
#include "xsi_host.h"

namespace icehost {

// A port value as a reader sees it: "-" when empty, a number, true or false, or a text in
// quotes with JSON's escapes ("a\u0009b").
std::string value_text(const xsi_host::Value& value);

// eval: a header line (node, port, status, element count, how many written), one line per
// written element, then the faults.
void print_eval(const EvaluationReport& report, std::ostream& out);

// The one line on err when the call failed or misused the SDK.
std::string failure_summary(const EvaluationReport& report);

// info: the plug-in, each node with its port groups and ports as tables, the failed calls
// asserted on, the log lines, the faults.
void print_info(const RegistrationReport& report, std::ostream& out);

// demo: one line of what the plug-in registers.
void print_demo_plugin(const PluginLibrary& library, std::ostream& out);

// demo: the status and the written elements on one line, runs of consecutive equal results
// merged ("[0-9] \"text\""), then the faults; named, after the pulled port's name and id
// ("Count (201)"), as for a node of several outputs.
void print_demo_evaluation(const EvaluationReport& report, bool named, std::ostream& out);

}  // namespace icehost
