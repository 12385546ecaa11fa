// Refusals: how the SDK answers when an operation cannot get the memory it needs. It answers with
// a status or an empty result, never an exception, and records the refusal for the host.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "xsi_sdk.h"

namespace xsi_host::detail {

// The SDK operations that ran out of memory, kept without allocating: the names are literals,
// and past the first few only the count grows.
struct Refusals {
  std::array<const char*, 8> operations{};
  std::size_t count = 0;

  void add(const char* operation) noexcept {
    if (count < operations.size()) operations[count] = operation;
    ++count;
  }
  // The names recorded, then "and N more" for those past them.
  std::vector<std::string> list() const;
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
