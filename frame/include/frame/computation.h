// A node's computation called on one element: its signature read, its arguments made from the
// input arrays, its per-call state handed over, and its value written to the output array.
#pragma once

#include <cstddef>
#include <optional>
#include <ranges>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "frame/binding.h"
#include "frame/host_text.h"
#include "frame/ports.h"

namespace frame {

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
  if constexpr (std::is_same_v<Parameter<Node, I>, XSI::CString>)
    return to_cstring(link<I>(inputs).read(k));
  else
    return link<I>(inputs).read(k);
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
template <ULONG DataType, ULONG Structure, class Given>
void write_value(OutputArray<DataType, Structure>& out, ULONG k, const Given& value) {
  if constexpr (Structure == kArrayPerElement && std::ranges::contiguous_range<const Given&>)
    out.write_items(k, static_cast<ULONG>(std::ranges::size(value)), std::ranges::data(value));
  else if constexpr (Structure == kArrayPerElement)
    out.write_items(k, static_cast<ULONG>(std::ranges::size(value)),
                    [&](ULONG i) { return value[i]; });
  else
    out.write(k, value);
}

// The marker of inputs that do not suit, -1 in the output's own type, in element 0 alone: the
// text "-1" or the number -1, alone or as a sub-array of that one item.
template <ULONG DataType, ULONG Structure>
void write_marker(OutputArray<DataType, Structure>& out) {
  static_assert(DataType != kBoolean, "a boolean output has no marker -1");
  const Value<DataType> marker[] = {[] {
    if constexpr (DataType == kText)
      return std::wstring_view(L"-1");
    else
      return Value<DataType>(-1);
  }()};
  if constexpr (Structure == kArrayPerElement)
    write_value(out, 0, marker);
  else
    write_value(out, 0, marker[0]);
}

}  // namespace frame
