// One fuzzed evaluation of a real plug-in through the embedded host, run against the ordinary
// and against the unforgiving stand-in host, and the checks every node shares, in both: status
// 0, no misuse recorded by the SDK, the index set acquired only when the walk runs, inputs
// untouched, and exactly the right output elements written, each holding what the target's own
// reference says, every other element still holding its sentinel; and the same results in both.
//
//   void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
//     ... set the inputs through trial.input(id) ...
//     trial.run(/*marker=*/false, [&](ULONG k) { return expected items of element k; });
//   }
//   FUZZ_NODE("tamsel", check)
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "evaluation_setup.h"
#include "fuzz_input.h"
#include "plugin_library.h"

namespace fuzz {

using xsi_host::Value;

// Reports a failed check and stops the run, so that libFuzzer keeps the input that caused it.
[[noreturn]] inline void fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

// A text in printable ASCII, every other character as \x{code}.
inline std::string show_text(std::wstring_view text) {
  std::string out = "\"";
  for (const wchar_t c : text) {
    const auto code = static_cast<std::uint32_t>(c);
    if (code >= 0x20 && code < 0x7F && c != L'\\' && c != L'"') {
      out.push_back(static_cast<char>(code));
    } else {
      char escape[16];
      std::snprintf(escape, sizeof escape, "\\x{%X}", static_cast<unsigned>(code));
      out += escape;
    }
  }
  return out + "\"";
}

inline std::string show(const Value& value) {
  if (const auto* text = std::get_if<std::wstring>(&value)) return show_text(*text);
  if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "true" : "false";
  if (const auto* integer = std::get_if<std::int32_t>(&value)) return std::to_string(*integer);
  if (const auto* number = std::get_if<std::uint32_t>(&value)) return std::to_string(*number) + "u";
  if (const auto* real = std::get_if<float>(&value)) {
    char text[48];
    std::snprintf(text, sizeof text, "%.9g (0x%08X)", static_cast<double>(*real),
                  static_cast<unsigned>(std::bit_cast<std::uint32_t>(*real)));
    return text;
  }
  return "(empty)";
}

inline std::string show(const std::vector<Value>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", " : "") + show(items[i]);
  return out + "]";
}

// Equal values of the same type; floats equal bit for bit, so NaN equals the same NaN.
inline bool same(const Value& a, const Value& b) {
  if (a.index() != b.index()) return false;
  if (const auto* x = std::get_if<float>(&a))
    return std::bit_cast<std::uint32_t>(*x) == std::bit_cast<std::uint32_t>(std::get<float>(b));
  return a == b;
}

inline bool same(const std::vector<Value>& a, const std::vector<Value>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!same(a[i], b[i])) return false;
  return true;
}

inline bool same(const std::vector<std::vector<Value>>& a,
                 const std::vector<std::vector<Value>>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!same(a[i], b[i])) return false;
  return true;
}

// The plug-in under test, loaded once, before the first input, so that the coverage of its
// code counts from the start. It stays loaded for the whole run.
inline icehost::PluginLibrary*& plugin_slot() {
  static icehost::PluginLibrary* library = nullptr;
  return library;
}

inline icehost::PluginLibrary* load(const char* node) {
  try {
    return new icehost::PluginLibrary(icehost::find_plugin(node, icehost::program_dir()));
  } catch (const std::exception& error) {
    fail(std::string("cannot load the plug-in: ") + error.what());
  }
}

inline void load_plugin(const char* node) { plugin_slot() = load(node); }

// A target over several nodes: their plug-ins, loaded as the one of plugin_slot() is, each
// input choosing one; plugins()[i] is the plug-in of the i-th node given to load_plugins.
inline std::vector<std::unique_ptr<icehost::PluginLibrary>>& plugins() {
  static std::vector<std::unique_ptr<icehost::PluginLibrary>> loaded;
  return loaded;
}

template <std::size_t N>
void load_plugins(const char* const (&nodes)[N]) {
  for (const char* node : nodes) plugins().emplace_back(load(node));
}

inline icehost::PluginLibrary& plugin() {
  if (!plugin_slot()) fail("LLVMFuzzerInitialize did not load the plug-in");
  return *plugin_slot();
}

