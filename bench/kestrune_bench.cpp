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

// N == 0: the node's default text and sub-text; otherwise "a" N times, "b" N times, "ab".
void kestrune(benchmark::State& state, Row row) {
  const ULONG batch = batch_of(state);
  Evaluation evaluation;
  set_up(evaluation, plugin("kestrune").node(), "kestrune", size_of(state), batch);
  const auto text = std::get<std::wstring>(evaluation.port(0)->value(0));
  const auto sub = std::get<std::wstring>(evaluation.port(1)->value(0));
  // Every occurrence joins the next, so nothing is left of "a"s then "b"s; the quadratic removal
  // settles the default text.
  const std::wstring expected = size_of(state) != 0 ? std::wstring() : remove_repeatedly(text, sub);
  ideal_result = expected;
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin("kestrune").evaluate()
                                              : row == Row::ideal ? ideal_kestrune
                                                                  : literal_kestrune;
  const Check check = [&expected, batch](Evaluation& e) -> std::string {
    for (ULONG k : checked_elements(batch))
      if (e.port(200)->value(k) != xsi_host::Value(expected))
        return "element " + std::to_string(k) + " is not the expected result";
    return {};
  };
  time_evaluations(state, evaluation, evaluate, check, batch, "per_element");
}

// The quadratic literal is left out at N = 100,000, where one call takes over half a minute.
const bool registered = [] {
  register_rows(
      "kestrune", {0, 1'000, 10'000, 100'000}, kestrune,
      [](Row row, int n) { return row != Row::literal || n <= 10'000; }, benchmark::kMicrosecond);
  return true;
}();

}  // namespace
}  // namespace bench
