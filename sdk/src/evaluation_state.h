// One evaluation context as the SDK holds it: the declared ports, the pulled port and the index
// set, the ledger of the call in progress, and the policy it hands values out by.
#pragma once

#include <deque>
#include <vector>

#include "host_policy.h"
#include "ledger.h"
#include "xsi_host.h"

namespace xsi_host::detail {

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
  Ledger ledger;
  HostPolicy policy;
  // The evaluation whose call was in progress on this thread when this one's began.
  EvaluationState* previous = nullptr;

  XSI::ICENodeContext context();
  // Acquires array, of either structure, for the output (id the port pulled) or input port id:
  // bound to the declared port of that type and structure, or left unacquired with a failed
  // status (made to fail, no such port, the wrong type, or no memory).
  template <class Array>
  XSI::CStatus acquire_array(Array& array, bool output, ULONG id, ULONG data_type,
                             const char* operation);
  // The declared port an acquire of this type and structure binds, or null: none is declared
  // (the array reads as empty), or it has another type or structure (a fault).
  PortData* port_to_acquire(bool output, ULONG id, ULONG data_type, ULONG structure);
};

// The evaluation whose call is in progress on the calling thread, if any.
EvaluationState*& current_evaluation();

// The port behind the array held in slot, when it holds texts (or anything, unless texts_only)
// and has an element i; else null, with a fault for an array not held or an element past the
// count.
PortData* element_of(EvaluationState& e, ULONG slot, SlotKind kind, ULONG i, const char* operation,
                     bool texts_only);

}  // namespace xsi_host::detail
