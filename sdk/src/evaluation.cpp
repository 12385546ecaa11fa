// Evaluation contexts: the ports' storage, the acquisitions of one call, and the misuse checks.
#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

#include "state.h"

namespace xsi_host {

// ---- PortData ----------------------------------------------------------------------------

PortData::PortData(ULONG id, ULONG data_type, ULONG structure, ULONG element_count)
    : id_(id), data_type_(data_type), structure_(structure), element_count_(element_count) {
  written_.assign(element_count, 0);
  const bool single = structure == XSI::siICENodeStructureSingle;
  switch (data_type) {
    case XSI::siICENodeDataBool:
      if (single) words_.assign((element_count + 31) / 32, 0);
      break;
    case XSI::siICENodeDataLong:
      if (single)
        words_.assign(element_count, 0);
      else
        integer_items_.resize(element_count);
      break;
    case XSI::siICENodeDataFloat:
      if (single)
        words_.assign(element_count, 0);
      else
        float_items_.resize(element_count);
      break;
    case XSI::siICENodeDataString:
      if (single)
        texts_.resize(element_count);
      else
        text_items_.resize(element_count);
      break;
    default:
      break;
  }
}

PortData::~PortData() = default;
PortData::PortData(PortData&&) noexcept = default;
PortData& PortData::operator=(PortData&&) noexcept = default;

void PortData::set_text(ULONG element, std::wstring_view text) {
  if (element < texts_.size()) texts_[element].assign(text);
}

void PortData::set_boolean(ULONG element, bool value) {
  if (data_type_ != XSI::siICENodeDataBool || element >= element_count_) return;
  const std::uint32_t bit = 1u << (element % 32);
  words_[element / 32] = value ? (words_[element / 32] | bit) : (words_[element / 32] & ~bit);
}

void PortData::set_integer(ULONG element, std::int32_t value) {
  if (data_type_ == XSI::siICENodeDataLong && element < words_.size())
    words_[element] = static_cast<std::uint32_t>(value);
}

void PortData::set_float(ULONG element, float value) {
  if (data_type_ == XSI::siICENodeDataFloat && element < words_.size())
    words_[element] = std::bit_cast<std::uint32_t>(value);
}

void PortData::set_integers(ULONG element, std::span<const std::int32_t> items) {
  if (element < integer_items_.size()) integer_items_[element].assign(items.begin(), items.end());
}

void PortData::set_floats(ULONG element, std::span<const float> items) {
  if (element < float_items_.size()) float_items_[element].assign(items.begin(), items.end());
}

void PortData::set_texts(ULONG element, std::span<const std::wstring> items) {
  if (element >= text_items_.size()) return;
  text_items_[element].texts.assign(items.begin(), items.end());
  text_items_[element].count = items.size();
}

Value PortData::value(ULONG element) const {
  if (element >= element_count_ || structure_ != XSI::siICENodeStructureSingle) return {};
  switch (data_type_) {
    case XSI::siICENodeDataBool:
      return ((words_[element / 32] >> (element % 32)) & 1u) != 0;
    case XSI::siICENodeDataLong:
      return static_cast<std::int32_t>(words_[element]);
    case XSI::siICENodeDataFloat:
      return std::bit_cast<float>(words_[element]);
    case XSI::siICENodeDataString:
      return texts_[element];
    default:
      return {};
  }
}

std::vector<Value> PortData::items(ULONG element) const {
  std::vector<Value> out;
  if (element >= element_count_) return out;
  if (structure_ == XSI::siICENodeStructureSingle) {
    out.push_back(value(element));
  } else if (element < integer_items_.size()) {
    out.assign(integer_items_[element].begin(), integer_items_[element].end());
  } else if (element < float_items_.size()) {
    out.assign(float_items_[element].begin(), float_items_[element].end());
  } else if (element < text_items_.size()) {
    const detail::TextItems& items = text_items_[element];
    out.assign(items.texts.begin(), items.texts.begin() + static_cast<std::ptrdiff_t>(items.count));
  }
  return out;
}

ULONG PortData::item_count(ULONG element) const {
  if (element >= element_count_) return 0;
  if (structure_ == XSI::siICENodeStructureSingle) return 1;
  if (element < integer_items_.size()) return static_cast<ULONG>(integer_items_[element].size());
  if (element < float_items_.size()) return static_cast<ULONG>(float_items_[element].size());
  if (element < text_items_.size()) return static_cast<ULONG>(text_items_[element].count);
  return 0;
}

bool PortData::written(ULONG element) const {
  return element < written_.size() && written_[element] != 0;
}

namespace detail {

EvaluationState*& current_evaluation() {
  thread_local EvaluationState* evaluation = nullptr;
  return evaluation;
}

void record_refusal(const char* operation) noexcept {
  if (EvaluationState* evaluation = current_evaluation())
    evaluation->refusals.add(operation);
  else if (SessionState* session = current_session())
    session->refusals.add(operation);
}

std::vector<std::string> Refusals::list() const {
  std::vector<std::string> names(operations.begin(),
                                 operations.begin() + std::min(count, operations.size()));
  if (count > operations.size())
    names.push_back("and " + std::to_string(count - operations.size()) + " more");
  return names;
}

// ---- EvaluationState ---------------------------------------------------------------------

XSI::ICENodeContext EvaluationState::context() {
  XSI::ICENodeContext context;
  context.evaluation_ = this;
  return context;
}

PortData* EvaluationState::port_to_acquire(bool output, ULONG id, ULONG data_type,
                                           ULONG structure) {
  PortData* port = find(id, output);
  if (port && (port->data_type() != data_type || port->structure() != structure)) {
    fault(std::string("acquired ") + (output ? "output" : "input") + " port " + std::to_string(id) +
          " with the wrong type or structure");
    return nullptr;
  }
  return port;
}

PortData* EvaluationState::find(ULONG id, bool output) {
  for (const Declared& entry : declared)
    if (entry.port->id() == id && entry.output == output) return entry.port;
  return nullptr;
}

std::string EvaluationState::describe(ULONG slot) const {
  const Slot& s = slots[slot];
  if (s.kind == SlotKind::IndexSet) return "the index set";
  if (!s.port) return "an array of no port";
  return "the array of port " + std::to_string(s.port->id());
}

const std::uint32_t* EvaluationState::keep(std::vector<std::uint32_t> words,
                                           std::size_t garbage_after) {
  for (std::size_t i = 0; i < garbage_after; ++i) words.push_back(garbage());
  scratch_words.push_back(std::move(words));
  return scratch_words.back().data();
}

const void* EvaluationState::data_of(const PortData* port) {
  const bool has_words = port && !port->words_.empty();
  if (!strict) return has_words ? port->words_.data() : nullptr;
  if (!has_words) return keep({}, 2);
  std::vector<std::uint32_t> words = port->words_;
  if (port->data_type() == XSI::siICENodeDataBool) set_bits_from(words, port->element_count());
  return keep(std::move(words), 0);
}

void EvaluationState::set_bits_from(std::vector<std::uint32_t>& words, ULONG count) {
  if (count % 32 != 0) words[count / 32] |= ~((std::uint32_t{1} << count % 32) - 1);
  words.push_back(0xFFFFFFFF);
}

void EvaluationState::stale(PortData& port, ULONG i, void*& items, ULONG& count, ULONG& item_size) {
  if (port.data_type() == XSI::siICENodeDataString) {
    TextItems& texts = port.text_items_[i];
    for (std::size_t j = 0; j < texts.count; ++j) texts.texts[j] = L"\x2400 stale";
    items = wild<void>();
  } else {
    auto* words = static_cast<std::uint32_t*>(items);
    for (ULONG j = 0; j < count; ++j) words[j] = garbage();
  }
  count = garbage();
  item_size = garbage();
}

template <class Array>
XSI::CStatus EvaluationState::acquire_array(Array& array, bool output, ULONG id, ULONG data_type,
                                            const char* operation) {
  constexpr bool single = std::is_same_v<Array, XSI::CBaseDataArray>;
  if (refuse_acquisition()) return XSI::CStatus::Fail;
  return status_or_refused(operation, [&] {
    PortData* port =
        port_to_acquire(output, id, data_type,
                        single ? XSI::siICENodeStructureSingle : XSI::siICENodeStructureArray);
    if (!port) return XSI::CStatus(XSI::CStatus::Fail);
    if constexpr (single) {
      const void* data = data_of(port);
      array.slot_ = acquire(SlotKind::Array1D, port);
      array.data_ = data;
    } else {
      array.slot_ = acquire(SlotKind::Array2D, port);
      array.constant_ = port->constant;
    }
    array.count_ = port->element_count();
    return XSI::CStatus(XSI::CStatus::OK);
  });
}

template XSI::CStatus EvaluationState::acquire_array(XSI::CBaseDataArray&, bool, ULONG, ULONG,
                                                     const char*);
template XSI::CStatus EvaluationState::acquire_array(XSI::CBaseDataArray2D&, bool, ULONG, ULONG,
                                                     const char*);

void EvaluationState::fault(std::string text) {
  if (std::find(faults.begin(), faults.end(), text) == faults.end())
    faults.push_back(std::move(text));
}

ULONG EvaluationState::acquire(SlotKind kind, PortData* port) {
  // Both lists grow, or neither: an acquisition that runs out of memory changes nothing.
  if (slots.size() == slots.capacity()) slots.reserve(2 * slots.size() + 8);
  if (held.size() == held.capacity()) held.reserve(2 * held.size() + 8);
  slots.push_back(Slot{kind, port, false});
  const auto slot = static_cast<ULONG>(slots.size() - 1);
  held.push_back(slot);
  return slot;
}

void EvaluationState::release(ULONG slot, SlotKind kind) {
  if (slot >= slots.size() || slots[slot].kind != kind) {
    fault("released an array or index set that was never acquired");
    return;
  }
  if (slots[slot].released) {
    fault("released " + describe(slot) + " twice");
    return;
  }
  slots[slot].released = true;
  if (held.back() == slot) {
    held.pop_back();
    return;
  }
  fault("released " + describe(slot) + " before " + describe(held.back()) +
        ", out of reverse order of acquisition");
  held.erase(std::find(held.begin(), held.end(), slot));
}

PortData* EvaluationState::unbound(ULONG slot, SlotKind kind, const char* operation) {
  if (slot >= slots.size() || slots[slot].kind != kind)
    fault(std::string(operation) + " on an array that was never acquired");
  else
    fault(std::string(operation) + " on " + describe(slot) + " after its release");
  return nullptr;
}

void EvaluationState::outside(const PortData& port, ULONG i, const char* operation) {
  fault(std::string(operation) + " at element " + std::to_string(i) + " of port " +
        std::to_string(port.id()) + ", past its count of " + std::to_string(port.element_count()));
}

void EvaluationState::outside_items(const PortData& port, ULONG i, ULONG j, const char* operation) {
  const auto end =
      unsized.begin() + static_cast<std::ptrdiff_t>(std::min(unsized_count, unsized.size()));
  if (std::find(unsized.begin(), end, std::pair<const PortData*, ULONG>(&port, i)) != end) return;
  fault(std::string(operation) + " at item " + std::to_string(j) + " of element " +
        std::to_string(i) + " of port " + std::to_string(port.id()) + ", past its count of " +
        std::to_string(port.text_items_[i].count));
}

}  // namespace detail

// ---- Evaluation --------------------------------------------------------------------------

Evaluation::Evaluation(bool strict) : state_(std::make_unique<detail::EvaluationState>()) {
  state_->strict = strict;
}
Evaluation::~Evaluation() = default;

void Evaluation::set_strict(bool on) { state_->strict = on; }
bool Evaluation::strict() const { return state_->strict; }

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

void Evaluation::fail_acquisition(std::size_t ordinal) {
  state_->failing_acquisitions.push_back(ordinal);
}

XSI::ICENodeContext Evaluation::context() { return state_->context(); }

void Evaluation::begin_call() {
  detail::EvaluationState& e = *state_;
  for (auto& port : e.ports) std::fill(port.written_.begin(), port.written_.end(), 0);
  e.slots.clear();
  e.held.clear();
  e.faults.clear();
  e.refusals = {};
  e.unsized_count = 0;
  e.acquisitions_asked = 0;
  e.scratch_words.clear();
  e.scratch_texts.clear();
  e.garbage_state = 0x2545F491;
  // Room for a call's acquisitions made now, so that an acquisition need not allocate.
  e.slots.reserve(16);
  e.held.reserve(16);
  e.previous = std::exchange(detail::current_evaluation(), &e);
}

CallResult Evaluation::end_call() {
  detail::EvaluationState& e = *state_;
  detail::current_evaluation() = e.previous;
  for (ULONG slot : e.held) e.fault(e.describe(slot) + " was acquired and never released");
  e.held.clear();
  return CallResult{XSI::CStatus::OK, std::move(e.faults), e.slots.size(), e.refusals.list()};
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

// ---- ICENodeContext ----------------------------------------------------------------------

namespace XSI {

using xsi_host::PortData;
using xsi_host::detail::EvaluationState;
using xsi_host::detail::or_refused;
using xsi_host::detail::SlotKind;
using xsi_host::detail::status_or_refused;

namespace {

constexpr ULONG kUnbound = kNotFound;

// The context of a default-constructed ICENodeContext: no ports, nothing pulled.
EvaluationState& detached() {
  thread_local EvaluationState state;
  return state;
}

}  // namespace

ICENodeContext::ICENodeContext() : evaluation_(nullptr) {}

#define EVALUATION (evaluation_ ? *evaluation_ : detached())

ULONG ICENodeContext::GetEvaluatedOutputPortID() const { return EVALUATION.pulled; }

CStatus ICENodeContext::AcquireOutputDataArray(CBaseDataArray& array, ULONG data_type) {
  EvaluationState& e = EVALUATION;
  return e.acquire_array(array, true, e.pulled, data_type, "AcquireOutputDataArray");
}

CStatus ICENodeContext::AcquireOutputDataArray2D(CBaseDataArray2D& array, ULONG data_type) {
  EvaluationState& e = EVALUATION;
  return e.acquire_array(array, true, e.pulled, data_type, "AcquireOutputDataArray2D");
}

CStatus ICENodeContext::AcquireInputDataArray(CBaseDataArray& array, ULONG data_type, ULONG id,
                                              ULONG /*instance*/) {
  return EVALUATION.acquire_array(array, false, id, data_type, "AcquireInputDataArray");
}

CStatus ICENodeContext::AcquireInputDataArray2D(CBaseDataArray2D& array, ULONG data_type, ULONG id,
                                                ULONG /*instance*/) {
  return EVALUATION.acquire_array(array, false, id, data_type, "AcquireInputDataArray2D");
}

CStatus ICENodeContext::ReleaseDataArray(CBaseDataArray& array) {
  EvaluationState& e = EVALUATION;
  or_refused("ReleaseDataArray", [&] { e.release(array.slot_, SlotKind::Array1D); });
  array = CBaseDataArray();
  return e.reported(CStatus::OK);
}

CStatus ICENodeContext::ReleaseDataArray(CBaseDataArray2D& array) {
  EvaluationState& e = EVALUATION;
  or_refused("ReleaseDataArray", [&] { e.release(array.slot_, SlotKind::Array2D); });
  array = CBaseDataArray2D();
  return e.reported(CStatus::OK);
}

CStatus ICENodeContext::AcquireIndexSet(CIndexSet& set) {
  EvaluationState& e = EVALUATION;
  if (e.refuse_acquisition()) return CStatus::Fail;
  return status_or_refused("AcquireIndexSet", [&] {
    const ULONG* data = e.index_data.empty() ? nullptr : e.index_data.data();
    if (e.strict) {
      std::vector<std::uint32_t> words = e.index_data;
      if (e.index_form == CIndexSet::Bits) {
        EvaluationState::set_bits_from(words, e.index_count);
      } else if (e.index_form == CIndexSet::List) {
        // Element indices that a walk past the count would visit.
        for (std::uint32_t k = 0; k < 4; ++k) words.push_back(k);
      } else {
        words = {e.garbage(), e.garbage()};
      }
      data = e.keep(std::move(words), 0);
    }
    set.slot_ = e.acquire(SlotKind::IndexSet, nullptr);
    set.form_ = e.index_form;
    set.count_ = e.index_count;
    set.data_ = data;
    return CStatus(CStatus::OK);
  });
}

CStatus ICENodeContext::ReleaseIndexSet(CIndexSet& set) {
  EvaluationState& e = EVALUATION;
  or_refused("ReleaseIndexSet", [&] { e.release(set.slot_, SlotKind::IndexSet); });
  set = CIndexSet();
  return e.reported(CStatus::OK);
}

CStatus ICENodeContext::GetStringData(const CBaseDataArray& array, ULONG i,
                                      const wchar_t*& out_text, ULONG& out_length) const {
  EvaluationState& e = EVALUATION;
  out_text = L"";
  out_length = 0;
  return status_or_refused("GetStringData", [&] {
    PortData* port = e.bound(array.slot_, SlotKind::Array1D, "GetStringData");
    if (!port || port->data_type() != siICENodeDataString || !e.within(*port, i, "GetStringData"))
      return CStatus(CStatus::Fail);
    const std::wstring& text = port->texts_[i];
    out_text = e.strict ? e.scratch_texts.emplace_back(text + L"\x2400\x2400").data() : text.data();
    out_length = static_cast<ULONG>(text.size());
    return e.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::ResizeStringData(CBaseDataArray& array, ULONG i, ULONG length,
                                         wchar_t*& out_buffer) {
  EvaluationState& e = EVALUATION;
  out_buffer = nullptr;
  return status_or_refused("ResizeStringData", [&] {
    PortData* port = e.bound(array.slot_, SlotKind::Array1D, "ResizeStringData");
    if (!port || port->data_type() != siICENodeDataString ||
        !e.within(*port, i, "ResizeStringData"))
      return CStatus(CStatus::Fail);
    std::wstring& text = port->texts_[i];
    if (e.strict)
      text.assign(length, L'\x2400');
    else
      text.resize(length);
    port->written_[i] = 1;
    out_buffer = e.strict ? EvaluationState::wild<wchar_t>() : text.data();
    return e.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::SetStringData(CBaseDataArray& array, ULONG i, const wchar_t* text,
                                      ULONG length) {
  EvaluationState& e = EVALUATION;
  return status_or_refused("SetStringData", [&] {
    PortData* port = e.bound(array.slot_, SlotKind::Array1D, "SetStringData");
    if (!port || port->data_type() != siICENodeDataString || !e.within(*port, i, "SetStringData"))
      return CStatus(CStatus::Fail);
    port->texts_[i].assign(text ? text : L"", text ? length : 0);
    port->written_[i] = 1;
    return e.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::GetSubArray(const CBaseDataArray2D& array, ULONG i, const void*& out_items,
                                    ULONG& out_count, ULONG& out_item_size) const {
  EvaluationState& e = EVALUATION;
  out_items = nullptr;
  out_count = 0;
  out_item_size = 0;
  return status_or_refused("GetSubArray", [&] {
    PortData* port = e.bound(array.slot_, SlotKind::Array2D, "GetSubArray");
    if (!port || !e.within(*port, i, "GetSubArray")) return CStatus(CStatus::Fail);
    const void* items = nullptr;
    ULONG count = 0;
    if (port->data_type() == siICENodeDataLong) {
      const auto& numbers = port->integer_items_[i];
      items = numbers.empty() ? nullptr : numbers.data();
      count = static_cast<ULONG>(numbers.size());
    } else if (port->data_type() == siICENodeDataFloat) {
      const auto& numbers = port->float_items_[i];
      items = numbers.empty() ? nullptr : numbers.data();
      count = static_cast<ULONG>(numbers.size());
    } else {
      return CStatus(CStatus::Fail);
    }
    ULONG item_size = 4;
    if (e.strict) {
      item_size = e.garbage();
      if (count == 0)
        items = e.keep({}, 2);
      else if (array.constant_)
        items = e.keep({*static_cast<const std::uint32_t*>(items)}, count - 1);
    }
    out_items = items;
    out_count = count;
    out_item_size = item_size;
    return e.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::ResizeSubArray(CBaseDataArray2D& array, ULONG i, ULONG count,
                                       void*& out_items, ULONG& out_count, ULONG& out_item_size) {
  EvaluationState& e = EVALUATION;
  out_items = nullptr;
  out_count = 0;
  out_item_size = 0;
  PortData* port = nullptr;
  try {
    port = e.bound(array.slot_, SlotKind::Array2D, "ResizeSubArray");
    if (!port || !e.within(*port, i, "ResizeSubArray")) return CStatus(CStatus::Fail);
    void* items = nullptr;
    ULONG item_size = 0;
    switch (port->data_type()) {
      case siICENodeDataLong:
        port->integer_items_[i].resize(count);
        items = port->integer_items_[i].data();
        item_size = sizeof(std::int32_t);
        break;
      case siICENodeDataFloat:
        port->float_items_[i].resize(count);
        items = port->float_items_[i].data();
        item_size = sizeof(float);
        break;
      case siICENodeDataString: {
        xsi_host::detail::TextItems& texts = port->text_items_[i];
        if (count > texts.texts.size()) texts.texts.resize(count);
        for (std::size_t j = texts.count; j < count; ++j) texts.texts[j].clear();
        texts.count = count;
        break;
      }
      default:
        return CStatus(CStatus::Fail);
    }
    port->written_[i] = 1;
    ULONG reported_count = count;
    if (e.strict) e.stale(*port, i, items, reported_count, item_size);
    out_items = items;
    out_count = reported_count;
    out_item_size = item_size;
    return e.reported(CStatus::OK);
  } catch (...) {
    // Memory ran out: the element keeps its old items, and writes to the items it lacks are
    // no fault of the plug-in's.
    xsi_host::detail::record_refusal("ResizeSubArray");
    if (port && e.unsized_count < e.unsized.size()) e.unsized[e.unsized_count] = {port, i};
    ++e.unsized_count;
    return CStatus::Fail;
  }
}

CStatus ICENodeContext::ResizeStringData2D(CBaseDataArray2D& array, ULONG i, ULONG j, ULONG length,
                                           wchar_t*& out_buffer) {
  EvaluationState& e = EVALUATION;
  out_buffer = nullptr;
  return status_or_refused("ResizeStringData2D", [&] {
    PortData* port = e.bound(array.slot_, SlotKind::Array2D, "ResizeStringData2D");
    if (!port || port->data_type() != siICENodeDataString ||
        !e.within(*port, i, "ResizeStringData2D"))
      return CStatus(CStatus::Fail);
    std::wstring* text = e.text_item(*port, i, j, "ResizeStringData2D");
    if (!text) return CStatus(CStatus::Fail);
    if (e.strict)
      text->assign(length, L'\x2400');
    else
      text->resize(length);
    port->written_[i] = 1;
    out_buffer = e.strict ? EvaluationState::wild<wchar_t>() : text->data();
    return e.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::SetStringData2D(CBaseDataArray2D& array, ULONG i, ULONG j,
                                        const wchar_t* text, ULONG length) {
  EvaluationState& e = EVALUATION;
  return status_or_refused("SetStringData2D", [&] {
    PortData* port = e.bound(array.slot_, SlotKind::Array2D, "SetStringData2D");
    if (!port || port->data_type() != siICENodeDataString || !e.within(*port, i, "SetStringData2D"))
      return CStatus(CStatus::Fail);
    std::wstring* item = e.text_item(*port, i, j, "SetStringData2D");
    if (!item) return CStatus(CStatus::Fail);
    item->assign(text ? text : L"", text ? length : 0);
    port->written_[i] = 1;
    return e.reported(CStatus::OK);
  });
}

#undef EVALUATION

// ---- Arrays and index sets ---------------------------------------------------------------

CBaseDataArray::CBaseDataArray() : slot_(kUnbound), count_(1), data_(nullptr) {}
ULONG CBaseDataArray::GetCount() const { return count_; }
const void* CBaseDataArray::GetData() const { return data_; }

CBaseDataArray2D::CBaseDataArray2D() : slot_(kUnbound), count_(1), constant_(false) {}
ULONG CBaseDataArray2D::GetCount() const { return count_; }
bool CBaseDataArray2D::IsConstant() const { return constant_; }

CIndexSet::CIndexSet() : slot_(kUnbound), form_(Range), count_(0), data_(nullptr) {}
CIndexSet::Form CIndexSet::GetForm() const { return form_; }
ULONG CIndexSet::GetCount() const { return count_; }
const ULONG* CIndexSet::GetData() const { return data_; }

}  // namespace XSI
