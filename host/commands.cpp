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

#include "cli.h"
#include "command_line.h"
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
  const EvaluationReport report = evaluate(library, options);
  if (observe) observe(report);
  if (options.json) {
    out << json_text(eval_json(report)) << "\n";
  } else {
    print_eval(report, out);
    if (report.failed()) err << failure_summary(report);
  }
  return report.failed() ? kExitFaults : kExitSuccess;
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
      std::vector<EvaluationReport> reports;
      for (const xsi_host::PortRecord& port : library.node().ports) {
        if (port.is_input) continue;
        // Each evaluation ends by unloading the plug-in: the next output gets it loaded afresh.
        std::optional<PluginLibrary> again;
        if (!reports.empty()) again.emplace(path);
        EvalOptions options;
        options.port = port.id;
        reports.push_back(evaluate(again ? *again : library, options));
        if (observe) observe(reports.back());
        if (reports.back().failed()) err << failure_summary(reports.back());
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
