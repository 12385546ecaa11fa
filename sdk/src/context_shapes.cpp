// ICENodeContext: the operations nodes of other shapes than the six need, beyond the six nodes'
// contract: the texts of an array-per-element text input, and one-value outputs set element by
// element. They check handles and elements as the others do, and hand values out as the host
// policy says.
#include <bit>
#include <cstdint>

#include "evaluation_state.h"
#include "refusal.h"

namespace XSI {

using xsi_host::PortData;
using xsi_host::detail::element_of;
using xsi_host::detail::EvaluationState;
using xsi_host::detail::SlotKind;
using xsi_host::detail::status_or_refused;

CStatus ICENodeContext::GetStringData2D(const CBaseDataArray2D& array, ULONG i, ULONG j,
                                        const wchar_t*& out_text, ULONG& out_length) const {
  EvaluationState& e = state();
  out_text = L"";
  out_length = 0;
  return status_or_refused("GetStringData2D", [&] {
    PortData* port = element_of(e, array.slot_, SlotKind::Array2D, i, "GetStringData2D", true);
    if (!port) return CStatus(CStatus::Fail);
    const xsi_host::detail::TextItems& texts = port->text_items_[i];
    if (!e.ledger.within_items(*port, i, j, texts.count, "GetStringData2D"))
      return CStatus(CStatus::Fail);
    out_text = e.policy.text_to_read(texts.texts[j]);
    out_length = static_cast<ULONG>(texts.texts[j].size());
    return e.policy.reported(CStatus::OK);
  });
}

// Element i of a one-value output of data_type becomes word, when the array holds it.
CStatus ICENodeContext::set_data(CBaseDataArray& array, ULONG i, ULONG data_type,
                                 std::uint32_t word, const char* operation) {
  EvaluationState& e = state();
  PortData* port = element_of(e, array.slot_, SlotKind::Array1D, i, operation, false);
  if (!port || port->data_type() != data_type) return CStatus::Fail;
  if (data_type == siICENodeDataBool) {
    const std::uint32_t bit = std::uint32_t{1} << (i % 32);
    port->words_[i / 32] = word ? (port->words_[i / 32] | bit) : (port->words_[i / 32] & ~bit);
  } else {
    port->words_[i] = word;
  }
  port->written_[i] |= PortData::kWritten;
  return e.policy.reported(CStatus::OK);
}

CStatus ICENodeContext::SetBooleanData(CBaseDataArray& array, ULONG i, bool value) {
  return set_data(array, i, siICENodeDataBool, value ? 1 : 0, "SetBooleanData");
}

CStatus ICENodeContext::SetIntegerData(CBaseDataArray& array, ULONG i, std::int32_t value) {
  return set_data(array, i, siICENodeDataLong, static_cast<std::uint32_t>(value), "SetIntegerData");
}

CStatus ICENodeContext::SetFloatData(CBaseDataArray& array, ULONG i, float value) {
  return set_data(array, i, siICENodeDataFloat, std::bit_cast<std::uint32_t>(value),
                  "SetFloatData");
}

}  // namespace XSI
