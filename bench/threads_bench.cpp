// Throughput of the host evaluating one node on many batches at once: 1,000,000 elements in
// batches of 10,000, shared evenly among threads, each thread with its own evaluation (its own
// buffers) of palvane at its defaults. One iteration evaluates the whole million and is timed
// by the wall clock from the start of the first thread to the end of the last, so the time per
// iteration compares directly between thread counts.
#include <memory>
#include <thread>
#include <vector>

#include "bench_host.h"
#include "evaluation_setup.h"

namespace bench {
namespace {

constexpr ULONG kTotal = 1'000'000;

void palvane_threads(benchmark::State& state) {
  icehost::PluginLibrary& library = plugin("palvane");
  const auto threads = static_cast<ULONG>(state.range(0));
  const ULONG batches = kTotal / kLargeBatch / threads;
  std::vector<std::unique_ptr<xsi_host::Evaluation>> evaluations;
  for (ULONG t = 0; t < threads; ++t) {
    evaluations.push_back(std::make_unique<xsi_host::Evaluation>());
    icehost::declare_ports(*evaluations.back(), library.node(), kLargeBatch);
    const auto first = evaluations.back()->run(library.evaluate());
    if (first.status != XSI::CStatus::OK || !first.faults.empty()) {
      state.SkipWithError("the first call failed or faulted");
      for (auto _ : state) {
      }
      return;
    }
  }
  for (auto _ : state) {
    std::vector<std::thread> workers;
    for (ULONG t = 0; t < threads; ++t) {
      workers.emplace_back([&, t] {
        for (ULONG b = 0; b < batches; ++b) {
          xsi_host::CallResult result = evaluations[t]->run(library.evaluate());
          benchmark::DoNotOptimize(result);
        }
      });
    }
    for (std::thread& worker : workers) worker.join();
  }
  state.counters["elements_per_second"] =
      benchmark::Counter(static_cast<double>(batches * threads * kLargeBatch),
                         benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(palvane_threads)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
