// ICENodeContext: the operations a plug-in calls during an evaluation. Each checks the handle
// and the element it is given against the ledger, and hands values out as the host policy says.

#include "evaluation_state.h"
#include "refusal.h"

namespace XSI {

using xsi_host::PortData;
using xsi_host::detail::element_of;
using xsi_host::detail::EvaluationState;
using xsi_host::detail::HostPolicy;
using xsi_host::detail::or_refused;
using xsi_host::detail::SlotKind;
using xsi_host::detail::status_or_refused;

namespace {

constexpr ULONG kUnbound = kNotFound;

// The evaluation of a default-constructed context: no ports, nothing pulled.
EvaluationState& detached() {
  thread_local EvaluationState state;
  return state;
}

}  // namespace

ICENodeContext::ICENodeContext() : evaluation_(nullptr) {}

EvaluationState& ICENodeContext::state() const { return evaluation_ ? *evaluation_ : detached(); }

ULONG ICENodeContext::GetEvaluatedOutputPortID() const { return state().pulled; }

CStatus ICENodeContext::AcquireOutputDataArray(CBaseDataArray& array, ULONG data_type) {
  EvaluationState& e = state();
  return e.acquire_array(array, true, e.pulled, data_type, "AcquireOutputDataArray");
}

CStatus ICENodeContext::AcquireOutputDataArray2D(CBaseDataArray2D& array, ULONG data_type) {
  EvaluationState& e = state();
  return e.acquire_array(array, true, e.pulled, data_type, "AcquireOutputDataArray2D");
}

CStatus ICENodeContext::AcquireInputDataArray(CBaseDataArray& array, ULONG data_type, ULONG id,
                                              ULONG /*instance*/) {
  return state().acquire_array(array, false, id, data_type, "AcquireInputDataArray");
}

CStatus ICENodeContext::AcquireInputDataArray2D(CBaseDataArray2D& array, ULONG data_type, ULONG id,
                                                ULONG /*instance*/) {
  return state().acquire_array(array, false, id, data_type, "AcquireInputDataArray2D");
}

CStatus ICENodeContext::ReleaseDataArray(CBaseDataArray& array) {
  EvaluationState& e = state();
  or_refused("ReleaseDataArray", [&] { e.ledger.release(array.slot_, SlotKind::Array1D); });
  array = CBaseDataArray();
  return e.policy.reported(CStatus::OK);
}

CStatus ICENodeContext::ReleaseDataArray(CBaseDataArray2D& array) {
  EvaluationState& e = state();
  or_refused("ReleaseDataArray", [&] { e.ledger.release(array.slot_, SlotKind::Array2D); });
  array = CBaseDataArray2D();
  return e.policy.reported(CStatus::OK);
}

CStatus ICENodeContext::AcquireIndexSet(CIndexSet& set) {
  EvaluationState& e = state();
  if (e.ledger.refuse_acquisition()) return CStatus::Fail;
  return status_or_refused("AcquireIndexSet", [&] {
    const ULONG* data = e.policy.index_data(e.index_form, e.index_count, e.index_data);
    set.slot_ = e.ledger.acquire(SlotKind::IndexSet, nullptr);
    set.form_ = e.index_form;
    set.count_ = e.index_count;
    set.data_ = data;
    return CStatus(CStatus::OK);
  });
}

CStatus ICENodeContext::ReleaseIndexSet(CIndexSet& set) {
  EvaluationState& e = state();
  or_refused("ReleaseIndexSet", [&] { e.ledger.release(set.slot_, SlotKind::IndexSet); });
  set = CIndexSet();
  return e.policy.reported(CStatus::OK);
}

CStatus ICENodeContext::GetStringData(const CBaseDataArray& array, ULONG i,
                                      const wchar_t*& out_text, ULONG& out_length) const {
  EvaluationState& e = state();
  out_text = L"";
  out_length = 0;
  return status_or_refused("GetStringData", [&] {
    PortData* port = element_of(e, array.slot_, SlotKind::Array1D, i, "GetStringData", true);
    if (!port) return CStatus(CStatus::Fail);
    const std::wstring& text = port->texts_[i];
    out_text = e.policy.text_to_read(text);
    out_length = static_cast<ULONG>(text.size());
    return e.policy.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::ResizeStringData(CBaseDataArray& array, ULONG i, ULONG length,
                                         wchar_t*& out_buffer) {
  EvaluationState& e = state();
  out_buffer = nullptr;
  return status_or_refused("ResizeStringData", [&] {
    PortData* port = element_of(e, array.slot_, SlotKind::Array1D, i, "ResizeStringData", true);
    if (!port) return CStatus(CStatus::Fail);
    wchar_t* buffer = e.policy.size_text(port->texts_[i], length);
    port->written_[i] |= PortData::kWritten;
    out_buffer = buffer;
    return e.policy.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::SetStringData(CBaseDataArray& array, ULONG i, const wchar_t* text,
                                      ULONG length) {
  EvaluationState& e = state();
  return status_or_refused("SetStringData", [&] {
    PortData* port = element_of(e, array.slot_, SlotKind::Array1D, i, "SetStringData", true);
    if (!port) return CStatus(CStatus::Fail);
    port->texts_[i].assign(text ? text : L"", text ? length : 0);
    port->written_[i] |= PortData::kWritten;
    return e.policy.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::GetSubArray(const CBaseDataArray2D& array, ULONG i, const void*& out_items,
                                    ULONG& out_count, ULONG& out_item_size) const {
  EvaluationState& e = state();
  out_items = nullptr;
  out_count = 0;
  out_item_size = 0;
  return status_or_refused("GetSubArray", [&] {
    PortData* port = element_of(e, array.slot_, SlotKind::Array2D, i, "GetSubArray", false);
    if (!port) return CStatus(CStatus::Fail);
    const void* items = nullptr;
    std::size_t count = 0;
    ULONG item_size = 4;
    auto held = [&](const auto& stored) {
      items = stored.empty() ? nullptr : stored.data();
      count = stored.size();
    };
    switch (port->data_type()) {
      case siICENodeDataBool:
        held(port->boolean_items_[i]);
        item_size = 1;
        break;
      case siICENodeDataLong:
        held(port->integer_items_[i]);
        break;
      case siICENodeDataFloat:
        held(port->float_items_[i]);
        break;
      default:  // texts: their count; each is read with GetStringData2D
        count = port->text_items_[i].count;
        item_size = 0;
    }
    const auto [handed_out, unread_item_size] =
        e.policy.items_to_read(items, static_cast<ULONG>(count), item_size, array.constant_);
    out_items = handed_out;
    out_count = static_cast<ULONG>(count);
    out_item_size = unread_item_size;
    return e.policy.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::ResizeSubArray(CBaseDataArray2D& array, ULONG i, ULONG count,
                                       void*& out_items, ULONG& out_count, ULONG& out_item_size) {
  EvaluationState& e = state();
  out_items = nullptr;
  out_count = 0;
  out_item_size = 0;
  PortData* port = nullptr;
  try {
    port = element_of(e, array.slot_, SlotKind::Array2D, i, "ResizeSubArray", false);
    if (!port) return CStatus::Fail;
    HostPolicy::Sized sized{};
    switch (port->data_type()) {
      case siICENodeDataBool:
        port->boolean_items_[i].resize(count);
        sized = e.policy.sized_items(port->boolean_items_[i].data(), count, 1);
        break;
      case siICENodeDataLong:
        port->integer_items_[i].resize(count);
        sized = e.policy.sized_items(port->integer_items_[i].data(), count, 4);
        break;
      case siICENodeDataFloat:
        port->float_items_[i].resize(count);
        sized = e.policy.sized_items(port->float_items_[i].data(), count, 4);
        break;
      case siICENodeDataString: {
        // Texts past the new count keep their storage, so that growing again allocates nothing.
        xsi_host::detail::TextItems& texts = port->text_items_[i];
        if (count > texts.texts.size()) texts.texts.resize(count);
        for (std::size_t j = texts.count; j < count; ++j) texts.texts[j].clear();
        texts.count = count;
        sized = e.policy.sized_texts(texts);
        break;
      }
      default:
        return CStatus::Fail;
    }
    port->written_[i] |= PortData::kWritten;
    out_items = sized.items;
    out_count = sized.count;
    out_item_size = sized.item_size;
    return e.policy.reported(CStatus::OK);
  } catch (...) {
    // Memory ran out: the element keeps its old items, and writes to the items it lacks are
    // no fault of the plug-in's.
    xsi_host::detail::record_refusal("ResizeSubArray");
    if (port) port->written_[i] |= PortData::kSizingRefused;
    return CStatus::Fail;
  }
}

CStatus ICENodeContext::ResizeStringData2D(CBaseDataArray2D& array, ULONG i, ULONG j, ULONG length,
                                           wchar_t*& out_buffer) {
  EvaluationState& e = state();
  out_buffer = nullptr;
  return status_or_refused("ResizeStringData2D", [&] {
    PortData* port = element_of(e, array.slot_, SlotKind::Array2D, i, "ResizeStringData2D", true);
    if (!port) return CStatus(CStatus::Fail);
    xsi_host::detail::TextItems& texts = port->text_items_[i];
    if (!e.ledger.within_items(*port, i, j, texts.count, "ResizeStringData2D"))
      return CStatus(CStatus::Fail);
    wchar_t* buffer = e.policy.size_text(texts.texts[j], length);
    port->written_[i] |= PortData::kWritten;
    out_buffer = buffer;
    return e.policy.reported(CStatus::OK);
  });
}

CStatus ICENodeContext::SetStringData2D(CBaseDataArray2D& array, ULONG i, ULONG j,
                                        const wchar_t* text, ULONG length) {
  EvaluationState& e = state();
  return status_or_refused("SetStringData2D", [&] {
    PortData* port = element_of(e, array.slot_, SlotKind::Array2D, i, "SetStringData2D", true);
    if (!port) return CStatus(CStatus::Fail);
    xsi_host::detail::TextItems& texts = port->text_items_[i];
    if (!e.ledger.within_items(*port, i, j, texts.count, "SetStringData2D"))
      return CStatus(CStatus::Fail);
    texts.texts[j].assign(text ? text : L"", text ? length : 0);
    port->written_[i] |= PortData::kWritten;
    return e.policy.reported(CStatus::OK);
  });
}

// ---- Arrays and index sets ---------------------------------------------------------------

CBaseDataArray::CBaseDataArray() : slot_(kUnbound), count_(1), data_(nullptr), constant_(false) {}
ULONG CBaseDataArray::GetCount() const { return count_; }
const void* CBaseDataArray::GetData() const { return data_; }
bool CBaseDataArray::IsConstant() const { return constant_; }

CBaseDataArray2D::CBaseDataArray2D() : slot_(kUnbound), count_(1), constant_(false) {}
ULONG CBaseDataArray2D::GetCount() const { return count_; }
bool CBaseDataArray2D::IsConstant() const { return constant_; }

CIndexSet::CIndexSet() : slot_(kUnbound), form_(Range), count_(0), data_(nullptr) {}
CIndexSet::Form CIndexSet::GetForm() const { return form_; }
ULONG CIndexSet::GetCount() const { return count_; }
const ULONG* CIndexSet::GetData() const { return data_; }

}  // namespace XSI
