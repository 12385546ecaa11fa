#include "case_check.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <variant>

#include "json.h"
#include "report_json.h"
#include "type_names.h"
#include "usage_error.h"

namespace icehost {
namespace {

using XSI::ULONG;
using xsi_host::Value;

bool same_values(const std::vector<Value>& wanted, const std::vector<Value>& came) {
  return wanted.size() == came.size() &&
         std::equal(wanted.begin(), wanted.end(), came.begin(), same_value);
}

}  // namespace

std::vector<IndexChoice> case_index_sets(ULONG element_count) {
  IndexChoice range;
  range.range_count = element_count;
  IndexChoice list;
  list.form = IndexChoice::Form::list;
  for (ULONG k = element_count; k-- > 0;)
    if (k % 2 == 0) list.list.push_back(k);
  list.list.insert(list.list.begin() + (list.list.empty() ? 0 : 1), XSI::kNotFound);
  IndexChoice bits;
  bits.form = IndexChoice::Form::bits;
  for (ULONG k = 0; k < element_count; ++k) bits.bits.push_back(k % 2 == 1);
  return {range, list, bits};
}

std::string index_text(const IndexChoice& index) {
  switch (index.form) {
    case IndexChoice::Form::range:
      return "range:" + (index.range_count ? std::to_string(*index.range_count) : "N");
    case IndexChoice::Form::list: {
      std::vector<std::string> entries;
      for (const ULONG entry : index.list)
        entries.push_back(entry == XSI::kNotFound ? "-" : std::to_string(entry));
      return "list:" + join(entries, ",");
    }
    case IndexChoice::Form::bits: {
      std::string bits = "bits:";
      for (const bool bit : index.bits) bits += bit ? '1' : '0';
      return bits;
    }
  }
  return "";
}

bool same_value(const Value& wanted, const Value& came) {
  const auto* a = std::get_if<float>(&wanted);
  const auto* b = std::get_if<float>(&came);
  if (a && b)
    return (std::isnan(*a) && std::isnan(*b)) || (*a == *b && std::signbit(*a) == std::signbit(*b));
  return wanted == came;
}

std::vector<std::string> check_case(const PluginLibrary& library, const Case& c,
                                    const std::string& where) {
  std::vector<std::string> failures;
  const ULONG elements = c.plan.element_count;
  const bool array = c.plan.pulled->structure == XSI::siICENodeStructureArray;
  // Values as eval --json prints them.
  const auto text = [array](const std::vector<Value>& values) {
    return json_text(values_json(values, array));
  };
  EvaluationPlan call = c.plan;
  for (const IndexChoice& index : case_index_sets(elements)) {
    for (const bool strict : {false, true}) {
      call.index = index;
      call.strict_host = strict;
      const std::string at =
          where + " " + index_text(index) + (strict ? " strict host: " : " ordinary host: ");
      const EvaluationReport report = evaluate_call(library, call);
      if (report.status != XSI::CStatus::OK)
        failures.push_back(at + "status " + std::to_string(report.status) + " (" +
                           status_name(report.status) + "), wanted 0 (success)");
      for (const std::string& fault : report.faults) failures.push_back(at + "fault: " + fault);
      std::map<ULONG, const std::vector<Value>*> written;
      for (const WrittenElement& element : report.written)
        written[element.element] = &element.values;
      for (ULONG k = 0; k < elements; ++k) {
        const auto wanted = c.want.find(k);
        const bool due = wanted != c.want.end() && (!c.every_element || index.holds(k, elements));
        const auto came = written.find(k);
        const std::string element = at + "element " + std::to_string(k) + ": ";
        if (due && came == written.end())
          failures.push_back(element + "wanted " + text(wanted->second) + ", came nothing");
        else if (due && !same_values(wanted->second, *came->second))
          failures.push_back(element + "wanted " + text(wanted->second) + ", came " +
                             text(*came->second));
        else if (!due && came != written.end())
          failures.push_back(element + (c.every_element ? "not selected, " : "") +
                             "wanted nothing written, came " + text(*came->second));
      }
    }
  }
  return failures;
}

}  // namespace icehost
