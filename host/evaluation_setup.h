// Building an evaluation of a registered node with its ports at their defaults.
#pragma once

#include <optional>
#include <string_view>
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

// Every port of the node with element_count elements, each input at its registered default (an
// array input: that one item, or none), the first output pulled, a range over every element.
void declare_ports(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& node,
                   XSI::ULONG element_count);

// The node's first output port, or null.
const xsi_host::PortRecord* first_output(const xsi_host::NodeRecord& node);

// Stores values in element: the first for a one-value port, all as items for an array port.
void store(xsi_host::PortData& port, XSI::ULONG element,
           const std::vector<xsi_host::Value>& values);

// values handed over as one for every element, the constant flag set: a one-value port holds
// them in element 0 and, so that a node reading past it shows it, the type's decoy for port_name
// elsewhere ("\u2260String abc"); an array port holds them in every element.
void store_constant(xsi_host::PortData& port, const std::vector<xsi_host::Value>& values,
                    std::wstring_view port_name);

}  // namespace icehost