class Trial {
 public:
  // Declares every port of the node with an element count and constant flag of its own, and
  // chooses the output checked (one of a node's several), the pulled port (mostly that output)
  // and the index set: for the target's one plug-in, or for library.
  explicit Trial(FuzzInput& input) : Trial(input, plugin()) {}
  Trial(FuzzInput& input, icehost::PluginLibrary& library) : library_(library) {
    const xsi_host::NodeRecord& node = library_.node();
    ULONG bound = 0;
    std::vector<ULONG> input_ids;
    for (const xsi_host::PortRecord& record : node.ports) {
      const ULONG count = input.element_count();
      bound = std::max(bound, count);
      xsi_host::PortData& port =
          record.is_input
              ? evaluation_.add_input(record.id, record.data_type, record.structure, count)
              : evaluation_.add_output(record.id, record.data_type, record.structure, count);
      if (record.structure == XSI::siICENodeStructureArray) port.constant = input.flag();
      if (record.is_input) {
        input_ids.push_back(record.id);
      } else {
        outputs_.push_back(&port);
      }
    }
    if (outputs_.empty()) fail("the node registered no output port");
    output_ = outputs_[outputs_.size() > 1 ? input.choice(outputs_.size()) : 0];
    input_count_ = input_ids.size();
    pulled_ = input.pulled_port(output_->id(), input_ids);
    // Any id the input picks that is another output's is taken as the one checked.
    for (const xsi_host::PortData* other : outputs_)
      if (other->id() == pulled_) pulled_ = output_->id();
    evaluation_.pull(pulled_);
    index_set_ = input.index_set(bound);
    bound_ = bound;
    index_set_.apply(evaluation_, bound);
  }

  xsi_host::PortData& input(ULONG id) {
    xsi_host::PortData* port = evaluation_.port(id);
    if (!port || std::ranges::find(outputs_, port) != outputs_.end())
      fail("no input port " + std::to_string(id));
    return *port;
  }

  // The id of the output checked, whose results expected gives.
  ULONG output_id() const { return output_->id(); }

  // A text input: element 0 holds text, every other element a decoy that changes the result
  // of a node that reads past element 0.
  void set_text(ULONG id, std::wstring_view text) {
    xsi_host::PortData& port = input(id);
    port.set_text(0, text);
    for (ULONG k = 1; k < port.element_count(); ++k)
      port.set_text(k, L"9,8;7 decoy " + std::to_wstring(k));
  }

  // A boolean input: element 0 holds value, every other element its opposite.
  void set_boolean(ULONG id, bool value) {
    xsi_host::PortData& port = input(id);
    for (ULONG k = 0; k < port.element_count(); ++k) port.set_boolean(k, k == 0 ? value : !value);
  }

  // Element 0 of a one-value-per-element input as the node sees it: the value stored, or the
  // empty value of an input with no elements.
  std::wstring text(ULONG id) {
    const xsi_host::PortData& port = input(id);
    return port.element_count() > 0 ? std::get<std::wstring>(port.value(0)) : std::wstring();
  }
  bool boolean(ULONG id) {
    const xsi_host::PortData& port = input(id);
    return port.element_count() > 0 && std::get<bool>(port.value(0));
  }

  // The items of element k of an array input as the node reads them: none past the count, and
  // item 0 for every item while the constant flag is set.
  std::vector<Value> items(ULONG id, ULONG k) {
    const xsi_host::PortData& port = input(id);
    std::vector<Value> items = port.items(k);
    if (port.constant && !items.empty())
      for (Value& item : items) item = items.front();
    return items;
  }

  // Element k of an input as a node read at each element reads it: element 0 stands for every
  // element while the input's constant flag is set; a one-value input gives its value, or past
  // its count the empty one (an empty text, false, 0); an array input its items, as items()
  // gives them, none past its count.
  Value value_at(ULONG id, ULONG k) {
    const xsi_host::PortData& port = input(id);
    const ULONG at = port.constant ? 0 : k;
    if (at < port.element_count()) return port.value(at);
    switch (port.data_type()) {
      case XSI::siICENodeDataBool:
        return false;
      case XSI::siICENodeDataLong:
        return std::int32_t{0};
      case XSI::siICENodeDataFloat:
        return 0.0f;
      default:
        return std::wstring();
    }
  }
  std::vector<Value> items_at(ULONG id, ULONG k) { return items(id, input(id).constant ? 0 : k); }

  // Evaluates once in each host and checks each call. marker: the node's test fails, so element
  // 0 alone gets the marker. expected(k): the items output element k must hold otherwise (one
  // item for a one-value-per-element output).
  void run(bool marker, const std::function<std::vector<Value>(ULONG)>& expected) {
    evaluation_.set_strict(false);
    const std::vector<std::vector<Value>> ordinary = run_once(marker, expected);
    evaluation_.set_strict(true);
    if (!same(run_once(marker, expected), ordinary))
      fail("the unforgiving host gave other results than the ordinary one");
  }

