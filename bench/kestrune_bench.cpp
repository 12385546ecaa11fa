// kestrune with RemoveAll on: a sub-text removed from element 0's text until none is left, the
// result then given to every element. Beside the node:
//  * the ideal: per element the result, computed before the walk, sized and set;
//  * the literal: the removal repeated from the start of the text (find the first occurrence,
//    erase it, search again from the start), quadratic in the text's length; then the same
//    writes as the node.
// Texts: the node's default, and "a" N times then "b" N times with sub-text "ab", where every
// removal joins a new occurrence.
#include <string>

#include "bench_host.h"

namespace bench {
namespace {

using xsi_host::Evaluation;

std::wstring remove_repeatedly(std::wstring text, std::wstring_view sub) {
  for (std::size_t at = text.find(sub); at != std::wstring::npos; at = text.find(sub))
    text.erase(at, sub.size());
  return text;
}

// The result the ideal callback writes: set by its benchmark before the first call.
std::wstring ideal_result;

void write_each(XSI::ICENodeContext& context, XSI::CBaseDataArray& out, std::wstring_view result) {
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const auto length = static_cast<ULONG>(result.size());
  const ULONG elements = set.GetCount();
  for (ULONG k = 0; k < elements; ++k) {
    wchar_t* buffer = nullptr;
    context.ResizeStringData(out, k, length, buffer);
    context.SetStringData(out, k, result.data(), length);
  }
  context.ReleaseIndexSet(set);
}

XSI::CStatus ideal_kestrune(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray out;
  context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  write_each(context, out, ideal_result);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

XSI::CStatus literal_kestrune(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray text_array;
  XSI::CBaseDataArray sub_array;
  context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  context.AcquireInputDataArray(text_array, XSI::siICENodeDataString, 0, 0);
  context.AcquireInputDataArray(sub_array, XSI::siICENodeDataString, 1, 0);
  const wchar_t* text = nullptr;
  ULONG text_length = 0;
  const wchar_t* sub = nullptr;
  ULONG sub_length = 0;
  context.GetStringData(text_array, 0, text, text_length);
  context.GetStringData(sub_array, 0, sub, sub_length);
  const std::wstring result =
      remove_repeatedly(std::wstring(text, text_length), std::wstring_view(sub, sub_length));
  write_each(context, out, result);
  context.ReleaseDataArray(sub_array);
  context.ReleaseDataArray(text_array);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

enum class Row { node, ideal, literal };

// n == 0: the node's default text and sub-text; otherwise "a" n times, "b" n times, "ab".
void kestrune(benchmark::State& state, Row row) {
  const auto n = static_cast<std::size_t>(state.range(0));
  Evaluation evaluation;
  icehost::declare_ports(evaluation, plugin("kestrune").node(), kElements);
  // The node and both rows beside it read element 0 alone: the long text goes there only, which
  // spares 8 GB of input at N = 100,000.
  if (n != 0) {
    evaluation.port(0)->set_text(0, std::wstring(n, L'a') + std::wstring(n, L'b'));
    for (ULONG k = 0; k < kElements; ++k) evaluation.port(1)->set_text(k, L"ab");
  }
  for (ULONG k = 0; k < kElements; ++k) evaluation.port(2)->set_boolean(k, true);
  const auto text = std::get<std::wstring>(evaluation.port(0)->value(0));
  const auto sub = std::get<std::wstring>(evaluation.port(1)->value(0));
  // Every occurrence joins the next, so nothing is left of "a"s then "b"s; the quadratic removal
  // settles the default text.
  const std::wstring expected = n != 0 ? std::wstring() : remove_repeatedly(text, sub);
  ideal_result = expected;
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin("kestrune").evaluate()
                                              : row == Row::ideal ? ideal_kestrune
                                                                  : literal_kestrune;
  const Check check = [&expected](Evaluation& e) -> std::string {
    for (ULONG k : {ULONG{0}, ULONG{1}, kElements - 1})
      if (e.port(200)->value(k) != xsi_host::Value(expected))
        return "element " + std::to_string(k) + " is not the expected result";
    return {};
  };
  time_evaluations(state, evaluation, evaluate, check, kElements, "per_element");
}

const bool registered = [] {
  constexpr std::pair<Row, const char*> rows[] = {
      {Row::node, "node"}, {Row::ideal, "ideal"}, {Row::literal, "literal"}};
  for (int n : {0, 1'000, 10'000, 100'000})
    for (const auto& [row, name] : rows)
      if (row != Row::literal || n <= 10'000)
        benchmark::RegisterBenchmark(("kestrune/" + std::string(name)).c_str(), kestrune, row)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
  return true;
}();

}  // namespace
}  // namespace bench
