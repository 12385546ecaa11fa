// The evaluation frame: binds a node's computation, a plain function on plain values, to the
// host's evaluation context.
//
// One call: test the pulled port; acquire the output array and then the inputs in table order
// (binding.h); acquire the index set and walk it, writing output element k for each index k
// (index_set.h); release everything in reverse order of acquisition, on every path; report
// success. A node of several outputs is evaluated for the one the host pulls, exactly as a node
// of that one output (outputs.h). What a node may declare is checked first (checks.h).
//
// A computation takes one argument per input, in table order, and gives one value of the
// output's shape (docs/new-node.md, "Port shapes", tables both). The table's reading says when
// it runs:
//  * once at element 0: once per call, on element 0 of each input, before the index set is
//    acquired; its result goes to every evaluated element. It may give a Result: an unsuitable
//    one leaves the marker -1, in the output's type, in output element 0 alone;
//  * at each element: for each evaluated element k, on input element k (element 0 of an input
//    the host hands over as one value for every element);
//  * item by item, for a node read at each element whose one input and output are arrays and
//    whose computation takes one item: item i of output element k from item i of input element
//    k, item 0 standing for every item while the input's constant flag is set.
// A computation that cannot get the storage it needs (NoResult::out_of_memory, or a text the
// SDK could not store for it) fails the call, and writes no further element.
//
// A node may declare a per-call state, Node::State: made for each call, on the stack of the
// call, value-initialized, and handed to every computation of the call as its last argument
// (Node::State&), for what one element may reuse from the one before (a pattern compiled from a
// text that has not changed). It ends with the call: nothing is kept between calls or shared
// between threads.
//
// The one status the frame examines is an acquisition's: an array or index set the host did not
// lend cannot be read or written, so the call then writes nothing, not even the marker (its
// inputs were never seen), releases what it did acquire, and reports a failure.
#pragma once

#include <cstddef>
#include <utility>

#include "frame/binding.h"
#include "frame/checks.h"
#include "frame/computation.h"
#include "frame/index_set.h"
#include "frame/node.h"
#include "frame/outputs.h"

namespace frame {

// Read once at element 0: one computation, its result written to every evaluated element, or
// the marker, or a failed call.
template <class Node>
XSI::CStatus evaluate_once(XSI::ICENodeContext& context, Binding<Node>& bound,
                           CallState<Node>& call) {
  XSI::CStatus status = sdk::success();
  auto at_element_0 = [](auto&) -> ULONG { return 0; };
  const bool stored =
      run_computation<Node>(bound.inputs, call, at_element_0, [&](const auto& result) {
        if constexpr (is_result<Computed<Node>>) {
          if (!result.has_value()) {
            if (result.why() == NoResult::out_of_memory)
              status = sdk::out_of_memory();
            else
              write_marker(bound.output);
            return;
          }
        }
        const auto& value = value_of(result);
        status = walk(context, [&](ULONG k) { write_value(bound.output, k, value); });
      });
  return stored ? status : sdk::out_of_memory();
}

// Read at each element: one computation per evaluated element k, on input element k.
template <class Node>
XSI::CStatus evaluate_each(XSI::ICENodeContext& context, Binding<Node>& bound,
                           CallState<Node>& call) {
  bool stored = true;
  const XSI::CStatus walked = walk(context, [&](ULONG k) {
    auto at_k = [k](auto& in) { return in.standing_for(k); };
    if (stored)
      stored = run_computation<Node>(bound.inputs, call, at_k, [&](const auto& value) {
        write_value(bound.output, k, value);
      });
  });
  return stored ? walked : sdk::out_of_memory();
}

// Item by item: one computation per item of each evaluated element.
template <class Node>
XSI::CStatus evaluate_items(XSI::ICENodeContext& context, Binding<Node>& bound,
                            CallState<Node>& call) {
  auto& in = link<0>(bound.inputs);
  return walk(context, [&](ULONG k) {
    const auto items = in.read(k);
    bound.output.write_items(k, items.count,
                             [&](ULONG i) { return compute<Node>(call, items[i]); });
  });
}

// The evaluation of a node of one output, or of one output of several as OutputOf.
template <class Node>
XSI::CStatus evaluate_output(XSI::ICENodeContext& context) {
  if constexpr (!declared_well<Node>()) {
    return sdk::unexpected();
  } else {
    Binding<Node> bound(context);
    if (!bound.complete()) return sdk::not_lent();
    CallState<Node> call;
    if constexpr (computes_item_by_item<Node>())
      return evaluate_items<Node>(context, bound, call);
    else if constexpr (Node::table.reading == Reading::once_at_element_0)
      return evaluate_once<Node>(context, bound, call);
    else
      return evaluate_each<Node>(context, bound, call);
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
