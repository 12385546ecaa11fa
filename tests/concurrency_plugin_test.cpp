// The host evaluates one node on many element sets at once, from several threads. Every plug-in
// is loaded once; eight threads then evaluate them all at the same time, each on contexts of its
// own (different texts and numbers, element counts, index sets of every form, constant flags),
// over and over, alternately against the ordinary and the unforgiving stand-in host. Every call
// must write exactly what the same evaluation wrote when run alone, in either host.
#include <bit>
#include <cstdint>
#include <latch>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "evaluation_setup.h"
#include "plugin_fixture.h"

namespace {

using XSI::ULONG;
using xsi_host::Value;

constexpr int kThreads = 8;
constexpr int kContextsPerNode = 16;
constexpr int kRepeats = 20;
constexpr std::uint32_t kSeed = 20240707;

const char* const kNodes[] = {
    "kestrune",   "palvane",      "dromlet",      "ocherin",    "vireth",      "tamsel",
    "textlength", "textfind",     "textreplace",  "textslice",  "textjoin",    "textnumber",
    "regexmatch", "regexextract", "regexreplace", "regexsplit", "regexfindall"};

// One evaluation context: the inputs of every element, the index set, the element count.
struct Context {
  std::size_t node = 0;  // into kNodes
  ULONG elements = 0;
  icehost::IndexChoice index;
  struct Input {
    ULONG id = 0;
    bool constant = false;
    std::vector<std::vector<Value>> elements;  // the values (items) of each element
  };
  std::vector<Input> inputs;
};

// Characters that matter to the nodes: the default delimiters, digits and number syntax, white
// space, NUL, a character below 256 beyond ASCII, and characters beyond one byte.
const std::wstring kAlphabet =
    std::wstring(L"ab,;,;0123456789.-+e inf\u00e9\u2192\U0001F600") + std::wstring(1, L'\0');

std::wstring random_text(std::mt19937& random, std::size_t longest) {
  std::wstring text(std::uniform_int_distribution<std::size_t>(0, longest)(random), L' ');
  for (wchar_t& c : text)
    c = kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(random)];
  return text;
}

Value random_value(std::mt19937& random, const xsi_host::PortRecord& port) {
  switch (port.data_type) {
    case XSI::siICENodeDataString: {
      // A short default (a delimiter, a sub-text) gets short texts, so that they occur.
      const auto* fallback = std::get_if<std::wstring>(&port.default_value);
      return random_text(random, fallback && fallback->size() <= 10 ? 2 : 60);
    }
    case XSI::siICENodeDataBool:
      return random() % 2 == 0;
    case XSI::siICENodeDataLong:
      return static_cast<std::int32_t>(random());
    default:
      return std::bit_cast<float>(static_cast<std::uint32_t>(random()));
  }
}

Context random_context(std::mt19937& random, std::size_t node, const xsi_host::NodeRecord& record) {
  Context context;
  context.node = node;
  const ULONG counts[] = {0, 1, 7, 64, 300};
  context.elements = counts[random() % std::size(counts)];
  auto element = [&] { return static_cast<ULONG>(random() % context.elements); };
  icehost::IndexChoice& index = context.index;
  index.form = static_cast<icehost::IndexChoice::Form>(random() % 3);
  if (index.form == icehost::IndexChoice::Form::range) {
    index.range_count = context.elements == 0 ? 0 : element() + 1;
  } else if (index.form == icehost::IndexChoice::Form::bits) {
    index.bits.resize(context.elements == 0 ? 0 : element() + 1);
    for (std::size_t i = 0; i < index.bits.size(); ++i) index.bits[i] = random() % 3 != 0;
  } else {
    index.list.resize(random() % (context.elements + 2));
    for (ULONG& entry : index.list)
      entry = context.elements == 0 || random() % 5 == 0 ? XSI::kNotFound : element();
  }
  for (const xsi_host::PortRecord& port : record.ports) {
    if (!port.is_input) continue;
    Context::Input input{
        port.id, port.structure == XSI::siICENodeStructureArray && random() % 4 == 0, {}};
    input.elements.resize(context.elements);
    for (auto& values : input.elements) {
      const std::size_t items = port.structure == XSI::siICENodeStructureArray ? random() % 6 : 1;
      for (std::size_t j = 0; j < items; ++j) values.push_back(random_value(random, port));
    }
    context.inputs.push_back(std::move(input));
  }
  return context;
}

