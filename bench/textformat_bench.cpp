// textformat: each element's format filled from its values. Beside the node, the ideal: a
// callback that makes the same host calls element by element (the element's format and values
// read, its result written) and hands the format and the values to {fmt} directly, formatting
// into one buffer kept for the whole call. It reads the format as {fmt} does, which for the
// formats measured here is as Python does, so both rows must write the same texts.
// Sizes: the node's defaults (0: "{:.2f}" of one 0), and N fields of four kinds the two read
// alike over N values, the format the same in every element and the values each element's own
// (node_inputs.h).
#include <fmt/args.h>
#include <fmt/format.h>
#include <fmt/xchar.h>

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "bench_host.h"

namespace bench {
namespace {

using xsi_host::Evaluation;

using Arguments = fmt::dynamic_format_arg_store<fmt::wformat_context>;

void format_into(fmt::basic_memory_buffer<wchar_t>& buffer, Arguments& arguments,
                 std::wstring_view format, const float* values, ULONG count) {
  arguments.clear();
  for (ULONG i = 0; i < count; ++i) arguments.push_back(values[i]);
  buffer.clear();
  fmt::vformat_to(std::back_inserter(buffer), format, arguments);
}

XSI::CStatus ideal_textformat(XSI::ICENodeContext& c) {
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray format;
  XSI::CBaseDataArray2D values;
  c.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  c.AcquireInputDataArray(format, XSI::siICENodeDataString, 0, 0);
  c.AcquireInputDataArray2D(values, XSI::siICENodeDataFloat, 1, 0);
  XSI::CIndexSet set;
  c.AcquireIndexSet(set);
  fmt::basic_memory_buffer<wchar_t> buffer;
  Arguments arguments;
  const ULONG elements = set.GetCount();
  for (ULONG k = 0; k < elements; ++k) {
    const wchar_t* text = nullptr;
    ULONG length = 0;
    c.GetStringData(format, k, text, length);
    const void* items = nullptr;
    ULONG count = 0;
    ULONG item_size = 0;
    c.GetSubArray(values, k, items, count, item_size);
    format_into(buffer, arguments, {text, length}, static_cast<const float*>(items), count);
    wchar_t* unused = nullptr;
    const auto size = static_cast<ULONG>(buffer.size());
    c.ResizeStringData(out, k, size, unused);
    c.SetStringData(out, k, buffer.data(), size);
  }
  c.ReleaseIndexSet(set);
  c.ReleaseDataArray(values);
  c.ReleaseDataArray(format);
  c.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

void textformat(benchmark::State& state, Row row) {
  const ULONG batch = batch_of(state);
  Evaluation evaluation;
  set_up(evaluation, plugin("textformat").node(), "textformat", size_of(state), batch);
  const Check check = [batch](Evaluation& e) -> std::string {
    fmt::basic_memory_buffer<wchar_t> want;
    Arguments arguments;
    for (ULONG k : checked_elements(batch)) {
      std::vector<float> values;
      for (const xsi_host::Value& item : e.port(1)->items(k))
        values.push_back(std::get<float>(item));
      const std::wstring format = std::get<std::wstring>(e.port(0)->value(k));
      format_into(want, arguments, format, values.data(), static_cast<ULONG>(values.size()));
      if (std::get<std::wstring>(e.port(200)->value(k)) != std::wstring(want.data(), want.size()))
        return "element " + std::to_string(k) + " is not what {fmt} writes";
    }
    return {};
  };
  time_evaluations(state, evaluation,
                   row == Row::node ? plugin("textformat").evaluate() : ideal_textformat, check,
                   batch, "per_element");
}

const bool registered = [] {
  register_rows("textformat", {0, 8}, textformat, [](Row row, int) { return row != Row::literal; });
  return true;
}();

}  // namespace
}  // namespace bench
