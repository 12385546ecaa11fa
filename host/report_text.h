// The reports in readable form, as icehost prints them without --json.
#pragma once

#include <ostream>
#include <string>
#include <vector>

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

// demo: a plug-in's node, inputs -> outputs, and what each output's report wrote, equal runs
// merged ("[0-9] \"text\"", "Position: [0-9] 2; Count: [0-9] 1"); then the reports' faults.
struct DemoLine {
  std::vector<std::string> cells;
  std::vector<std::string> faults;
};
DemoLine demo_line(const PluginLibrary& library, const std::vector<EvaluationReport>& reports);

// demo: the lines in columns, each fault under its plug-in's line.
void print_demo(const std::vector<DemoLine>& lines, std::ostream& out);

}  // namespace icehost
