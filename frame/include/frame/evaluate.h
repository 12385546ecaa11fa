// The evaluation frame shared by every node.
//
// One call: test the pulled port, acquire the output array and then the inputs in table order,
// run the node's step before the walk (which may find the inputs unsuitable and leave the marker
// -1 in output element 0), acquire the index set, walk it and let the node write each element,
// then release everything in reverse order of acquisition, on every path, and report success.
//
// A node is a default-constructible struct, made afresh for each call, with
//   static constexpr frame::NodeTable<N> table;        its ports
//   frame::Prepared prepare(const frame::Inputs<N>&);   optional: its step before the walk
//   void write(frame::OutputArray& out, const frame::Inputs<N>& in, ULONG k);
// The frame never reads or writes past an array's element count: an element that is not there
// reads as empty (an empty text, false, no items) and is not written.
//
// The one status the frame examines is an acquisition's: an array or index set the host did not
// lend cannot be read or written. Then the call writes nothing, not even the marker (its inputs
// were never seen), releases what it did acquire, and reports Fail.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "frame/node.h"

namespace frame {

// The items of one element of an array-per-element input. While the input's constant flag is
// set, item 0 stands for every item.
template <class T>
struct Items {
  const T* data = nullptr;
  ULONG count = 0;
  bool constant = false;

  T operator[](ULONG i) const { return data[constant ? 0 : i]; }
};

// What a node's step before the walk found.
enum class Prepared {
  walk,    // the inputs suit: every element of the index set gets its result
  marker,  // they do not: the marker in output element 0 alone, and no walk
  failed,  // the SDK gave no storage for what the step needed: the call fails, writing nothing
};

// A copy of host text in the host's own text class, for the nodes that hand it to SDK text
// operations (search, cut, narrow form); nothing when the SDK could not store it whole.
inline std::optional<XSI::CString> to_cstring(std::wstring_view text) {
  std::optional<XSI::CString> copy(std::in_place, text.data(), static_cast<ULONG>(text.size()));
  if (copy->Length() != text.size()) copy.reset();
  return copy;
}

// The narrow form of a text, one byte for each of its characters (NULs included); nothing when
// the SDK could not make it.
inline std::optional<std::string_view> narrow_form(const XSI::CString& text) {
  const char* narrow = text.GetAsciiString();
  if (!narrow) return std::nullopt;
  return std::string_view(narrow, text.Length());
}

// One port's data array for one call, in either form; Binding acquires and releases it.
class PortArray {
 public:
  PortArray() = default;
  PortArray(const PortArray&) = delete;
  PortArray& operator=(const PortArray&) = delete;

 protected:
  template <std::size_t>
  friend class Binding;

  // Whether the host lent the array.
  bool acquire(XSI::ICENodeContext& context, const Port& port, bool is_output) {
    context_ = &context;
    port_ = &port;
    if (port.structure == kOnePerElement) {
      acquired_ = (is_output ? context.AcquireOutputDataArray(one_, port.data_type)
                             : context.AcquireInputDataArray(one_, port.data_type, port.id, 0))
                      .Succeeded();
      count_ = one_.GetCount();
    } else {
      acquired_ = (is_output ? context.AcquireOutputDataArray2D(many_, port.data_type)
                             : context.AcquireInputDataArray2D(many_, port.data_type, port.id, 0))
                      .Succeeded();
      count_ = many_.GetCount();
      constant_ = many_.IsConstant();
    }
    return acquired_;
  }

  void release() {
    if (!acquired_) return;
    if (port_->structure == kOnePerElement)
      context_->ReleaseDataArray(one_);
    else
      context_->ReleaseDataArray(many_);
  }

  XSI::ICENodeContext* context_ = nullptr;
  const Port* port_ = nullptr;
  XSI::CBaseDataArray one_;
  XSI::CBaseDataArray2D many_;
  // The array's count and constant flag, fixed from acquisition to release: read once.
  ULONG count_ = 0;
  bool constant_ = false;
  bool acquired_ = false;
};

class InputArray : public PortArray {
 public:
  std::wstring_view text(ULONG element) const {
    if (element >= count_) return {};
    const wchar_t* text = nullptr;
    ULONG length = 0;
    context_->GetStringData(one_, element, text, length);
    return text ? std::wstring_view(text, length) : std::wstring_view();
  }

  bool boolean(ULONG element) const {
    const auto* words = static_cast<const std::uint32_t*>(one_.GetData());
    if (element >= count_ || !words) return false;
    return ((words[element / 32] >> (element % 32)) & 1u) != 0;
  }

  // The item size GetSubArray hands back is not read: the host promises the pointer and the
  // count, and the port's data type says what an item is.
  template <class T>
  Items<T> items(ULONG element) const {
    if (element >= count_) return {};
    const void* data = nullptr;
    ULONG count = 0;
    ULONG unread_item_size = 0;
    context_->GetSubArray(many_, element, data, count, unread_item_size);
    if (!data) return {};
    return {static_cast<const T*>(data), count, constant_};
  }
};

template <std::size_t N>
using Inputs = std::array<InputArray, N>;

class OutputArray : public PortArray {
 public:
  // Element k of a one-text-per-element output.
  void write_text(ULONG k, std::wstring_view text) {
    if (k >= count_) return;
    const auto length = static_cast<ULONG>(text.size());
    wchar_t* buffer = nullptr;
    context_->ResizeStringData(one_, k, length, buffer);
    context_->SetStringData(one_, k, text.data(), length);
  }

