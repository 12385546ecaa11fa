// The evaluation frame: binds a node's computation, a plain function on plain values, to the
// host's evaluation context.
//
// One call: test the pulled port; acquire the output array and then the inputs in table order;
// give the computation its arguments; acquire the index set, walk it and write each element;
// release everything in reverse order of acquisition, on every path; report success. A node
// computes in one of two ways, chosen by its table:
//  * once per call, when every input holds one value per element: compute takes element 0 of
//    each input (a text as std::wstring_view, or as const XSI::CString& when it asks the SDK's
//    text operations of it; a boolean as bool) and gives the result every evaluated element
//    receives (a text as std::wstring; an array of numbers as Numbers or a vector), or why there
//    is none: inputs that do not suit leave the marker -1, in the output's type, in output
//    element 0 alone;
//  * item by item, when its one input holds an array per element: compute takes one number and
//    gives its text (number_text::Text), and element k of the output gets one text per item of
//    input element k.
//
// The frame never reads or writes past an array's element count: an element that is not there
// reads as empty (an empty text, false, no items) and is not written. The one status it
// examines is an acquisition's: an array or index set the host did not lend cannot be read or
// written, so the call then writes nothing, not even the marker (its inputs were never seen),
// releases what it did acquire, and reports Fail.
#pragma once

#include <algorithm>
#include <bit>
#include <concepts>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "frame/host_text.h"
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

// The C++ type of an item of a numeric port.
template <ULONG DataType>
using Number = std::conditional_t<DataType == kFloat, float, std::int32_t>;

// The SDK's array class for a port of either structure.
template <ULONG Structure>
using HostArray =
    std::conditional_t<Structure == kOnePerElement, XSI::CBaseDataArray, XSI::CBaseDataArray2D>;

// One port's data array for one call: acquired from the context, released by the Binding.
template <ULONG Structure>
class PortArray {
 public:
  PortArray() = default;
  PortArray(const PortArray&) = delete;
  PortArray& operator=(const PortArray&) = delete;

  // Whether the host lent the array.
  bool acquire_output(XSI::ICENodeContext& context, const Port& port) {
    context_ = &context;
    if constexpr (Structure == kOnePerElement)
      acquired_ = sdk::lent(context.AcquireOutputDataArray(array_, port.data_type));
    else
      acquired_ = sdk::lent(context.AcquireOutputDataArray2D(array_, port.data_type));
    return bound();
  }
  bool acquire_input(XSI::ICENodeContext& context, const Port& port) {
    context_ = &context;
    if constexpr (Structure == kOnePerElement)
      acquired_ = sdk::lent(context.AcquireInputDataArray(array_, port.data_type, port.id, 0));
    else
      acquired_ = sdk::lent(context.AcquireInputDataArray2D(array_, port.data_type, port.id, 0));
    return bound();
  }

  void release() {
    if (acquired_) context_->ReleaseDataArray(array_);
  }

 protected:
  bool bound() {
    // The count and constant flag are fixed from acquisition to release: read once.
    count_ = sdk::element_count(array_);
    if constexpr (Structure == kArrayPerElement) constant_ = sdk::is_constant(array_);
    return acquired_;
  }

  XSI::ICENodeContext* context_ = nullptr;
  HostArray<Structure> array_;
  ULONG count_ = 0;
  bool constant_ = false;
  bool acquired_ = false;
};

template <ULONG Structure>
class InputArray : public PortArray<Structure> {
 public:
  // Element i of a text input: exactly its characters, no terminator looked for.
  std::wstring_view text(ULONG element) requires(Structure == kOnePerElement) {
    if (element >= this->count_) return {};
    const sdk::Characters text = sdk::get_string_data(*this->context_, this->array_, element);
    return text.data ? std::wstring_view(text.data, text.length) : std::wstring_view();
  }

  // Element i of a boolean input: its bit of the array's words.
  bool boolean(ULONG element) requires(Structure == kOnePerElement) {
    const ULONG* words = sdk::boolean_words(this->array_);
    if (element >= this->count_ || !words) return false;
    return ((words[element / 32] >> (element % 32)) & 1u) != 0;
  }

  // Element i of a numeric array input: the host promises the pointer and the count, and the
  // port's data type says what an item is.
  template <class T>
  Items<T> items(ULONG element) requires(Structure == kArrayPerElement) {
    if (element >= this->count_) return {};
    const sdk::SubArray sub = sdk::get_sub_array(*this->context_, this->array_, element);
    if (!sub.items) return {};
    return {static_cast<const T*>(sub.items), sub.count, this->constant_};
  }
};

