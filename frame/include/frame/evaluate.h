// The evaluation frame: binds a node's computation, a plain function on plain values, to the
// host's evaluation context.
//
// One call: test the pulled port; acquire the output array and then the inputs in table order;
// acquire the index set and walk it, writing output element k for each index k; release
// everything in reverse order of acquisition, on every path; report success.
//
// A node of several outputs is evaluated for the one the host pulls, exactly as a node of that
// one output: its own computation runs, and no other output's (OutputOf below).
//
// A computation takes one argument per input, in table order, and gives one value of the
// output's shape (docs/new-node.md tables both):
//   one value per element   a text as std::wstring_view (or as const XSI::CString& when it asks
//                           the SDK's text operations of it), a boolean as bool, an integer as
//                           std::int32_t, a float as float; a text result as std::wstring (or
//                           anything with a view()), the others as themselves;
//   an array per element    Items<bool>, Items<std::int32_t>, Items<float> or Texts, read-only
//                           views honouring the constant flag; a result as a sized range of
//                           items (frame::Numbers, std::vector).
// The table's reading says when it runs:
//  * once at element 0: once per call, on element 0 of each input, before the index set is
//    acquired; its result goes to every evaluated element. It may give a Result: an unsuitable
//    one leaves the marker -1, in the output's type, in output element 0 alone;
//  * at each element: for each evaluated element k, on input element k (element 0 of an input
//    the host hands over as one value for every element). A node whose one input and output are
//    arrays and whose computation takes one item is computed item by item instead: item i of
//    output element k from item i of input element k, item 0 standing for every item while the
//    input's constant flag is set.
// A computation that cannot get the storage it needs (NoResult::out_of_memory, or a text the
// SDK could not store for it) fails the call, and writes no further element.
//
// A node may declare a per-call state, Node::State: the frame makes one for each call, on the
// stack of the call, value-initialized, before the first computation, and hands it to every
// computation of the call as its last argument (Node::State&). A computation keeps there what it
// may reuse from one element to the next (a pattern compiled from a text that has not changed); it
// ends with the call, so nothing is kept between calls or shared between threads.
//
// The one status the frame examines is an acquisition's: an array or index set the host did not
// lend cannot be read or written, so the call then writes nothing, not even the marker (its
// inputs were never seen), releases what it did acquire, and reports a failure.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <ranges>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "frame/host_text.h"
#include "frame/node.h"
#include "frame/ports.h"

namespace frame {

// Arrays released last first: members end in reverse order of their declaration.
template <class... Arrays>
struct Chain {};
template <class First, class... Rest>
struct Chain<First, Rest...> {
  First first;
  Chain<Rest...> rest;
};
template <std::size_t I, class First, class... Rest>
auto& link(Chain<First, Rest...>& chain) {
  if constexpr (I == 0)
    return chain.first;
  else
    return link<I - 1>(chain.rest);
}

// The data arrays of one call: acquires the output and then the inputs in table order, stopping
// at the first the host does not lend; each releases itself, the inputs last first and then the
// output, whatever path the call takes. Each array's SDK class follows its port's structure, so
// a plug-in imports only the SDK operations its own ports need.
template <class Node>
class Binding {
  static constexpr const auto& table = Node::table;

  template <std::size_t... I>
  static auto input_arrays(std::index_sequence<I...>)
      -> Chain<InputArray<table.inputs[I].structure>...>;

 public:
  static constexpr std::size_t input_count = table.input_count;
  using Inputs = decltype(input_arrays(std::make_index_sequence<input_count>()));

  explicit Binding(XSI::ICENodeContext& context) {
    if (!output.acquire_output(context, table.output)) return;
    complete_ = acquire_inputs(context, std::make_index_sequence<input_count>());
  }
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;

  // Whether the host lent every array.
  bool complete() const { return complete_; }
  template <std::size_t I>
  auto& input() {
    return link<I>(inputs);
  }

  OutputArray<table.output.structure> output;
  Inputs inputs;

