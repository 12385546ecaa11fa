#include "bench_host.h"

#include <map>
#include <memory>
#include <mutex>
#include <variant>

namespace bench {

void register_rows(std::string_view node, std::initializer_list<int> sizes, const RowBenchmark& run,
                   const RowWanted& wanted, benchmark::TimeUnit unit) {
  constexpr std::pair<Row, const char*> rows[] = {
      {Row::node, "node"}, {Row::ideal, "ideal"}, {Row::literal, "literal"}};
  for (int size : sizes)
    for (const auto& [row, name] : rows)
      if (!wanted || wanted(row, size))
        for (ULONG batch : kBatches)
          benchmark::RegisterBenchmark((std::string(node) + "/" + name).c_str(), run, row)
              ->Args({size, batch})
              ->Unit(unit);
}

std::vector<ULONG> checked_elements(ULONG batch) {
  std::vector<ULONG> elements;
  for (ULONG k : {ULONG{0}, ULONG{1}, batch - 1})
    if (k < batch && (elements.empty() || k > elements.back())) elements.push_back(k);
  return elements;
}

icehost::PluginLibrary& plugin(const std::string& node) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<icehost::PluginLibrary>> loaded;
  const std::lock_guard<std::mutex> lock(mutex);
  auto& library = loaded[node];
  if (!library)
    library = std::make_unique<icehost::PluginLibrary>(
        icehost::find_plugin(node, icehost::program_dir()));
  return *library;
}

void time_evaluations(benchmark::State& state, xsi_host::Evaluation& evaluation,
                      xsi_host::EvaluateFunction evaluate, const Check& check, double units,
                      const char* per_unit) {
  const xsi_host::CallResult first = evaluation.run(evaluate);
  std::string error;
  if (first.status != XSI::CStatus::OK) error = "the call failed";
  if (!first.faults.empty()) error = first.faults.front();
  if (error.empty()) error = check(evaluation);
  if (!error.empty()) {
    state.SkipWithError(error.c_str());
    for (auto _ : state) {
    }
    return;
  }
  for (auto _ : state) {
    xsi_host::CallResult result = evaluation.run(evaluate);
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(
      static_cast<std::int64_t>(static_cast<double>(state.iterations()) * units));
  state.counters[per_unit] = benchmark::Counter(
      units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void time_row(benchmark::State& state, const Callbacks& callbacks, Row row, const Holds& holds) {
  const ULONG batch = batch_of(state);
  const std::string node(callbacks.node);
  xsi_host::Evaluation evaluation;
  set_up(evaluation, plugin(node).node(), node, size_of(state), batch);
  if (callbacks.mode >= 0)
    for (ULONG k = 0; k < batch; ++k) evaluation.port(2)->set_integer(k, callbacks.mode);
  const xsi_host::EvaluateFunction evaluate = row == Row::node    ? plugin(node).evaluate()
                                              : row == Row::ideal ? callbacks.ideal
                                                                  : callbacks.literal;
  const Check check = [&node, &holds, batch](xsi_host::Evaluation& e) -> std::string {
    for (ULONG k : checked_elements(batch))
      if (!holds(e, node, k)) return "element " + std::to_string(k) + " is not the expected result";
    return {};
  };
  time_evaluations(state, evaluation, evaluate, check, batch, "per_element");
}

void register_node_rows(const Callbacks& callbacks, std::initializer_list<int> sizes,
                        const Holds& holds) {
  const bool literal = callbacks.literal != nullptr;
  register_rows(
      callbacks.name.empty() ? callbacks.node : callbacks.name, sizes,
      [&callbacks, holds](benchmark::State& state, Row row) {
        time_row(state, callbacks, row, holds);
      },
      [literal](Row row, int) { return row != Row::literal || literal; });
}

std::vector<std::wstring> texts_of(xsi_host::PortData& port, ULONG k) {
  std::vector<std::wstring> texts;
  for (const xsi_host::Value& value : port.items(k)) {
    const auto* text = std::get_if<std::wstring>(&value);
    texts.push_back(text ? *text : L"");
  }
  return texts;
}

}  // namespace bench
