// Building an evaluation of a registered node with its ports at their defaults.
#pragma once

#include <optional>
#include <vector>

#include "xsi_host.h"

namespace icehost {

// The elements an evaluation walks, in one of the host's three forms.
struct IndexChoice {
  enum class Form { range, bits, list };
  Form form = Form::range;
  std::optional<XSI::ULONG> range_count;  // range: 0 to C-1; nothing for every element
  std::vector<bool> bits;                 // bit i is element i; the bit count is bits.size()
  std::vector<XSI::ULONG> list;           // element indices in walk order, XSI::kNotFound a hole

  // Makes it the evaluation's index set, a range without a count covering element_count.
  void apply(xsi_host::Evaluation& evaluation, XSI::ULONG element_count) const;
  // Whether a walk of it yields element k, of element_count elements.
  bool holds(XSI::ULONG k, XSI::ULONG element_count) const;
};

// Declares every port of the node in the evaluation with element_count elements: each input
// holds its registered default in every element (an array-per-element input one item, the
// default, or no items when it registered none), the output is empty. Pulls the node's (first)
// output port and sets the range index set over all elements.
void declare_ports(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& node,
                   XSI::ULONG element_count);

// A registered default converted to a port's data type: a text for a text port, a boolean for
// a boolean port, a number for a numeric port (an integer default on a float port gives that
// float). Empty when the default does not fit the type.
xsi_host::Value default_for(const xsi_host::PortRecord& port);

// Stores value in element (all of its items for an array port: as many items as values holds).
void store(xsi_host::PortData& port, XSI::ULONG element,
           const std::vector<xsi_host::Value>& values);

// Hands values over as one value for every element: the port's constant flag set. A one-value
// port holds them in element 0, which stands for every element, and a value unlike them in every
// other element, so that a plug-in that reads past element 0 shows it. An array port, whose flag
// means that item 0 of a sub-array stands for each of its items, holds them in every element.
void store_constant(xsi_host::PortData& port, const std::vector<xsi_host::Value>& values);

// A value of the same type unlike value: a text with "\u2260 " (the not-equal sign and a space)
// before it, the other boolean, an integer's bitwise complement, a float negated (1 for a zero or
// a NaN).
xsi_host::Value unlike(const xsi_host::Value& value);

}  // namespace icehost
