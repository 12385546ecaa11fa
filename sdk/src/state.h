// The SDK's internal state behind the public handles: what a session and an evaluation hold.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "xsi_host.h"

namespace xsi_host::detail {

struct SessionState;

// The SDK operations that ran out of memory, kept without allocating: the names are literals,
// and past the first few only the count grows.
struct Refusals {
  std::array<const char*, 8> operations{};
  std::size_t count = 0;

  void add(const char* operation) noexcept {
    if (count < operations.size()) operations[count] = operation;
    ++count;
  }
  std::vector<std::string> list() const;
};

// Records that an operation ran out of memory, for the evaluation whose call is in progress on
// this thread, or else the session bound to it (SessionScope).
void record_refusal(const char* operation) noexcept;

// The SDK answers with a status or an empty result, never an exception: runs body, and when it
// throws (memory ran out, or a size no container can hold) records the refusal and gives
// fallback instead. body must leave nothing half changed when it throws.
template <class T, class Body>
T or_refused(const char* operation, T fallback, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    record_refusal(operation);
    return fallback;
  }
}
// The same for an operation that answers with a status: Fail when refused, the status built
// only then, since every status is built by a call into this library.
template <class Body>
XSI::CStatus status_or_refused(const char* operation, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    record_refusal(operation);
    return XSI::CStatus::Fail;
  }
}
template <class Body>
void or_refused(const char* operation, Body&& body) noexcept {
  try {
    body();
  } catch (...) {
    record_refusal(operation);
  }
}

struct NodeDefState {
  SessionState* session = nullptr;
  std::size_t index = 0;  // into session->registration.nodes
  NodeRecord& record();
};

struct SessionState {
  SessionState();

  Registration registration;
  std::vector<LogLine> log;
  std::vector<AssertionFailure> assertion_failures;
  std::vector<std::pair<std::string, int>> failing_calls;
  std::function<void(const LogLine&)> log_sink;
  Refusals refusals;
  std::string last_call;
  // One handle per created definition; a deque-like vector of owned pointers keeps them stable.
  std::vector<std::unique_ptr<NodeDefState>> definitions;
  XSI::PluginRegistrar registrar;

  NodeDefState* create_definition(std::wstring name, std::wstring display_name);
  // Records a definition call and tells whether it is made to fail.
  bool record_call(NodeRecord& node, const char* operation, std::vector<Value> arguments);
};

// The session the calling thread's Application reports to, if any.
SessionState*& current_session();

struct EvaluationState;
// The evaluation whose call is in progress on the calling thread, if any.
EvaluationState*& current_evaluation();

enum class SlotKind { Array1D, Array2D, IndexSet };

// One acquisition made during a call.
struct Slot {
  SlotKind kind = SlotKind::Array1D;
  PortData* port = nullptr;  // null for the index set and for an unknown port
  bool released = false;
};

struct EvaluationState {
  std::deque<PortData> ports;  // a deque keeps references to declared ports stable
  // Each declared port, and whether it is an output: looked up on every acquisition.
  struct Declared {
    PortData* port;
    bool output;
  };
  std::vector<Declared> declared;
  ULONG pulled = XSI::kNotFound;
  XSI::CIndexSet::Form index_form = XSI::CIndexSet::Range;
  ULONG index_count = 0;
  std::vector<ULONG> index_data;
  std::vector<Slot> slots;
  std::vector<ULONG> held;  // slots acquired and not yet released, in acquisition order
  std::vector<std::string> faults;
  Refusals refusals;
  // Elements whose sizing ran out of memory this call: writing their items is no fault of the
  // plug-in's, which cannot know (it examines no status); the host was told of the refusal.
  std::array<std::pair<const PortData*, ULONG>, 8> unsized{};
  std::size_t unsized_count = 0;
  // Acquisitions made to fail (Evaluation::fail_acquisition), and those asked for this call.
  std::vector<std::size_t> failing_acquisitions;
  std::size_t acquisitions_asked = 0;
  // The evaluation whose call was in progress on this thread when this one's began.
  EvaluationState* previous = nullptr;

  // Whether the acquisition now asked for is one made to fail; counts it.
  bool refuse_acquisition() {
    const std::size_t ordinal = acquisitions_asked++;
    return std::find(failing_acquisitions.begin(), failing_acquisitions.end(), ordinal) !=
           failing_acquisitions.end();
  }

