// Refusals: how the SDK answers when an operation cannot get the memory it needs. It answers with
// a status or an empty result, never an exception, and records the refusal for the host.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "xsi_sdk.h"

namespace xsi_host::detail {

// The SDK operations that ran out of memory. Recording one allocates nothing, since memory has
// just run out: the first few are kept by name, in room reserved beforehand (the names are
// literals), and past them only the count grows.
class Refusals {
 public:
  Refusals() { named_.reserve(kNamed); }
  void add(const char* operation) noexcept {
    if (named_.size() < kNamed)
      named_.push_back(operation);
    else
      ++unnamed_;
  }
  void clear() noexcept {
    named_.clear();
    unnamed_ = 0;
  }
  // The names recorded, then "and N more" for those past them.
  std::vector<std::string> list() const;

 private:
  static constexpr std::size_t kNamed = 8;
  std::vector<const char*> named_;
  std::size_t unnamed_ = 0;
};

// Records that an operation ran out of memory, for the evaluation whose call is in progress on
// this thread, or else the session bound to it (SessionScope).
void record_refusal(const char* operation) noexcept;

// Runs body, and when it throws (memory ran out, or a size no container can hold) records the
// refusal and gives fallback instead. body must leave nothing half changed when it throws.
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

}  // namespace xsi_host::detail
