// A node of several outputs seen as one node per output: the table of that output alone, its
// computation and its per-call state, which the frame binds, checks and evaluates as any node of
// one output, so that a call runs the pulled output's computation and no other.
#pragma once

#include <cstddef>

#include "frame/computation.h"
#include "frame/node.h"

namespace frame {

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

}  // namespace frame