  // The unforgiving mode (Evaluation::set_strict) and what it hands out during one call besides
  // the ports' own storage: copies with garbage around them, kept until the next call begins.
  bool strict = false;
  std::deque<std::vector<std::uint32_t>> scratch_words;
  std::deque<std::wstring> scratch_texts;
  std::uint32_t garbage_state = 0;

  // The next garbage word, from a sequence that restarts with every call, so that a call in the
  // strict mode is as repeatable as any other.
  std::uint32_t garbage() {
    garbage_state ^= garbage_state << 13;
    garbage_state ^= garbage_state >> 17;
    garbage_state ^= garbage_state << 5;
    return garbage_state;
  }
  // words kept for the rest of the call; count more garbage words follow them.
  const std::uint32_t* keep(std::vector<std::uint32_t> words, std::size_t garbage_after);
  // What GetData gives for an array of one value per element: the words of a numeric or
  // boolean array, else null; in the strict mode a boolean array's bits past its count are set,
  // and an array with no words gives garbage rather than null.
  const void* data_of(const PortData* port);
  // Sets every bit of words from bit count on, and adds a word of set bits after them.
  static void set_bits_from(std::vector<std::uint32_t>& words, ULONG count);
  // Sub-array i as the strict mode hands it out once sized: every item stale, the out-values
  // the contract leaves unread garbage.
  void stale(PortData& port, ULONG i, void*& items, ULONG& count, ULONG& item_size);
  // A pointer the plug-in must not follow: it addresses no memory at all.
  template <class T>
  static T* wild() {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(0xDEAD'BEEF'0000'0000ull));
  }
  // The status an element operation or a release reports: in the strict mode a failure,
  // whatever happened, since the contract promises nothing of it.
  XSI::CStatus reported(XSI::CStatus status) const { return strict ? XSI::CStatus::Fail : status; }

  XSI::ICENodeContext context();
  // Acquires array, of either structure, for the output (id unused: the port pulled) or input
  // port id: bound to the declared port of that type and structure, or left unacquired with a
  // failed status (made to fail, no such port, the wrong type, or no memory).
  template <class Array>
  XSI::CStatus acquire_array(Array& array, bool output, ULONG id, ULONG data_type,
                             const char* operation);
  PortData* find(ULONG id, bool output);
  // The declared port an acquire of this type and structure binds, or null: none is declared
  // (the array reads as empty), or it has another type or structure (a fault).
  PortData* port_to_acquire(bool output, ULONG id, ULONG data_type, ULONG structure);
  std::string describe(ULONG slot) const;
  void fault(std::string text);
  ULONG acquire(SlotKind kind, PortData* port);
  void release(ULONG slot, SlotKind kind);
  // The port behind a bound array of this kind, or null (with a fault) when unbound or released.
  // Made on every element's call: the test stays inline, the fault's text is made elsewhere.
  PortData* bound(ULONG slot, SlotKind kind, const char* operation) {
    if (slot < slots.size() && slots[slot].kind == kind && !slots[slot].released) [[likely]]
      return slots[slot].port;
    return unbound(slot, kind, operation);
  }
  // Whether element i lies within the port's count; records a fault when it does not.
  bool within(const PortData& port, ULONG i, const char* operation) {
    if (i < port.element_count()) [[likely]]
      return true;
    outside(port, i, operation);
    return false;
  }

  // Item j of element i of an array-per-element text port, or null (with a fault) when j lies
  // past the element's item count.
  std::wstring* text_item(PortData& port, ULONG i, ULONG j, const char* operation) {
    TextItems& items = port.text_items_[i];
    if (j < items.count) [[likely]]
      return &items.texts[j];
    outside_items(port, i, j, operation);
    return nullptr;
  }

  // Record the fault of a call that bound or within turns down; unbound then gives null.
  [[gnu::cold, gnu::noinline]] PortData* unbound(ULONG slot, SlotKind kind, const char* operation);
  [[gnu::cold, gnu::noinline]] void outside(const PortData& port, ULONG i, const char* operation);
  [[gnu::cold, gnu::noinline]] void outside_items(const PortData& port, ULONG i, ULONG j,
                                                  const char* operation);
};

}  // namespace xsi_host::detail
