// What every benchmark shares: the built plug-ins loaded into this process through the embedded
// host, evaluations of their ports over one batch of elements, the timed loop, and the naming of
// the benchmarks NODE/ROW/SIZE/BATCH.
//
// Each benchmark builds one evaluation and runs it once to check what it writes; the timed loop
// then runs the same evaluation again and again, as a host reuses its buffers from one batch to
// the next.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "node_inputs.h"
#include "plugin_library.h"
#include "xsi_host.h"

namespace bench {

// The batches every node is measured on, evaluated over the range index set: one element per
// call, where what a node does once per call is the whole cost, and many.
inline constexpr ULONG kBatches[] = {1, 10'000};
inline constexpr ULONG kLargeBatch = 10'000;

// The three ways of doing a node's job measured side by side: the built plug-in, the fastest
// callback this host allows, and the job done the plain way.
enum class Row { node, ideal, literal };

// Registers run(state, row) for every row, size and batch as NODE/ROW/SIZE/BATCH (state.range(0)
// the size, state.range(1) the batch), but for the rows and sizes that wanted refuses.
using RowBenchmark = std::function<void(benchmark::State&, Row)>;
using RowWanted = std::function<bool(Row, int size)>;
void register_rows(std::string_view node, std::initializer_list<int> sizes, const RowBenchmark& run,
                   const RowWanted& wanted = {}, benchmark::TimeUnit unit = benchmark::kNanosecond);

inline int size_of(const benchmark::State& state) { return static_cast<int>(state.range(0)); }
inline ULONG batch_of(const benchmark::State& state) { return static_cast<ULONG>(state.range(1)); }

// The elements whose output a benchmark checks: the first, the second and the last, those of
// them that the batch has.
std::vector<ULONG> checked_elements(ULONG batch);

// The built plug-in of a node, loaded on first use and kept for the whole run. Safe to call
// from several benchmark threads at once.
icehost::PluginLibrary& plugin(const std::string& node);

// Gives an error to report, or an empty text when the evaluation's output is what it must be.
using Check = std::function<std::string(xsi_host::Evaluation&)>;

// Runs evaluate once on evaluation and checks the call and its output: on a failed status, a
// fault, or a failed check, the benchmark is skipped with the reason. Then times evaluate on
// the same evaluation and reports the time per unit (per element or per item) in the counter
// named per_unit, units being how many an evaluation processes.
void time_evaluations(benchmark::State& state, xsi_host::Evaluation& evaluation,
                      xsi_host::EvaluateFunction evaluate, const Check& check, double units,
                      const char* per_unit);

// The data types of the ports the ideal callbacks acquire.
inline constexpr ULONG kText = XSI::siICENodeDataString;
inline constexpr ULONG kInteger = XSI::siICENodeDataLong;
inline constexpr ULONG kFloat = XSI::siICENodeDataFloat;
inline constexpr ULONG kBoolean = XSI::siICENodeDataBool;

// The host calls of the ideal callbacks: element k of a one-value text array, read; and of a
// text output, written.
inline std::wstring_view text_at(XSI::ICENodeContext& context, XSI::CBaseDataArray& array,
                                 ULONG k) {
  const wchar_t* data = nullptr;
  ULONG length = 0;
  context.GetStringData(array, k, data, length);
  return {data, length};
}
inline void write_text(XSI::ICENodeContext& context, XSI::CBaseDataArray& out, ULONG k,
                       std::wstring_view text) {
  wchar_t* buffer = nullptr;
  const auto length = static_cast<ULONG>(text.size());
  context.ResizeStringData(out, k, length, buffer);
  context.SetStringData(out, k, text.data(), length);
}

// The output (one value, or an array per element for Output CBaseDataArray2D) and the inputs,
// in port order (an array per element where the pair says so), acquired; the elements of the
// range index set visited; everything released in reverse order.
template <class Output = XSI::CBaseDataArray, std::size_t Inputs, class Visit>
XSI::CStatus each_element(XSI::ICENodeContext& context, ULONG output_type,
                          const std::pair<ULONG, bool> (&inputs)[Inputs], Visit&& visit) {
  Output out;
  XSI::CBaseDataArray one[Inputs];
  XSI::CBaseDataArray2D arrays[Inputs];
  if constexpr (std::is_same_v<Output, XSI::CBaseDataArray>)
    context.AcquireOutputDataArray(out, output_type);
  else
    context.AcquireOutputDataArray2D(out, output_type);
  for (ULONG i = 0; i < Inputs; ++i)
    if (inputs[i].second)
      context.AcquireInputDataArray2D(arrays[i], inputs[i].first, i, 0);
    else
      context.AcquireInputDataArray(one[i], inputs[i].first, i, 0);
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  const ULONG elements = set.GetCount();
  for (ULONG k = 0; k < elements; ++k) visit(out, one, arrays, k);
  context.ReleaseIndexSet(set);
  for (ULONG i = Inputs; i-- > 0;)
    if (inputs[i].second)
      context.ReleaseDataArray(arrays[i]);
    else
      context.ReleaseDataArray(one[i]);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

// A node's job done beside the plug-in: the ideal callback, and the literal (null where the
// node has none); the rows' name where it is not the node's, and a value for input 2 in every
// element (textmatch's Mode), or -1.
struct Callbacks {
  std::string_view node;
  xsi_host::EvaluateFunction ideal;
  xsi_host::EvaluateFunction literal;
  std::string_view name = {};
  std::int32_t mode = -1;
};

// Whether element k of the node's output (port 200) holds what the node must give.
using Holds = std::function<bool(xsi_host::Evaluation&, std::string_view node, ULONG k)>;

// Times one row of a node on its inputs at the state's size and batch (node_inputs.h), each
// element checked_elements names first checked by holds.
void time_row(benchmark::State& state, const Callbacks& callbacks, Row row, const Holds& holds);

// Registers time_row for every row of the node at sizes, the literal only where there is one.
void register_node_rows(const Callbacks& callbacks, std::initializer_list<int> sizes,
                        const Holds& holds);

// The texts of element k of a text output as one wide text each.
std::vector<std::wstring> texts_of(xsi_host::PortData& port, ULONG k);

}  // namespace bench