 private:
  template <std::size_t... I>
  bool acquire_inputs(XSI::ICENodeContext& context, std::index_sequence<I...>) {
    return (input<I>().acquire_input(context, table.inputs[I]) && ...);
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

// Acquires the index set and calls write(k) for each element of it; a failure when the host does
// not lend it.
template <class Write>
XSI::CStatus walk(XSI::ICENodeContext& context, Write&& write) {
  const IndexSetLease index_set(context);
  if (!index_set.acquired()) return sdk::not_lent();
  walk_index_set(index_set.get(), write);
  return sdk::success();
}

// ---- Computations ------------------------------------------------------------------------

// What a computation gives, and its parameters without const or reference.
template <class Function>
struct Signature;
template <class Gives, class... Takes>
struct Signature<Gives (*)(Takes...)> {
  using Result = Gives;
  using Parameters = std::tuple<std::remove_cvref_t<Takes>...>;
};
template <class Node>
using Computed = typename Signature<decltype(&Node::compute)>::Result;
template <class Node>
inline constexpr std::size_t kParameters =
    std::tuple_size_v<typename Signature<decltype(&Node::compute)>::Parameters>;
template <class Node, std::size_t I>
using Parameter = std::tuple_element_t<I, typename Signature<decltype(&Node::compute)>::Parameters>;

// The per-call state a node declares (none when it declares no State), and its computation run
// on the arguments and that state.
template <class Node>
concept HasState = requires {
  typename Node::State;
};
template <class Node>
struct CallState {};
template <HasState Node>
struct CallState<Node> {
  typename Node::State state{};
};
template <class Node, class... Arguments>
auto compute(CallState<Node>& call, const Arguments&... arguments) {
  if constexpr (HasState<Node>)
    return Node::compute(arguments..., call.state);
  else
    return Node::compute(arguments...);
}

// Whether T is the frame's Result; whether a value is there (an optional may hold none); and
// the value a Result or an optional holds.
template <class T>
inline constexpr bool is_result = false;
template <class T>
inline constexpr bool is_result<Result<T>> = true;
template <class T>
bool present(const T&) {
  return true;
}
template <class T>
bool present(const std::optional<T>& value) {
  return value.has_value();
}
template <class T>
const T& value_of(const T& value) {
  return value;
}
template <class T>
const T& value_of(const Result<T>& result) {
  return *result;
}
template <class T>
const T& value_of(const std::optional<T>& value) {
  return *value;
}

// Input element k of port I as its computation's argument: a text made into the host's text
// when the computation asks for that (nothing when the SDK could not store it whole).
template <class Node, std::size_t I>
auto argument(typename Binding<Node>::Inputs& inputs, ULONG k) {
  auto& in = link<I>(inputs);
  if constexpr (std::is_same_v<Parameter<Node, I>, XSI::CString>)
    return to_cstring(in.template read<kText>(k));
  else
    return in.template read<Node::table.inputs[I].data_type>(k);
}

// Runs the computation on each input read at element(its array) and hands its result to use;
// false when the SDK could not store an argument. Each argument is made in place, in input
// order, and never copied; so is the result.
template <class Node, std::size_t I = 0, class Element, class Use, class... Made>
bool run_computation(typename Binding<Node>::Inputs& inputs, CallState<Node>& call,
                     Element&& element, Use&& use, const Made&... arguments) {
  if constexpr (I == Node::table.input_count) {
    use(compute<Node>(call, arguments...));
    return true;
  } else {
    const auto next = argument<Node, I>(inputs, element(link<I>(inputs)));
    if (!present(next)) return false;
    return run_computation<Node, I + 1>(inputs, call, element, use, arguments..., value_of(next));
  }
}

// Writes a computation's value to output element k, in the output's shape.
template <ULONG DataType, ULONG Structure, class Result>
void write_value(OutputArray<Structure>& out, ULONG k, const Result& value) {
  if constexpr (Structure == kArrayPerElement && std::ranges::contiguous_range<const Result&>)
    out.template write_items<DataType>(k, static_cast<ULONG>(std::ranges::size(value)),
                                       std::ranges::data(value));
  else if constexpr (Structure == kArrayPerElement)
    out.template write_items<DataType>(k, static_cast<ULONG>(std::ranges::size(value)),
                                       [&](ULONG i) { return value[i]; });
  else if constexpr (DataType == kText)
    out.write(k, value);
  else
    out.write(k, static_cast<Value<DataType>>(value));
}

// The marker of inputs that do not suit, -1 in the output's own type, in element 0 alone: the
// text "-1" or the number -1, alone or as a sub-array of that one item.
template <ULONG DataType, ULONG Structure>
void write_marker(OutputArray<Structure>& out) {
  static_assert(DataType != kBoolean, "a boolean output has no marker -1");
  const Value<DataType> marker[] = {[] {
    if constexpr (DataType == kText)
      return std::wstring_view(L"-1");
    else
      return Value<DataType>(-1);
  }()};
  if constexpr (Structure == kArrayPerElement)
    write_value<DataType, Structure>(out, 0, marker);
  else
    write_value<DataType, Structure>(out, 0, marker[0]);
}

// ---- What a node may declare -------------------------------------------------------------

constexpr bool has_a_shape(const Port& port) {
  return (port.data_type == kBoolean || port.data_type == kInteger || port.data_type == kFloat ||
          port.data_type == kText) &&
         (port.structure == kOnePerElement || port.structure == kArrayPerElement);
}

// The argument an input of a shape gives a computation.
template <ULONG DataType, ULONG Structure>
using Read =
    std::conditional_t<Structure == kOnePerElement, Value<DataType>,
                       std::conditional_t<DataType == kText, Texts, Items<Value<DataType>>>>;

// Whether T is a value of a data type (a text: anything with characters to view), or, for an
// array, a sized range of them.
template <ULONG DataType, ULONG Structure, class T>
constexpr bool is_value() {
  if constexpr (Structure == kArrayPerElement) {
    if constexpr (std::ranges::sized_range<T>)
      return is_value<DataType, kOnePerElement, std::ranges::range_value_t<T>>();
    else
      return false;
  } else if constexpr (DataType == kText) {
    return requires(const T& value) { view_of(value); };
  } else {
    return std::is_same_v<T, Value<DataType>>;
  }
}

// Which port a declaration check is about: input I of the table (counting from 0), or the
// output. A failed check names it in the compiler's note on the instantiation of suits.
template <std::size_t I>
struct InputPort {};
struct OutputPort {};

// Whether a computation takes what an input of a shape gives (Takes) and gives what an output of
// it holds (Gives): one static_assert per shape names the shape when not, and the compiler's
// note on the instantiation, suits<Which, ...>, the port. void is anything.
template <class Which, ULONG DataType, ULONG Structure, class Takes, class Gives>
constexpr bool suits() {
  constexpr bool one = Structure == kOnePerElement;
  constexpr bool gives = [] {
    if constexpr (std::is_void_v<Gives>)
      return true;
    else
      return is_value<DataType, Structure, Gives>();
  }();
  constexpr bool ok = (std::is_void_v<Takes> || std::is_same_v<Takes, Read<DataType, Structure>> ||
                       (one && DataType == kText && std::is_same_v<Takes, XSI::CString>)) &&
                      gives;
  // The port: Which, in the compiler's note on this instantiation (InputPort<i>, input i of the
  // table counting from 0, or OutputPort).
  static_assert(ok || !one || DataType != kText,
                "a one-text port (Which: see the note on frame::suits): compute takes "
                "std::wstring_view or const XSI::CString&, and gives std::wstring (or anything "
                "with a view())");
  static_assert(ok || !one || DataType != kBoolean,
                "a one-boolean port (Which: see the note on frame::suits): compute takes and "
                "gives bool");
  static_assert(ok || !one || DataType != kInteger,
                "a one-integer port (Which: see the note on frame::suits): compute takes and "
                "gives std::int32_t");
  static_assert(ok || !one || DataType != kFloat,
                "a one-float port (Which: see the note on frame::suits): compute takes and "
                "gives float");
  static_assert(ok || one || DataType != kText,
                "an array-of-texts port (Which: see the note on frame::suits): compute takes "
                "frame::Texts, gives a sized range of std::wstring");
  static_assert(ok || one || DataType != kBoolean,
                "an array-of-booleans port (Which: see the note on frame::suits): compute takes "
                "frame::Items<bool>, gives a sized range of bool");
  static_assert(ok || one || DataType != kInteger,
                "an array-of-integers port (Which: see the note on frame::suits): compute takes "
                "frame::Items<std::int32_t>, gives a sized range of std::int32_t");
  static_assert(ok || one || DataType != kFloat,
                "an array-of-floats port (Which: see the note on frame::suits): compute takes "
                "frame::Items<float>, gives a sized range of float");
  return ok;
}

template <class Node, std::size_t... I>
constexpr bool takes_its_inputs(std::index_sequence<I...>) {
  constexpr auto& inputs = Node::table.inputs;
  return (
      suits<InputPort<I>, inputs[I].data_type, inputs[I].structure, Parameter<Node, I>, void>() &&
      ...);
}

// Whether the node is computed item by item: read at each element, its one input and its output
// numeric or boolean arrays, its computation taking one item.
template <class Node>
constexpr bool computes_item_by_item() {
  constexpr const auto& table = Node::table;
  if constexpr (table.reading != Reading::at_each_element || table.input_count != 1 ||
                table.inputs[0].structure != kArrayPerElement ||
                table.output.structure != kArrayPerElement || table.inputs[0].data_type == kText)
    return false;
  else
    return std::is_same_v<Parameter<Node, 0>, Value<table.inputs[0].data_type>>;
}

template <class Node>
constexpr bool declared_well() {
  constexpr const auto& table = Node::table;
  constexpr bool shaped = [] {
    for (const Port& port : table.inputs)
      if (!has_a_shape(port)) return false;
    return has_a_shape(table.output);
  }();
  static_assert(shaped,
                "a port's data type is kBoolean, kInteger, kFloat or kText, and its structure "
                "kOnePerElement or kArrayPerElement");
  constexpr bool arity =
      kParameters<Node> ==
      (computes_item_by_item<Node>() ? 1 : table.input_count) + (HasState<Node> ? 1 : 0);
  static_assert(arity,
                "compute takes one argument per input, in table order, then the node's State& "
                "when it declares one");
  if constexpr (!shaped || !arity) {
    return false;
  } else {
    using Gives = std::remove_cvref_t<decltype(value_of(std::declval<Computed<Node>>()))>;
    static_assert(table.reading == Reading::once_at_element_0 || !is_result<Computed<Node>>,
                  "a node read at each element has a value for every element: no marker");
    if constexpr (computes_item_by_item<Node>())
      return suits<OutputPort, table.output.data_type, kOnePerElement, void, Gives>();
    else
      return takes_its_inputs<Node>(std::make_index_sequence<table.input_count>()) &&
             suits<OutputPort, table.output.data_type, table.output.structure, void, Gives>();
  }
}

// ---- Nodes of several outputs ----------------------------------------------------------

// The computation of output O: the one overload of compute whose first parameter is Output<O>.
template <std::size_t O, class Gives, class... Takes>
auto computation_of(Gives (*compute)(Output<O>, Takes...)) -> decltype(compute);

template <class Node, std::size_t O>
concept computes_output = requires {
  computation_of<O>(&Node::compute);
};

// The per-call state of a node of several outputs, which each output's call makes anew.
template <class Node>
struct StateOf {};
template <HasState Node>
struct StateOf<Node> {
  using State = typename Node::State;
};

// Output O of a node of several outputs as a node of that one output: the table of that output
// alone, its computation and its per-call state. The frame binds, walks and checks it as any
// node of one output.
template <class Node, std::size_t O,
          class Computation = decltype(computation_of<O>(&Node::compute))>
struct OutputOf;
template <class Node, std::size_t O, class Gives, class... Takes>
struct OutputOf<Node, O, Gives (*)(Output<O>, Takes...)> : StateOf<Node> {
  static constexpr auto table = Node::table.only(O);
  static Gives compute(Takes... arguments) {
    return Node::compute(Output<O>{}, static_cast<Takes&&>(arguments)...);
  }
};

template <class Node, std::size_t... O>
constexpr bool outputs_declared_well(std::index_sequence<O...>) {
  constexpr const auto& table = Node::table;
  constexpr bool computed = (computes_output<Node, O> && ...);
  static_assert(computed,
                "a node of several outputs has one compute(frame::Output<O>, inputs...) for each "
                "output, O its place in the table's outputs from 0");
  constexpr bool distinct = [] {
    for (std::size_t i = 0; i < table.output_count; ++i) {
      for (std::size_t j = 0; j < i; ++j)
        if (table.outputs[j].id == table.outputs[i].id) return false;
      for (const Port& input : table.inputs)
        if (input.id == table.outputs[i].id) return false;
    }
    return true;
  }();
  static_assert(distinct, "each output's port id is its own, no other port's");
  if constexpr (!computed || !distinct)
    return false;
  else
    return (declared_well<OutputOf<Node, O>>() && ...);
}

// ---- One call ----------------------------------------------------------------------------

// The pulled output's evaluation: the node's one output, or one output of several as OutputOf.
template <class Node>
XSI::CStatus evaluate_output(XSI::ICENodeContext& context) {
  constexpr const auto& table = Node::table;
  constexpr ULONG kType = table.output.data_type;
  constexpr ULONG kStructure = table.output.structure;
  if constexpr (!declared_well<Node>()) {
    return sdk::unexpected();
  } else {
    Binding<Node> bound(context);
    if (!bound.complete()) return sdk::not_lent();
    CallState<Node> call;

    if constexpr (computes_item_by_item<Node>()) {
      auto& in = bound.template input<0>();
      return walk(context, [&](ULONG k) {
        const auto items = in.template read<table.inputs[0].data_type>(k);
        bound.output.template write_items<kType>(
            k, items.count, [&](ULONG i) { return compute<Node>(call, items[i]); });
      });
    } else if constexpr (table.reading == Reading::once_at_element_0) {
      XSI::CStatus status = sdk::success();
      auto at_element_0 = [](auto&) -> ULONG { return 0; };
      const bool stored =
          run_computation<Node>(bound.inputs, call, at_element_0, [&](const auto& result) {
            if constexpr (is_result<Computed<Node>>) {
              if (!result.has_value()) {
                if (result.why() == NoResult::out_of_memory) {
                  status = sdk::out_of_memory();
                } else {
                  write_marker<kType, kStructure>(bound.output);
                }
                return;
              }
            }
            const auto& value = value_of(result);
            status = walk(context, [&](ULONG k) { write_value<kType>(bound.output, k, value); });
          });
      return stored ? status : sdk::out_of_memory();
    } else {
      bool stored = true;
      const XSI::CStatus walked = walk(context, [&](ULONG k) {
        auto at_k = [k](auto& in) { return in.standing_for(k); };
        if (stored)
          stored = run_computation<Node>(bound.inputs, call, at_k, [&](const auto& value) {
            write_value<kType>(bound.output, k, value);
          });
      });
      return stored ? walked : sdk::out_of_memory();
    }
  }
}

// The output of several that the host pulled, from output O on; a port that is none of them is
// left untouched.
template <class Node, std::size_t O = 0>
XSI::CStatus evaluate_pulled(XSI::ICENodeContext& context, ULONG pulled) {
  if constexpr (O == Node::table.output_count) {
    return sdk::success();
  } else {
    if (pulled == Node::table.outputs[O].id) return evaluate_output<OutputOf<Node, O>>(context);
    return evaluate_pulled<Node, O + 1>(context, pulled);
  }
}

// One call of the node's evaluation: the pulled output evaluated, or, when the host pulls a port
// that is not the node's, nothing acquired and nothing written.
template <class Node>
XSI::CStatus evaluate(XSI::ICENodeContext& context) {
  constexpr const auto& table = Node::table;
  if constexpr (table.output_count == 1) {
    if (context.GetEvaluatedOutputPortID() != table.output.id) return sdk::success();
    return evaluate_output<Node>(context);
  } else if constexpr (!outputs_declared_well<Node>(
                           std::make_index_sequence<table.output_count>())) {
    return sdk::unexpected();
  } else {
    return evaluate_pulled<Node>(context, context.GetEvaluatedOutputPortID());
  }
}

}  // namespace frame