 private:
  // One call, checked; gives what the output holds after it, element by element, leaving out
  // the slots a constant numeric output leaves as sizing handed them out.
  std::vector<std::vector<Value>> run_once(
      bool marker, const std::function<std::vector<Value>(ULONG)>& expected) {
    for (ULONG k = 0; k < output_->element_count(); ++k) icehost::store(*output_, k, sentinel());
    std::vector<std::vector<std::vector<Value>>> inputs_before;
    for (ULONG id : input_ids()) inputs_before.push_back(all_items(input(id)));

    const xsi_host::CallResult result = evaluation_.run(library_.evaluate());

    if (result.status != XSI::CStatus::OK)
      fail("status " + std::to_string(static_cast<int>(result.status)));
    for (const std::string& fault : result.faults) fail("misuse: " + fault);
    const bool pulled_own = pulled_ == output_->id();
    const std::size_t arrays = 1 + input_count_;
    const std::size_t acquisitions = !pulled_own ? 0 : marker ? arrays : arrays + 1;
    if (result.acquisitions != acquisitions)
      fail(std::to_string(result.acquisitions) + " acquisitions, expected " +
           std::to_string(acquisitions) + (marker ? " (marker)" : ""));

    for (ULONG k = 0; k < output_->element_count(); ++k) {
      const bool due = pulled_own && (marker ? k == 0 : index_set_.holds(k, bound_));
      const std::vector<Value> got = output_->items(k);
      if (!due) {
        if (output_->written(k)) fail("element " + std::to_string(k) + " written, outside the set");
        if (!same(got, sentinel()))
          fail("element " + std::to_string(k) + " changed, outside the set: " + show(got));
        continue;
      }
      if (!output_->written(k)) fail("element " + std::to_string(k) + " not written");
      const std::vector<Value> want = marker ? marker_items() : expected(k);
      if (!holds(got, want))
        fail("element " + std::to_string(k) + " holds " + show(got) + ", expected " + show(want) +
             (output_->constant ? " (constant output)" : ""));
    }

    std::size_t i = 0;
    for (ULONG id : input_ids())
      if (!same(all_items(input(id)), inputs_before[i++]))
        fail("input port " + std::to_string(id) + " changed");
    for (const xsi_host::PortData* other : outputs_)
      for (ULONG k = 0; other != output_ && k < other->element_count(); ++k)
        if (other->written(k))
          fail("output " + std::to_string(other->id()) + " written, not pulled");

    std::vector<std::vector<Value>> outcome = all_items(*output_);
    if (stale_slots())
      for (std::vector<Value>& items : outcome)
        if (items.size() > 1) items.resize(1);
    return outcome;
  }

  std::vector<ULONG> input_ids() const {
    std::vector<ULONG> ids;
    for (const xsi_host::PortRecord& record : library_.node().ports)
      if (record.is_input) ids.push_back(record.id);
    return ids;
  }

  static std::vector<std::vector<Value>> all_items(const xsi_host::PortData& port) {
    std::vector<std::vector<Value>> items;
    for (ULONG k = 0; k < port.element_count(); ++k) items.push_back(port.items(k));
    return items;
  }

  // What a call leaves in output elements it must not write: items no node writes, and more
  // of them than the marker has, so that a partial write shows. A boolean can only be true: a
  // write of false changes it, and any write is recorded.
  std::vector<Value> sentinel() const {
    if (output_->structure() == XSI::siICENodeStructureSingle) {
      switch (output_->data_type()) {
        case XSI::siICENodeDataBool:
          return {true};
        case XSI::siICENodeDataLong:
          return {std::int32_t{-2147483631}};
        case XSI::siICENodeDataFloat:
          return {std::bit_cast<float>(0x7FC05E17u)};
        default:
          return {std::wstring(L"\x2400 unwritten")};
      }
    }
    switch (output_->data_type()) {
      case XSI::siICENodeDataFloat:
        return {std::bit_cast<float>(0x7FC05E17u), -3.25f, 0.0f};
      case XSI::siICENodeDataLong:
        return {std::int32_t{-2147483631}, std::int32_t{4}, std::int32_t{0}};
      default:
        return {std::wstring(L"\x2400 unwritten"), std::wstring()};
    }
  }

  // The marker of a failed test, -1 in the output's own type.
  std::vector<Value> marker_items() const {
    if (output_->structure() == XSI::siICENodeStructureSingle) return {std::wstring(L"-1")};
    if (output_->data_type() == XSI::siICENodeDataFloat) return {-1.0f};
    return {std::int32_t{-1}};
  }

