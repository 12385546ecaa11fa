#include "report_text.h"

#include <algorithm>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "data_types.h"
#include "json.h"
#include "number_text/number_text.h"
#include "port_resolver.h"
#include "type_names.h"
#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using xsi_host::NodeRecord;
using xsi_host::PortRecord;
using Rows = std::vector<std::vector<std::string>>;

std::string written_text(const WrittenElement& written) {
  if (!written.array) return value_text(written.values.front());
  std::vector<std::string> items;
  for (const xsi_host::Value& value : written.values) items.push_back(value_text(value));
  return "[" + join(items, ", ") + "]";
}

// Rows as columns, each as wide as its widest cell, two spaces apart: one line per row.
std::vector<std::string> columns(const Rows& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  }
  std::vector<std::string> lines;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
    }
    lines.push_back(line);
  }
  return lines;
}

std::string table(const Rows& rows, std::string_view indent) {
  std::string out;
  for (const std::string& line : columns(rows)) out += std::string(indent) + line + "\n";
  return out;
}

std::string version_text(const xsi_host::Registration& registration) {
  return std::to_string(registration.version_major) + "." +
         std::to_string(registration.version_minor);
}

void print_node(const NodeRecord& node, std::ostream& out) {
  out << "\nnode " << wide_to_utf8(node.name) << " (shown as "
      << json_quote(wide_to_utf8(node.display_name)) << ")"
      << (node.registered ? "" : ", never registered") << "\n";
  const std::string colour = node.has_color ? std::to_string(node.color[0]) + ", " +
                                                  std::to_string(node.color[1]) + ", " +
                                                  std::to_string(node.color[2])
                                            : "none";
  out << table({{"colour", colour}, {"category", json_quote(wide_to_utf8(node.categories))}}, "  ");
  out << "  port groups\n";
  Rows groups = {{"id", "min", "max", "name"}};
  for (const auto& group : node.port_groups)
    groups.push_back({std::to_string(group.id), std::to_string(group.minimum),
                      std::to_string(group.maximum), json_quote(wide_to_utf8(group.name))});
  out << table(groups, "    ");
  out << "  ports\n";
  Rows ports = {{"", "id", "group", "type", "structure", "context", "name", "script name",
                 "default", "min", "max", "constraints"}};
  for (const PortRecord& port : node.ports)
    ports.push_back(
        {port.is_input ? "in" : "out", std::to_string(port.id),
         port.group == XSI::kNotFound ? "-" : std::to_string(port.group),
         data_type_name(port.data_type), structure_name(port.structure),
         std::to_string(port.context), wide_to_utf8(port.name), wide_to_utf8(port.script_name),
         port.is_input ? value_text(port.default_value) : "-",
         port.is_input ? value_text(port.minimum) : "-",
         port.is_input ? value_text(port.maximum) : "-",
         std::to_string(port.constraints[0]) + " " + std::to_string(port.constraints[1]) + " " +
             std::to_string(port.constraints[2])});
  out << table(ports, "    ");
}

void print_faults(const std::vector<std::string>& faults, std::ostream& out) {
  if (faults.empty()) return;
  out << "faults:\n";
  for (const std::string& fault : faults) out << "  " << fault << "\n";
}

}  // namespace

std::string value_text(const xsi_host::Value& value) {
  return std::visit(
      [](const auto& v) -> std::string {
        using V = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<V, std::monostate>) {
          return "-";
        } else if constexpr (std::is_same_v<V, bool>) {
          return v ? "true" : "false";
        } else if constexpr (std::is_same_v<V, float>) {
          char buffer[number_text::kMaxDigits];
          return std::string(buffer, number_text::format_float(v, buffer));
        } else if constexpr (std::is_same_v<V, std::wstring>) {
          return json_quote(wide_to_wtf8(v));
        } else {
          return std::to_string(v);
        }
      },
      value);
}

