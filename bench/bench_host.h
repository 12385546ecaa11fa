// What every benchmark shares: the built plug-ins loaded into this process through the embedded
// host, evaluations of their ports over one batch of elements, and the timed loop.
//
// Each benchmark builds one evaluation and runs it once to check what it writes; the timed loop
// then runs the same evaluation again and again, as a host reuses its buffers from one batch to
// the next.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <string_view>

#include "evaluation_setup.h"
#include "plugin_library.h"
#include "xsi_host.h"

namespace bench {

using XSI::ULONG;

// One batch of elements, evaluated over the range index set.
inline constexpr ULONG kElements = 10'000;

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

// The texts of element k of a text output as one wide text each.
std::vector<std::wstring> texts_of(xsi_host::PortData& port, ULONG k);

// The narrow form of a wide text for an error message, '?' beyond ASCII.
std::string narrow(std::wstring_view text);

}  // namespace bench