void prepare(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& node,
             const Context& context) {
  icehost::declare_ports(evaluation, node, context.elements);
  for (const Context::Input& input : context.inputs) {
    xsi_host::PortData& port = *evaluation.port(input.id);
    port.constant = input.constant;
    for (ULONG k = 0; k < context.elements; ++k) icehost::store(port, k, input.elements[k]);
  }
  context.index.apply(evaluation, context.elements);
}

// Everything a call left in the output: per element whether it was written, and each item's
// value (floats by their bits, so that NaN equals itself).
std::vector<std::string> outcome(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& node,
                                 const xsi_host::CallResult& result) {
  std::vector<std::string> lines{"status " + std::to_string(result.status)};
  for (const std::string& fault : result.faults) lines.push_back("fault " + fault);
  for (const xsi_host::PortRecord& record : node.ports) {
    if (record.is_input) continue;
    xsi_host::PortData& port = *evaluation.port(record.id);
    for (ULONG k = 0; k < port.element_count(); ++k) {
      std::string line = std::to_string(k) + (port.written(k) ? " written:" : " untouched:");
      const std::vector<Value> items = record.structure == XSI::siICENodeStructureArray
                                           ? port.items(k)
                                           : std::vector<Value>{port.value(k)};
      for (const Value& item : items) {
        line += ' ';
        if (const auto* text = std::get_if<std::wstring>(&item))
          for (wchar_t c : *text) line += std::to_string(static_cast<std::uint32_t>(c)) + '.';
        else if (const auto* real = std::get_if<float>(&item))
          line += std::to_string(std::bit_cast<std::uint32_t>(*real));
        else if (const auto* integer = std::get_if<std::int32_t>(&item))
          line += std::to_string(*integer);
      }
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

TEST(Concurrency, EightThreadsGetWhatEachEvaluationGivesAlone) {
  std::vector<std::unique_ptr<icehost::PluginLibrary>> libraries;
  for (const char* node : kNodes)
    libraries.push_back(std::make_unique<icehost::PluginLibrary>(tests::plugin_path(node)));

  std::mt19937 random(kSeed);
  std::vector<Context> contexts;
  std::vector<std::vector<std::string>> alone;
  for (std::size_t node = 0; node < libraries.size(); ++node) {
    for (int i = 0; i < kContextsPerNode; ++i) {
      contexts.push_back(random_context(random, node, libraries[node]->node()));
      xsi_host::Evaluation evaluation;
      prepare(evaluation, libraries[node]->node(), contexts.back());
      const xsi_host::CallResult result = evaluation.run(libraries[node]->evaluate());
      ASSERT_EQ(result.status, XSI::CStatus::OK) << kNodes[node];
      ASSERT_TRUE(result.faults.empty()) << kNodes[node] << ": " << result.faults.front();
      alone.push_back(outcome(evaluation, libraries[node]->node(), result));
      evaluation.set_strict(true);
      const xsi_host::CallResult strict = evaluation.run(libraries[node]->evaluate());
      ASSERT_EQ(outcome(evaluation, libraries[node]->node(), strict), alone.back())
          << kNodes[node] << " context " << contexts.size() - 1 << " in the strict host";
    }
  }

  // Thread t takes every kThreads-th context, so the threads mix nodes and never share one.
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::string> first_mismatch(kThreads);
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<std::unique_ptr<xsi_host::Evaluation>> mine;
      for (std::size_t c = t; c < contexts.size(); c += kThreads) {
        mine.push_back(std::make_unique<xsi_host::Evaluation>());
        prepare(*mine.back(), libraries[contexts[c].node]->node(), contexts[c]);
      }
      start.arrive_and_wait();
      for (int repeat = 0; repeat < kRepeats; ++repeat) {
        std::size_t c = t;
        for (auto& evaluation : mine) {
          const icehost::PluginLibrary& library = *libraries[contexts[c].node];
          evaluation->set_strict(repeat % 2 == 1);
          const xsi_host::CallResult result = evaluation->run(library.evaluate());
          if (outcome(*evaluation, library.node(), result) != alone[c] && mismatches[t]++ == 0)
            first_mismatch[t] = std::string(kNodes[contexts[c].node]) + " context " +
                                std::to_string(c) + ", repeat " + std::to_string(repeat);
          c += kThreads;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(mismatches[t], 0) << "thread " << t << ": first at " << first_mismatch[t];
}

}  // namespace