void print_eval(const EvaluationReport& report, std::ostream& out) {
  out << report.node << "  port " << report.port << " " << report.port_name << "  status "
      << report.status << "  elements " << report.element_count << "  written "
      << report.written.size() << "\n";
  for (const WrittenElement& written : report.written)
    out << "[" << written.element << "] " << written_text(written) << "\n";
  print_faults(report.faults, out);
}

std::string failure_summary(const EvaluationReport& report) {
  const std::string named =
      report.status == XSI::CStatus::OK ? "" : " (" + status_name(report.status) + ")";
  return "icehost: " + report.node + " returned status " + std::to_string(report.status) + named +
         " with " + std::to_string(report.faults.size()) + " fault(s)\n";
}

void print_info(const RegistrationReport& report, std::ostream& out) {
  const PluginLibrary& library = *report.library;
  const auto& registration = library.session().registration();
  out << table({{"plug-in", wide_to_utf8(registration.name) + " " + version_text(registration)},
                {"author", wide_to_utf8(registration.author)},
                {"file", library.path().string()},
                {"load status", std::to_string(library.load_status())},
                {"unload status", std::to_string(report.unload_status)}},
               "");
  for (const NodeRecord& node : registration.nodes) print_node(node, out);
  const auto& failures = library.session().assertion_failures();
  out << "\nassertion failures: " << (failures.empty() ? "none" : "") << "\n";
  for (const auto& failure : failures)
    out << "  status " << failure.code << " after " << failure.after_call << ": "
        << wide_to_utf8(failure.message) << "\n";
  const auto& log = library.session().log();
  out << "log:" << (log.empty() ? " none" : "") << "\n";
  Rows lines;
  for (std::size_t i = 0; i < log.size(); ++i)
    lines.push_back({i < report.logged_at_load ? "at load" : "at unload",
                     severity_name(log[i].severity) + " (" + std::to_string(log[i].severity) + ")",
                     wide_to_utf8(log[i].text)});
  out << table(lines, "  ");
  print_faults(report.faults, out);
}

namespace {

// What one evaluation wrote, as demo shows it.
std::string demo_result(const EvaluationReport& report) {
  std::string result;
  if (report.status != XSI::CStatus::OK)
    result = "status " + std::to_string(report.status) + " (" + status_name(report.status) + ")";
  const auto& written = report.written;
  if (written.empty()) result += (result.empty() ? "" : "  ") + std::string("nothing written");
  for (std::size_t i = 0; i < written.size();) {
    const std::string value = written_text(written[i]);
    std::size_t j = i + 1;
    while (j < written.size() && written[j].element == written[j - 1].element + 1 &&
           written_text(written[j]) == value)
      ++j;
    if (!result.empty()) result += "  ";
    result += "[" + std::to_string(written[i].element);
    if (j - i > 1) result += "-" + std::to_string(written[j - 1].element);
    result += "] " + value;
    i = j;
  }
  return result;
}

}  // namespace

DemoLine demo_line(const PluginLibrary& library, const std::vector<EvaluationReport>& reports) {
  const NodePorts ports(library.node());
  DemoLine line;
  line.cells = {library.node_name(), ports.listed(true, false) + " -> " + ports.listed(false)};
  if (reports.empty()) {
    line.cells.push_back("no output port to evaluate");
    return line;
  }
  std::vector<std::string> results;
  for (const EvaluationReport& report : reports) {
    const std::string result = demo_result(report);
    results.push_back(reports.size() > 1 ? report.port_name + ": " + result : result);
    line.faults.insert(line.faults.end(), report.faults.begin(), report.faults.end());
  }
  line.cells.push_back(join(results, "; "));
  return line;
}

void print_demo(const std::vector<DemoLine>& lines, std::ostream& out) {
  Rows rows;
  for (const DemoLine& line : lines) rows.push_back(line.cells);
  const std::vector<std::string> printed = columns(rows);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    out << printed[i] << "\n";
    for (const std::string& fault : lines[i].faults) out << "  fault: " << fault << "\n";
  }
}

}  // namespace icehost
