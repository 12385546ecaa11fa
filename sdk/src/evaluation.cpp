// The host side of an evaluation: declaring ports and the index set, running a call, and binding
// the arrays a plug-in acquires to the declared ports.
#include <algorithm>
#include <type_traits>
#include <utility>

#include "evaluation_state.h"
#include "session.h"

namespace xsi_host {

namespace detail {

EvaluationState*& current_evaluation() {
  thread_local EvaluationState* evaluation = nullptr;
  return evaluation;
}

void record_refusal(const char* operation) noexcept {
  if (EvaluationState* evaluation = current_evaluation())
    evaluation->ledger.refusals.add(operation);
  else if (SessionState* session = current_session())
    session->refusals.add(operation);
}

PortData* element_of(EvaluationState& e, ULONG slot, SlotKind kind, ULONG i, const char* operation,
                     bool texts_only) {
  PortData* port = e.ledger.bound(slot, kind, operation);
  if (!port || (texts_only && port->data_type() != XSI::siICENodeDataString)) return nullptr;
  return e.ledger.within(*port, i, operation) ? port : nullptr;
}

XSI::ICENodeContext EvaluationState::context() {
  XSI::ICENodeContext context;
  context.evaluation_ = this;
  return context;
}

PortData* EvaluationState::port_to_acquire(bool output, ULONG id, ULONG data_type,
                                           ULONG structure) {
  const auto entry = std::find_if(declared.begin(), declared.end(), [&](const Declared& d) {
    return d.port->id() == id && d.output == output;
  });
  if (entry == declared.end()) return nullptr;
  PortData* port = entry->port;
  if (port->data_type() != data_type || port->structure() != structure) {
    ledger.fault(std::string("acquired ") + (output ? "output" : "input") + " port " +
                 std::to_string(id) + " with the wrong type or structure");
    return nullptr;
  }
  return port;
}

template <class Array>
XSI::CStatus EvaluationState::acquire_array(Array& array, bool output, ULONG id, ULONG data_type,
                                            const char* operation) {
  constexpr bool single = std::is_same_v<Array, XSI::CBaseDataArray>;
  if (ledger.refuse_acquisition()) return XSI::CStatus::Fail;
  return status_or_refused(operation, [&] {
    PortData* port =
        port_to_acquire(output, id, data_type,
                        single ? XSI::siICENodeStructureSingle : XSI::siICENodeStructureArray);
    if (!port) return XSI::CStatus(XSI::CStatus::Fail);
    if constexpr (single) {
      const void* data =
          policy.array_data(port->words_, port->data_type(), port->element_count(), port->constant);
      array.slot_ = ledger.acquire(SlotKind::Array1D, port);
      array.data_ = data;
    } else {
      array.slot_ = ledger.acquire(SlotKind::Array2D, port);
    }
    array.constant_ = port->constant;
    array.count_ = port->element_count();
    return XSI::CStatus(XSI::CStatus::OK);
  });
}

template XSI::CStatus EvaluationState::acquire_array(XSI::CBaseDataArray&, bool, ULONG, ULONG,
                                                     const char*);
template XSI::CStatus EvaluationState::acquire_array(XSI::CBaseDataArray2D&, bool, ULONG, ULONG,
                                                     const char*);

}  // namespace detail

Evaluation::Evaluation(bool unforgiving) : state_(std::make_unique<detail::EvaluationState>()) {
  set_strict(unforgiving);
}
Evaluation::~Evaluation() = default;

void Evaluation::set_strict(bool on) { state_->policy.set_strict(on); }
bool Evaluation::strict() const { return state_->policy.strict(); }

PortData& Evaluation::add_input(ULONG id, ULONG data_type, ULONG structure, ULONG element_count) {
  state_->ports.emplace_back(id, data_type, structure, element_count);
  state_->declared.push_back({&state_->ports.back(), false});
  return state_->ports.back();
}

PortData& Evaluation::add_output(ULONG id, ULONG data_type, ULONG structure, ULONG element_count) {
  state_->ports.emplace_back(id, data_type, structure, element_count);
  state_->declared.push_back({&state_->ports.back(), true});
  if (state_->pulled == XSI::kNotFound) state_->pulled = id;
  return state_->ports.back();
}

PortData* Evaluation::port(ULONG id) {
  for (auto& p : state_->ports)
    if (p.id() == id) return &p;
  return nullptr;
}

void Evaluation::pull(ULONG output_port_id) { state_->pulled = output_port_id; }

void Evaluation::index_range(ULONG count) {
  state_->index_form = XSI::CIndexSet::Range;
  state_->index_count = count;
  state_->index_data.clear();
}

void Evaluation::index_bits(const std::vector<bool>& bits) {
  state_->index_form = XSI::CIndexSet::Bits;
  state_->index_count = static_cast<ULONG>(bits.size());
  state_->index_data.assign((bits.size() + 31) / 32, 0);
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) state_->index_data[i / 32] |= 1u << (i % 32);
}

void Evaluation::index_list(std::vector<ULONG> entries) {
  state_->index_form = XSI::CIndexSet::List;
  state_->index_count = static_cast<ULONG>(entries.size());
  state_->index_data = std::move(entries);
}

void Evaluation::fail_acquisition(std::size_t ordinal) { state_->ledger.fail_acquisition(ordinal); }

XSI::ICENodeContext Evaluation::context() { return state_->context(); }

void Evaluation::begin_call() {
  detail::EvaluationState& e = *state_;
  for (auto& port : e.ports) std::fill(port.written_.begin(), port.written_.end(), 0);
  e.ledger.begin_call();
  e.policy.begin_call();
  e.previous = std::exchange(detail::current_evaluation(), &e);
}

CallResult Evaluation::end_call() {
  detail::EvaluationState& e = *state_;
  detail::current_evaluation() = e.previous;
  return e.ledger.end_call();
}

CallResult Evaluation::run(EvaluateFunction evaluate) {
  begin_call();
  XSI::ICENodeContext context = state_->context();
  const XSI::CStatus status = evaluate(context);
  CallResult result = end_call();
  result.status = status.GetCode();
  return result;
}

}  // namespace xsi_host