template <ULONG Structure>
class OutputArray : public PortArray<Structure> {
 public:
  // Element k of a one-text-per-element output, sized then set.
  void write(ULONG k, std::wstring_view text) requires(Structure == kOnePerElement) {
    if (k >= this->count_) return;
    const auto length = static_cast<ULONG>(text.size());
    sdk::resize_string_data(*this->context_, this->array_, k, length);
    sdk::set_string_data(*this->context_, this->array_, k, text.data(), length);
  }

  // Element k of an array-per-element numeric output, sized once to values.size(), every item
  // written: the host promises n writable items at the pointer and nothing of their content.
  // While the output's constant flag is set, slot 0 alone is written and ends holding the last
  // value.
  template <class T>
  void write(ULONG k, std::span<const T> values) requires(Structure == kArrayPerElement) {
    if (k >= this->count_) return;
    const auto n = static_cast<ULONG>(values.size());
    void* data = sdk::resize_sub_array(*this->context_, this->array_, k, n);
    if (!data || n == 0) return;
    T* slots = static_cast<T*>(data);
    if (this->constant_) {
      slots[0] = values.back();
    } else {
      std::copy(values.begin(), values.end(), slots);
    }
  }

  // Element k of an array-per-element text output: exactly n texts, text_of(i) giving item i
  // by value, its characters in view(); held here, so that it is built in place and never
  // copied. Each text is sized once, then set. The pointer ResizeSubArray gives is not read: a
  // text sub-array is written item by item.
  template <class TextOf>
  void write_texts(ULONG k, ULONG n, TextOf&& text_of) requires(Structure == kArrayPerElement) {
    if (k >= this->count_) return;
    sdk::resize_sub_array(*this->context_, this->array_, k, n);
    for (ULONG i = 0; i < n; ++i) {
      const auto item = text_of(i);
      const std::wstring_view text = item.view();
      const auto length = static_cast<ULONG>(text.size());
      sdk::resize_string_data_2d(*this->context_, this->array_, k, i, length);
      sdk::set_string_data_2d(*this->context_, this->array_, k, i, text.data(), length);
    }
  }
};

// The marker of inputs that do not suit, -1 in the output's own type, in element 0 alone: the
// text "-1", or a sub-array of the one item -1 or -1.0.
template <ULONG Structure, ULONG DataType>
void write_marker(OutputArray<Structure>& out) {
  if constexpr (Structure == kOnePerElement) {
    static_assert(DataType == kText, "a one-value output marks with a text");
    out.write(0, L"-1");
  } else {
    const Number<DataType> marker[] = {-1};
    out.template write<Number<DataType>>(0, marker);
  }
}

// The data arrays of one call: acquires the output and then the inputs in table order, stopping
// at the first the host does not lend, and releases those it acquired in reverse order when it
// goes out of scope, whatever path the call takes.
template <class Node>
class Binding {
  static constexpr const auto& table = Node::table;

  template <std::size_t... I>
  static auto input_arrays(std::index_sequence<I...>)
      -> std::tuple<InputArray<table.inputs[I].structure>...>;

 public:
  static constexpr std::size_t input_count = table.input_count;
  using Inputs = decltype(input_arrays(std::make_index_sequence<input_count>()));

  explicit Binding(XSI::ICENodeContext& context) {
    if (!output.acquire_output(context, table.output)) return;
    complete_ = acquire_inputs(context, std::make_index_sequence<input_count>());
  }

  ~Binding() {
    std::apply([](auto&... arrays) { release_last_first(arrays...); }, inputs);
    output.release();
  }

  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

  // Whether the host lent every array.
  bool complete() const { return complete_; }

  OutputArray<table.output.structure> output;
  Inputs inputs;

 private:
  template <std::size_t... I>
  bool acquire_inputs(XSI::ICENodeContext& context, std::index_sequence<I...>) {
    return (std::get<I>(inputs).acquire_input(context, table.inputs[I]) && ...);
  }

  static void release_last_first() {}
  template <class First, class... Rest>
  static void release_last_first(First& first, Rest&... rest) {
    release_last_first(rest...);
    first.release();
  }

  bool complete_ = false;
};

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
// the set bits below the bit count, ascending; a list in stored order, holes skipped. Nothing
// past the set's count is read.
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