  // Whether an output element holds the items wanted. While a numeric output's constant flag
  // is set, the node writes every item to slot 0, which ends holding the last; the other slots
  // keep whatever sizing the sub-array left in them.
  bool holds(const std::vector<Value>& got, const std::vector<Value>& want) const {
    if (stale_slots())
      return got.size() == want.size() && (want.empty() || same(got.front(), want.back()));
    return same(got, want);
  }

  // Whether the output is numeric, an array per element, with its constant flag set: the node
  // then writes slot 0 alone, and the others hold what sizing handed out, which differs between
  // the hosts.
  bool stale_slots() const {
    return output_->structure() == XSI::siICENodeStructureArray &&
           output_->data_type() != XSI::siICENodeDataString && output_->constant;
  }

  icehost::PluginLibrary& library_;
  xsi_host::Evaluation evaluation_;
  std::vector<xsi_host::PortData*> outputs_;  // in registration order
  xsi_host::PortData* output_ = nullptr;      // the one checked
  std::size_t input_count_ = 0;
  ULONG pulled_ = 0;
  icehost::IndexChoice index_set_;
  ULONG bound_ = 0;
};

// Fills every element of every input port of node, in port order: a one-value port's constant
// flag drawn first (an array port's comes with the trial); then each element a flag, an
// integer(input), a text(input, port), or, for an array port, input.item_count() texts.
template <typename Integer, typename Text>
void fill_inputs(FuzzInput& input, Trial& trial, const xsi_host::NodeRecord& node,
                 Integer&& integer, Text&& text) {
  for (const xsi_host::PortRecord& record : node.ports) {
    if (!record.is_input) continue;
    xsi_host::PortData& port = trial.input(record.id);
    if (record.structure == XSI::siICENodeStructureSingle) port.constant = input.flag();
    for (ULONG k = 0; k < port.element_count(); ++k) {
      if (record.structure == XSI::siICENodeStructureArray) {
        std::vector<std::wstring> items(input.item_count());
        for (std::wstring& item : items) item = text(input, record);
        port.set_texts(k, items);
      } else if (record.data_type == XSI::siICENodeDataBool) {
        port.set_boolean(k, input.flag());
      } else if (record.data_type == XSI::siICENodeDataLong) {
        port.set_integer(k, integer(input));
      } else {
        port.set_text(k, text(input, record));
      }
    }
  }
}

// What a target with nothing to prepare before its first input gives FUZZ_NODES.
inline void nothing_to_prepare() {}

// One input of a target over several nodes (load_plugins): the node it chooses, a pool of
// pool_size texts it draws for the inputs, the inputs set by fill(input, trial, node, pool), and
// each element written checked against expected(node index, trial, k), one value or one per item.
template <typename Fill, typename Expected>
void run_one_of(FuzzInput& input, std::size_t pool_size, Fill fill, Expected expected) {
  const std::size_t node = input.choice(plugins().size());
  icehost::PluginLibrary& library = *plugins()[node];
  Trial trial(input, library);
  std::vector<std::wstring> pool;
  for (std::size_t i = 0; i < pool_size; ++i) pool.push_back(input.text());
  fill(input, trial, library.node(), pool);
  trial.run(false, [&](ULONG k) {
    if constexpr (std::is_same_v<decltype(expected(node, trial, k)), Value>)
      return std::vector<Value>{expected(node, trial, k)};
    else
      return expected(node, trial, k);
  });
}

}  // namespace fuzz

// The two entry points of a fuzz target over several nodes: prepare() run and the nodes'
// plug-ins loaded before the first input, and each input run on one of them by run_one_of. A
// macro, since libFuzzer finds the entry points by their C names.
#define FUZZ_NODES(nodes, prepare, pool_size, fill, expected)                         \
  extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {              \
    prepare();                                                                        \
    fuzz::load_plugins(nodes);                                                        \
    return 0;                                                                         \
  }                                                                                   \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    fuzz::FuzzInput input(data, size);                                                \
    fuzz::run_one_of(input, pool_size, fill, expected);                               \
    return 0;                                                                         \
  }

// The two entry points of a fuzz target over one node: the node's plug-in loaded before the
// first input, and each input decoded into a trial that check(input, trial) sets up and runs.
// A macro, since libFuzzer finds the entry points by their C names.
#define FUZZ_NODE(node, check)                                                        \
  extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {              \
    fuzz::load_plugin(node);                                                          \
    return 0;                                                                         \
  }                                                                                   \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    fuzz::FuzzInput input(data, size);                                                \
    fuzz::Trial trial(input);                                                         \
    check(input, trial);                                                              \
    return 0;                                                                         \
  }
