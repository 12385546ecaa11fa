// The commands: each reads its parsed options, runs the plug-in and prints the report.
#include <nlohmann/json.hpp>

#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <sstream>
#include <string_view>
#include <variant>
#include <vector>

#include "case_check.h"
#include "case_file.h"
#include "cli.h"
#include "command_line.h"
#include "eval_plan.h"
#include "evaluation.h"
#include "json.h"
#include "plugin_library.h"
#include "report_json.h"
#include "report_text.h"
#include "usage_error.h"

namespace icehost {
namespace {

int command_info(const InfoOptions& options, std::ostream& out, std::ostream& err) {
  PluginLibrary library(find_plugin(options.plugin, program_dir()));
  const RegistrationReport report = report_registration(library);
  if (options.json) {
    out << json_text(info_json(report)) << "\n";
  } else {
    print_info(report, out);
    if (!report.faults.empty())
      err << "icehost: " << library.node_name() << ": " << report.faults.size() << " fault(s)\n";
  }
  return report.faults.empty() ? kExitSuccess : kExitFaults;
}

int command_eval(const EvalOptions& options, std::ostream& out, std::ostream& err,
                 const EvaluationObserver& observe) {
  PluginLibrary library(find_plugin(options.plugin, program_dir()));
  const EvaluationReport report = evaluate(library, plan_eval(library.node(), options));
  if (observe) observe(report);
  if (options.json) {
    out << json_text(eval_json(report)) << "\n";
  } else {
    print_eval(report, out);
    if (report.failed()) err << failure_summary(report);
  }
  return report.failed() ? kExitFaults : kExitSuccess;
}

// Every case of the case files, read whole before any is evaluated, so that a file that does
// not read is bad input and nothing else. Failures one a line on out, then one line on err.
int command_check(const CheckOptions& options, std::ostream& out, std::ostream& err) {
  PluginLibrary library(find_plugin(options.plugin, program_dir()));
  std::vector<std::vector<Case>> files;
  for (const std::string& file : options.case_files)
    files.push_back(read_case_file(file, library.node()));
  std::size_t cases = 0;
  std::size_t failed_cases = 0;
  std::vector<std::string> failures;
  for (std::size_t f = 0; f < files.size(); ++f) {
    for (std::size_t n = 0; n < files[f].size(); ++n) {
      const Case& c = files[f][n];
      const std::string where =
          options.case_files[f] + ": case " + std::to_string(n + 1) + " " + json_quote(c.name);
      const std::vector<std::string> found = check_case(library, c, where);
      failures.insert(failures.end(), found.begin(), found.end());
      ++cases;
      if (!found.empty()) ++failed_cases;
    }
  }
  for (const std::string& fault : registration_faults(library, library.unload()))
    failures.push_back(library.node_name() + ": fault: " + fault);
  for (const std::string& failure : failures) out << failure << "\n";
  const std::string counted = std::to_string(cases) + " case(s), each over 3 index sets in 2 hosts";
  if (failures.empty()) {
    out << library.node_name() << ": " << counted << ": every one passed\n";
    return kExitSuccess;
  }
  err << "icehost: " << library.node_name() << ": " << failures.size() << " failure(s) in "
      << failed_cases << " of " << counted << "\n";
  return kExitFaults;
}

// Every plug-in found, with its default inputs over kDefaultElements elements, each of its
// outputs pulled in turn. A plug-in that fails to load or misbehaves is reported and the others
// still run.
int command_demo(std::ostream& out, std::ostream& err, const EvaluationObserver& observe) {
  const std::filesystem::path here = program_dir();
  const std::vector<std::filesystem::path> plugins = all_plugins(here);
  if (plugins.empty()) {
    std::vector<std::string> folders;
    for (const auto& folder : plugin_folders(here)) folders.push_back(folder.string());
    err << "icehost: no plug-ins found in " << join(folders, ", ") << "\n";
    return kExitFaults;
  }
  int code = kExitSuccess;
  std::vector<DemoLine> lines;
  for (const std::filesystem::path& path : plugins) {
    try {
      PluginLibrary library(path);
      // Every output pulled from one load at the defaults; what load and unload did stands in
      // each output's report, as eval gives it.
      std::vector<EvaluationReport> reports;
      EvaluationPlan plan;
      for (const xsi_host::PortRecord& port : library.node().ports) {
        plan.pulled = &port;
        if (!port.is_input) reports.push_back(evaluate_call(library, plan));
      }
      const std::vector<std::string> unload_faults = registration_faults(library, library.unload());
      for (EvaluationReport& report : reports) {
        report.faults.insert(report.faults.begin(), unload_faults.begin(), unload_faults.end());
        if (observe) observe(report);
        if (report.failed()) err << failure_summary(report);
      }
      lines.push_back(demo_line(library, reports));
      for (const EvaluationReport& report : reports)
        if (report.failed()) code = kExitFaults;
      if (reports.empty()) code = kExitFaults;
    } catch (const LoadError& error) {
      err << "icehost: " << error.what() << "\n";
      code = kExitFaults;
    }
  }
  print_demo(lines, out);
  return code;
}

int dispatch(std::span<const std::string> args, std::ostream& out, std::ostream& err,
             const EvaluationObserver& observe) {
  const CommandLine command = parse_command_line(args);
  if (const auto* help = std::get_if<HelpRequest>(&command)) {
    out << help->usage;
    return kExitSuccess;
  }
  if (const auto* info = std::get_if<InfoOptions>(&command)) return command_info(*info, out, err);
  if (const auto* eval = std::get_if<EvalOptions>(&command))
    return command_eval(*eval, out, err, observe);
  if (const auto* check = std::get_if<CheckOptions>(&command))
    return command_check(*check, out, err);
  return command_demo(out, err, observe);
}

// A message as one line: line breaks inside it (from the system's loader, say) become spaces.
std::string one_line(std::string_view message) {
  std::string line(message);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

int run(std::span<const std::string> args, std::ostream& out, std::ostream& err,
        const EvaluationObserver& observe) {
  // Results are held back until the command completes, so bad input found late (a port named
  // after the plug-in loaded) still leaves nothing on out.
  std::ostringstream results;
  std::ostringstream messages;
  std::optional<std::string> problem;
  int code = kExitBadInput;
  try {
    code = dispatch(args, results, messages, observe);
  } catch (const UsageError& error) {
    problem = error.what();
  } catch (const LoadError& error) {
    problem = error.what();
  } catch (const std::bad_alloc&) {
    // Not bad input: icehost itself could not hold what it was given.
    err << "icehost: out of memory\n";
    return kExitFaults;
  } catch (const std::exception& error) {
    problem = std::string("unexpected failure: ") + error.what();
  } catch (...) {
    problem = "unexpected failure";
  }
  if (problem) {
    err << "icehost: " << one_line(*problem) << "\n";
    return kExitBadInput;
  }
  out << results.str();
  err << messages.str();
  return code;
}

}  // namespace icehost