// Acquires the index set and calls write(k) for each element of it; Fail when the host does
// not lend it.
template <class Write>
XSI::CStatus walk(XSI::ICENodeContext& context, Write&& write) {
  const IndexSetLease index_set(context);
  if (!index_set.acquired()) return sdk::not_lent();
  walk_index_set(index_set.get(), write);
  return sdk::success();
}

// What a computation gives, and its parameters without const or reference.
template <class Function>
struct Signature;
template <class Result, class... Parameter>
struct Signature<Result (*)(Parameter...)> {
  using Gives = Result;
  using Takes = std::tuple<std::remove_cvref_t<Parameter>...>;
};
template <class Node>
using Gives = typename Signature<decltype(&Node::compute)>::Gives;
template <class Node, std::size_t I>
using Parameter = std::tuple_element_t<I, typename Signature<decltype(&Node::compute)>::Takes>;

// Element 0 of an input as its computation's argument of type Argument: a text as a view of the
// host's characters, or, for a computation that asks the host's own text operations of it, as
// the host's text, made once from those characters (nothing when the SDK could not store it
// whole); a boolean as bool.
template <ULONG DataType, class Argument>
auto argument(InputArray<kOnePerElement>& in) {
  static_assert(DataType == kText || DataType == kBoolean,
                "a node computed once per call takes texts and booleans");
  if constexpr (std::is_same_v<Argument, XSI::CString>)
    return to_cstring(in.text(0));
  else if constexpr (DataType == kText)
    return in.text(0);
  else
    return in.boolean(0);
}

// Whether an argument was made, and the argument itself.
template <class T>
bool made(const T&) {
  return true;
}
template <class T>
bool made(const std::optional<T>& argument) {
  return argument.has_value();
}
template <class T>
const T& made_value(const T& argument) {
  return argument;
}
template <class T>
const T& made_value(const std::optional<T>& argument) {
  return *argument;
}

// Whether the node computes item by item: its one input holds an array per element.
template <class Node>
inline constexpr bool computes_item_by_item =
    Node::table.input_count == 1 && Node::table.inputs[0].structure == kArrayPerElement;

template <class Node>
constexpr bool every_input_one_per_element() {
  for (const Port& port : Node::table.inputs)
    if (port.structure != kOnePerElement) return false;
  return true;
}

// The computation once per call, on element 0 of each input; out of memory when the SDK could
// not store an argument. Each argument is made in place, in input order, and never copied.
template <class Node, std::size_t I = 0, class... Made>
Gives<Node> compute_once(typename Binding<Node>::Inputs& inputs, const Made&... arguments) {
  if constexpr (I == Node::table.input_count) {
    return Node::compute(arguments...);
  } else {
    const auto next =
        argument<Node::table.inputs[I].data_type, Parameter<Node, I>>(std::get<I>(inputs));
    if (!made(next)) return NoResult::out_of_memory;
    return compute_once<Node, I + 1>(inputs, arguments..., made_value(next));
  }
}

template <class Node>
XSI::CStatus evaluate(XSI::ICENodeContext& context) {
  constexpr const auto& table = Node::table;
  if (context.GetEvaluatedOutputPortID() != table.output.id) return sdk::success();

  Binding<Node> bound(context);
  if (!bound.complete()) return sdk::not_lent();

  if constexpr (computes_item_by_item<Node>) {
    static_assert(table.output.data_type == kText && table.output.structure == kArrayPerElement,
                  "a node computed item by item gives an array of texts");
    using Item = Number<table.inputs[0].data_type>;
    auto& in = std::get<0>(bound.inputs);
    return walk(context, [&](ULONG k) {
      const Items<Item> items = in.template items<Item>(k);
      bound.output.write_texts(k, items.count, [&](ULONG i) { return Node::compute(items[i]); });
    });
  } else {
    static_assert(every_input_one_per_element<Node>(),
                  "a node computed once per call reads one value per element of each input");
    const auto result = compute_once<Node>(bound.inputs);
    if (!result.has_value()) {
      if (result.why() == NoResult::out_of_memory) return sdk::out_of_memory();
      write_marker<table.output.structure, table.output.data_type>(bound.output);
      return sdk::success();
    }
    const auto& value = *result;
    return walk(context, [&](ULONG k) {
      if constexpr (table.output.structure == kOnePerElement)
        bound.output.write(k, std::wstring_view(value));
      else
        bound.output.template write<typename std::decay_t<decltype(value)>::value_type>(
            k, {value.data(), value.size()});
    });
  }
}

}  // namespace frame