  // Element k of an array-per-element numeric output, sized once to values.size(), every item
  // written: the host promises n writable items at the pointer and nothing of their content.
  // While the output's constant flag is set, slot 0 alone is written and ends holding the last
  // value. The count and item size ResizeSubArray hands back are not read.
  template <class T>
  void write_items(ULONG k, std::span<const T> values) {
    if (k >= count_) return;
    void* data = nullptr;
    ULONG unread_count = 0;
    ULONG unread_item_size = 0;
    const auto n = static_cast<ULONG>(values.size());
    context_->ResizeSubArray(many_, k, n, data, unread_count, unread_item_size);
    if (!data || n == 0) return;
    T* slots = static_cast<T*>(data);
    if (constant_) {
      slots[0] = values.back();
    } else {
      std::copy(values.begin(), values.end(), slots);
    }
  }

  // Element k of an array-per-element text output: exactly n texts, text_of(i) giving item i
  // as a view that stays valid until the next call of text_of. Each text is sized once, then
  // set. Nothing ResizeSubArray hands back is read: a text sub-array is written item by item.
  template <class TextOf>
  void write_text_items(ULONG k, ULONG n, TextOf&& text_of) {
    if (k >= count_) return;
    void* unread_items = nullptr;
    ULONG unread_count = 0;
    ULONG unread_item_size = 0;
    context_->ResizeSubArray(many_, k, n, unread_items, unread_count, unread_item_size);
    for (ULONG i = 0; i < n; ++i) {
      const std::wstring_view text = text_of(i);
      const auto length = static_cast<ULONG>(text.size());
      wchar_t* buffer = nullptr;
      context_->ResizeStringData2D(many_, k, i, length, buffer);
      context_->SetStringData2D(many_, k, i, text.data(), length);
    }
  }

  // The marker of a failed test, -1 in the output's own type, in element 0 alone: the text "-1",
  // or a sub-array of the one item -1 or -1.0.
  void write_marker() {
    if (port_->structure == kOnePerElement) {
      write_text(0, L"-1");
    } else if (port_->data_type == kFloat) {
      const float marker[] = {-1.0f};
      write_items<float>(0, marker);
    } else {
      const std::int32_t marker[] = {-1};
      write_items<std::int32_t>(0, marker);
    }
  }
};

// The data arrays of one call: acquires the output and then the inputs in table order, stopping
// at the first the host does not lend, and releases those it acquired in reverse order when it
// goes out of scope, whatever path the call takes.
template <std::size_t N>
class Binding {
 public:
  Binding(XSI::ICENodeContext& context, const NodeTable<N>& table) {
    if (!output.acquire(context, table.output, true)) return;
    for (std::size_t i = 0; i < N; ++i)
      if (!inputs[i].acquire(context, table.inputs[i], false)) return;
    complete_ = true;
  }

  ~Binding() {
    for (std::size_t i = N; i-- > 0;) inputs[i].release();
    output.release();
  }

  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

  // Whether the host lent every array.
  bool complete() const { return complete_; }

  OutputArray output;
  Inputs<N> inputs;

 private:
  bool complete_ = false;
};

// The index set of one call, released when it goes out of scope if the host lent it.
class IndexSetLease {
 public:
  explicit IndexSetLease(XSI::ICENodeContext& context)
      : context_(context), acquired_(context_.AcquireIndexSet(set_).Succeeded()) {}
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
void walk_bits(const std::uint32_t* words, ULONG count, Visit&& visit) {
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
// the set bits below the bit count, ascending; a list in stored order, holes skipped. Nothing
// past the set's count is read.
template <class Visit>
void walk_index_set(const XSI::CIndexSet& set, Visit&& visit) {
  const ULONG count = set.GetCount();
  const ULONG* data = set.GetData();
  switch (set.GetForm()) {
    case XSI::CIndexSet::Range:
      for (ULONG k = 0; k < count; ++k) visit(k);
      break;
    case XSI::CIndexSet::Bits:
      if (data) walk_bits(data, count, visit);
      break;
    case XSI::CIndexSet::List:
      if (!data) break;
      for (ULONG i = 0; i < count; ++i)
        if (data[i] != XSI::kNotFound) visit(data[i]);
      break;
  }
}

template <class Node>
XSI::CStatus evaluate(XSI::ICENodeContext& context) {
  constexpr const auto& table = Node::table;
  if (context.GetEvaluatedOutputPortID() != table.output.id) return XSI::CStatus::OK;

  Binding<table.input_count> bound(context, table);
  if (!bound.complete()) return XSI::CStatus::Fail;
  Node node;
  if constexpr (requires { node.prepare(bound.inputs); }) {
    switch (node.prepare(bound.inputs)) {
      case Prepared::walk:
        break;
      case Prepared::marker:
        bound.output.write_marker();
        return XSI::CStatus::OK;
      case Prepared::failed:
        return XSI::CStatus::MemoryUnavailable;
    }
  }
  const IndexSetLease index_set(context);
  if (!index_set.acquired()) return XSI::CStatus::Fail;
  walk_index_set(index_set.get(), [&](ULONG k) { node.write(bound.output, bound.inputs, k); });
  return XSI::CStatus::OK;
}

}  // namespace frame
