// The index set of one call and its walk, whatever node is evaluated: the elements to write,
// in the set's order, and nothing past its count.
#pragma once

#include <bit>
#include <cstdint>

#include "frame/node.h"

namespace frame {

// The index set of one call, released when it goes out of scope if the host lent it.
class IndexSetLease {
 public:
  explicit IndexSetLease(XSI::ICENodeContext& context)
      : context_(context), acquired_(sdk::lent(context_.AcquireIndexSet(set_))) {}
  ~IndexSetLease() {
    if (acquired_) context_.ReleaseIndexSet(set_);
  }
  IndexSetLease(const IndexSetLease&) = delete;
  IndexSetLease& operator=(const IndexSetLease&) = delete;

  bool acquired() const { return acquired_; }
  const XSI::CIndexSet& get() const { return set_; }

 private:
  XSI::ICENodeContext& context_;
  XSI::CIndexSet set_;
  bool acquired_;
};

// Calls visit(k) for each set bit k below count of a bit set held in 32-bit words (bit k is bit
// k % 32 of word k / 32), ascending. Bits at and above count are the host's and may hold
// anything; they are never visited. Any count up to 2^32 - 1 is walked whole: nothing wraps.
template <class Visit>
void walk_bits(const ULONG* words, ULONG count, Visit&& visit) {
  const ULONG whole_words = count / 32;
  const ULONG last_bits = count % 32;
  auto visit_word = [&](ULONG word, std::uint32_t bits) {
    for (; bits != 0; bits &= bits - 1)
      visit(word * 32 + static_cast<ULONG>(std::countr_zero(bits)));
  };
  for (ULONG word = 0; word < whole_words; ++word) visit_word(word, words[word]);
  if (last_bits != 0)
    visit_word(whole_words, words[whole_words] & ((std::uint32_t{1} << last_bits) - 1));
}

// Calls visit(k) once for each element index of the set, in the set's order: a range ascending;
// the set bits below the bit count, ascending; a list in stored order, holes skipped.
template <class Visit>
void walk_index_set(const XSI::CIndexSet& set, Visit&& visit) {
  const ULONG count = sdk::count(set);
  const ULONG* data = sdk::data(set);
  switch (sdk::form(set)) {
    case sdk::IndexForm::range:
      for (ULONG k = 0; k < count; ++k) visit(k);
      break;
    case sdk::IndexForm::bits:
      if (data) walk_bits(data, count, visit);
      break;
    case sdk::IndexForm::list:
      if (!data) break;
      for (ULONG i = 0; i < count; ++i)
        if (data[i] != kNotFound) visit(data[i]);
      break;
  }
}

// Acquires the index set and calls write(k) for each element of it; a failure when the host does
// not lend it.
template <class Write>
XSI::CStatus walk(XSI::ICENodeContext& context, Write&& write) {
  const IndexSetLease index_set(context);
  if (!index_set.acquired()) return sdk::not_lent();
  walk_index_set(index_set.get(), write);
  return sdk::success();
}

}  // namespace frame
