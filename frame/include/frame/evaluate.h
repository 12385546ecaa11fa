// The evaluation frame: one call of a node binds its computation, a plain function on plain
// values, to the host's evaluation context. Test the pulled port; acquire the output and then the
// inputs in table order (binding.h); acquire the index set and walk it, writing output element k
// for each index k (index_set.h); release everything in reverse order, on every path. A node of
// several outputs is evaluated for the one pulled, as a node of that one output (outputs.h); what
// a node may declare is checked first (checks.h).
//
// The table's reading picks one of three modes, a function each below. A computation that cannot
// get the storage it needs (NoResult::out_of_memory, or a text the SDK could not store for it)
// fails the call and writes no further element. A node's State, if it declares one, is made for
// each call on its stack, value-initialized, and handed to every computation of the call as its
// last argument: what one element may reuse from the one before, kept neither between calls nor
// between threads.
//
// The one status examined is an acquisition's: an array or index set the host did not lend
// cannot be read or written, so the call then writes nothing, not even the marker (its inputs
// were never seen), releases what it did acquire, and fails.
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

// Read once at element 0: one computation on element 0 of each input, before the index set is
// acquired; its result written to every evaluated element, or, unsuitable, the marker -1 (in the
// output's type) to element 0 alone.
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

// Read at each element: one computation per evaluated element k, on input element k (element 0
// of an input the host hands over as one value for every element).
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

// Item by item, for a node read at each element whose one input and output are arrays and whose
// computation takes one item: item i of output element k from item i of input element k, item 0
// standing for every item while the input's constant flag is set.
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
