// The ledger of one call: every acquisition and release a plug-in makes, the misuse it commits,
// and the SDK operations that ran out of memory. Misuse is recorded, not committed: the
// operation that would commit it does nothing, and the host reports every fault of the call.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "refusal.h"
#include "xsi_host.h"

namespace xsi_host::detail {

enum class SlotKind { Array1D, Array2D, IndexSet };

class Ledger {
 public:
  // Forgets the last call, and makes room for a call's acquisitions, so that an acquisition need
  // not allocate.
  void begin_call();
  // What the call did: its faults, with every acquisition still held recorded as never released,
  // its acquisitions and its refusals. The status is left for the caller.
  CallResult end_call();

  // The ordinal-th acquisition of every call (0 the first) fails.
  void fail_acquisition(std::size_t ordinal);
  // Whether the acquisition now asked for is one made to fail; counts it.
  bool refuse_acquisition();

  // Records an acquisition of port's array, or of the index set (port null); gives its slot.
  // Both lists grow, or neither: an acquisition that runs out of memory changes nothing.
  ULONG acquire(SlotKind kind, PortData* port);
  // Records the release of slot. Releasing what is not held, or out of the reverse order of
  // acquisition, is a fault.
  void release(ULONG slot, SlotKind kind);

  // The port behind the held array of this kind in slot, or null, with a fault, when the array
  // was never acquired or is released.
  PortData* bound(ULONG slot, SlotKind kind, const char* operation);
  // Whether element i lies within the port's element count; a fault when it does not.
  bool within(const PortData& port, ULONG i, const char* operation);
  // Whether item j lies within the count of element i's items; a fault when it does not, unless
  // Where memory ran out sizing the element's items, an item past their count is no fault of the
  // plug-in's, which cannot know (it examines no status); the host was told of the refusal.
  bool within_items(const PortData& port, ULONG i, ULONG j, std::size_t count,
                    const char* operation);

  // Records a fault once, however often it is committed.
  void fault(std::string text);

  Refusals refusals;

 private:
  struct Slot {
    SlotKind kind;
    PortData* port;  // null for the index set
    bool released;
  };
  std::string describe(ULONG slot) const;

  std::vector<Slot> slots_;
  std::vector<ULONG> held_;  // slots acquired and not yet released, in acquisition order
  std::vector<std::string> faults_;
  std::vector<std::size_t> failing_acquisitions_;
  std::size_t acquisitions_asked_ = 0;
};

}  // namespace xsi_host::detail
