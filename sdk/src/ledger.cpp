// The ledger of one call: acquisitions, releases, misuse and refusals.
#include "ledger.h"

#include <algorithm>

namespace xsi_host::detail {

std::vector<std::string> Refusals::list() const {
  std::vector<std::string> names(named_.begin(), named_.end());
  if (unnamed_ > 0) names.push_back("and " + std::to_string(unnamed_) + " more");
  return names;
}

void Ledger::begin_call() {
  slots_.clear();
  held_.clear();
  faults_.clear();
  refusals.clear();
  acquisitions_asked_ = 0;
  slots_.reserve(16);
  held_.reserve(16);
}

CallResult Ledger::end_call() {
  for (ULONG slot : held_) fault(describe(slot) + " was acquired and never released");
  held_.clear();
  return CallResult{XSI::CStatus::OK, std::move(faults_), slots_.size(), refusals.list()};
}

void Ledger::fail_acquisition(std::size_t ordinal) { failing_acquisitions_.push_back(ordinal); }

bool Ledger::refuse_acquisition() {
  const std::size_t ordinal = acquisitions_asked_++;
  return std::find(failing_acquisitions_.begin(), failing_acquisitions_.end(), ordinal) !=
         failing_acquisitions_.end();
}

ULONG Ledger::acquire(SlotKind kind, PortData* port) {
  if (slots_.size() == slots_.capacity()) slots_.reserve(2 * slots_.size() + 8);
  if (held_.size() == held_.capacity()) held_.reserve(2 * held_.size() + 8);
  slots_.push_back(Slot{kind, port, false});
  const auto slot = static_cast<ULONG>(slots_.size() - 1);
  held_.push_back(slot);
  return slot;
}

void Ledger::release(ULONG slot, SlotKind kind) {
  if (slot >= slots_.size() || slots_[slot].kind != kind) {
    fault("released an array or index set that was never acquired");
    return;
  }
  if (slots_[slot].released) {
    fault("released " + describe(slot) + " twice");
    return;
  }
  slots_[slot].released = true;
  if (held_.back() != slot)
    fault("released " + describe(slot) + " before " + describe(held_.back()) +
          ", out of reverse order of acquisition");
  held_.erase(std::find(held_.begin(), held_.end(), slot));
}

PortData* Ledger::bound(ULONG slot, SlotKind kind, const char* operation) {
  if (slot >= slots_.size() || slots_[slot].kind != kind) {
    fault(std::string(operation) + " on an array that was never acquired");
    return nullptr;
  }
  if (slots_[slot].released) {
    fault(std::string(operation) + " on " + describe(slot) + " after its release");
    return nullptr;
  }
  return slots_[slot].port;
}

bool Ledger::within(const PortData& port, ULONG i, const char* operation) {
  if (i < port.element_count()) return true;
  fault(std::string(operation) + " at element " + std::to_string(i) + " of port " +
        std::to_string(port.id()) + ", past its count of " + std::to_string(port.element_count()));
  return false;
}

bool Ledger::within_items(const PortData& port, ULONG i, ULONG j, std::size_t count,
                          const char* operation) {
  if (j < count) return true;
  if (!port.sizing_refused(i))
    fault(std::string(operation) + " at item " + std::to_string(j) + " of element " +
          std::to_string(i) + " of port " + std::to_string(port.id()) + ", past its count of " +
          std::to_string(count));
  return false;
}

void Ledger::fault(std::string text) {
  if (std::find(faults_.begin(), faults_.end(), text) == faults_.end())
    faults_.push_back(std::move(text));
}

std::string Ledger::describe(ULONG slot) const {
  const Slot& s = slots_[slot];
  if (s.kind == SlotKind::IndexSet) return "the index set";
  if (!s.port) return "an array of no port";
  return "the array of port " + std::to_string(s.port->id());
}

}  // namespace xsi_host::detail
