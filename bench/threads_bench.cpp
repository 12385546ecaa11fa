// Throughput of the host evaluating one node on many batches at once: 1,000,000 elements in
// batches of 10,000, shared among the benchmark's threads, each thread with its own evaluation
// (its own buffers) of palvane at its defaults. Timed by the wall clock.
#include "bench_host.h"

namespace bench {
namespace {

constexpr ULONG kTotal = 1'000'000;

void palvane_threads(benchmark::State& state) {
  icehost::PluginLibrary& library = plugin("palvane");
  xsi_host::Evaluation evaluation;
  icehost::declare_ports(evaluation, library.node(), kElements);
  const ULONG batches = kTotal / kElements / static_cast<ULONG>(state.threads());
  const auto first = evaluation.run(library.evaluate());
  if (first.status != XSI::CStatus::OK || !first.faults.empty()) {
    state.SkipWithError("the first call failed or faulted");
    for (auto _ : state) {
    }
    return;
  }
  for (auto _ : state) {
    for (ULONG b = 0; b < batches; ++b) {
      xsi_host::CallResult result = evaluation.run(library.evaluate());
      benchmark::DoNotOptimize(result);
    }
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * batches * kElements);
}

BENCHMARK(palvane_threads)->Threads(1)->Threads(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
