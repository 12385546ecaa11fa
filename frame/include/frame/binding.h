// The data arrays of one call, bound to a node's port table: the output acquired first, then
// the inputs in table order, each released when the binding ends, the inputs last first and then
// the output, whatever path the call takes.
#pragma once

#include <cstddef>
#include <utility>

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

// Acquisition stops at the first array the host does not lend. Each array's SDK class follows
// its port's structure, so a plug-in imports only the SDK operations its own ports need.
template <class Node>
class Binding {
  static constexpr const auto& table = Node::table;

  template <std::size_t... I>
  static auto input_arrays(std::index_sequence<I...>)
      -> Chain<InputArray<table.inputs[I].data_type, table.inputs[I].structure>...>;

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

  OutputArray<table.output.data_type, table.output.structure> output;
  Inputs inputs;

 private:
  template <std::size_t... I>
  bool acquire_inputs(XSI::ICENodeContext& context, std::index_sequence<I...>) {
    return (link<I>(inputs).acquire_input(context, table.inputs[I]) && ...);
  }

  bool complete_ = false;
};

}  // namespace frame
