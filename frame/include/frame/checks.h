// What a node may declare, checked at compile time: every port of one of the eight shapes the
// frame serves, the computation taking and giving what each port's shape says, one computation
// per output. A declaration that does not suit stops at one static_assert, which points at
// docs/new-node.md; the compiler's note on the instantiation names the port's shape, the port
// and the type: Check<frame::OneValue<int>, frame::PortLabel{"input Count", 1}, float>.
#pragma once

#include <cstddef>
#include <ranges>
#include <string_view>
#include <type_traits>
#include <utility>

#include "frame/computation.h"
#include "frame/node.h"
#include "frame/outputs.h"
#include "frame/ports.h"

namespace frame {

// A port as a compiler's note can show it: "input " or "output " and its name (ASCII, other
// characters as '?', cut at 39 characters), and its id.
struct PortLabel {
  char name[40] = {};
  ULONG id = 0;
};

constexpr PortLabel label_of(const Port& port, bool input) {
  PortLabel label;
  std::size_t n = 0;
  for (const char c : std::string_view(input ? "input " : "output ")) label.name[n++] = c;
  for (const wchar_t* c = port.name; c && *c && n + 1 < sizeof label.name; ++c)
    label.name[n++] = *c > 0 && *c < 0x7F ? static_cast<char>(*c) : '?';
  label.id = port.id;
  return label;
}

constexpr bool is_input(const PortLabel& label) { return label.name[0] == 'i'; }

// What a computation takes for an input of a shape, and gives for an output of it: a row of the
// table below. A computation that does not suit stops at Check, whose note shows the row, the
// port and the type it took or gave.
template <class Item>
struct OneValue {};  // bool, std::int32_t or float
struct OneText {};
template <class Item>
struct ArrayOf {};  // of bool, std::int32_t or float
struct ArrayOfTexts {};

template <class T>
inline constexpr bool is_text = requires(const T& value) {
  view_of(value);
};

template <class T, class Item>
constexpr bool takes(OneValue<Item>) {
  return std::is_same_v<T, Item>;
}
template <class T>
constexpr bool takes(OneText) {
  return std::is_same_v<T, std::wstring_view> || std::is_same_v<T, XSI::CString>;
}
template <class T, class Item>
constexpr bool takes(ArrayOf<Item>) {
  return std::is_same_v<T, Items<Item>>;
}
template <class T>
constexpr bool takes(ArrayOfTexts) {
  return std::is_same_v<T, Texts>;
}

template <class T, class Item>
constexpr bool gives(OneValue<Item>) {
  return std::is_same_v<T, Item>;
}
template <class T>
constexpr bool gives(OneText) {
  return is_text<T>;
}
// A sized range of Item (or of texts).
template <class T, class Item>
constexpr bool gives(ArrayOf<Item>) {
  if constexpr (std::ranges::sized_range<T>)
    return gives<std::ranges::range_value_t<T>>(OneValue<Item>{});
  else
    return false;
}
template <class T>
constexpr bool gives(ArrayOfTexts) {
  if constexpr (std::ranges::sized_range<T>)
    return is_text<std::ranges::range_value_t<T>>;
  else
    return false;
}

// The eight port shapes, a data type in one value or in an array per element: one row each.
template <ULONG DataType, ULONG Structure>
struct Shape;
// clang-format off
template <> struct Shape<kText, kOnePerElement> { using Row = OneText; };
template <> struct Shape<kBoolean, kOnePerElement> { using Row = OneValue<bool>; };
template <> struct Shape<kInteger, kOnePerElement> { using Row = OneValue<std::int32_t>; };
template <> struct Shape<kFloat, kOnePerElement> { using Row = OneValue<float>; };
template <> struct Shape<kText, kArrayPerElement> { using Row = ArrayOfTexts; };
template <> struct Shape<kBoolean, kArrayPerElement> { using Row = ArrayOf<bool>; };
template <> struct Shape<kInteger, kArrayPerElement> { using Row = ArrayOf<std::int32_t>; };
template <> struct Shape<kFloat, kArrayPerElement> { using Row = ArrayOf<float>; };
// clang-format on

// Whether T, what a computation takes for Port (an input) or gives for it (the output), suits
// the port's row. The compiler's note on a failed check reads Check<row, port, T>.
template <class Row, PortLabel Port, class T>
struct Check {
  static constexpr bool value = is_input(Port) ? takes<T>(Row{}) : gives<T>(Row{});
  static_assert(value,
                "compute takes for an input, or gives for the output, what the port's shape "
                "says (the note reads Check<the shape, the port, the type taken or given>): "
                "docs/new-node.md, \"Port shapes\"");
};
template <ULONG DataType, ULONG Structure, PortLabel Port, class T>
inline constexpr bool suits = Check<typename Shape<DataType, Structure>::Row, Port, T>::value;

constexpr bool has_a_shape(const Port& port) {
  return (port.data_type == kBoolean || port.data_type == kInteger || port.data_type == kFloat ||
          port.data_type == kText) &&
         (port.structure == kOnePerElement || port.structure == kArrayPerElement);
}

template <class Node, std::size_t... I>
constexpr bool takes_its_inputs(std::index_sequence<I...>) {
  constexpr auto& inputs = Node::table.inputs;
  return (suits<inputs[I].data_type, inputs[I].structure, label_of(inputs[I], true),
                Parameter<Node, I>> &&
          ...);
}

// Whether a node of one output is declared as the frame can serve it.
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
                "kOnePerElement or kArrayPerElement: docs/new-node.md, \"Port shapes\"");
  constexpr bool arity =
      kParameters<Node> ==
      (computes_item_by_item<Node>() ? 1 : table.input_count) + (HasState<Node> ? 1 : 0);
  static_assert(arity,
                "compute takes one argument per input, in table order, then the node's State& "
                "when it declares one: docs/new-node.md, \"2. Declare the node\"");
  if constexpr (!shaped || !arity) {
    return false;
  } else {
    using Gives = std::remove_cvref_t<decltype(value_of(std::declval<Computed<Node>>()))>;
    static_assert(table.reading == Reading::once_at_element_0 || !is_result<Computed<Node>>,
                  "a node read at each element has a value for every element, no marker: "
                  "docs/new-node.md, \"Port shapes\"");
    constexpr PortLabel output = label_of(table.output, false);
    if constexpr (computes_item_by_item<Node>())
      return suits<table.output.data_type, kOnePerElement, output, Gives>;
    else
      return takes_its_inputs<Node>(std::make_index_sequence<table.input_count>()) &&
             suits<table.output.data_type, table.output.structure, output, Gives>;
  }
}

// Whether a node of several outputs is: one computation per output, each declared well as the
// node of that one output, and no two ports of one id.
template <class Node, std::size_t... O>
constexpr bool outputs_declared_well(std::index_sequence<O...>) {
  constexpr const auto& table = Node::table;
  constexpr bool computed = (computes_output<Node, O> && ...);
  static_assert(computed,
                "a node of several outputs has one compute(frame::Output<O>, inputs...) for each "
                "output, O its place in the table's outputs from 0: docs/new-node.md, \"7. A node "
                "of several outputs\"");
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

}  // namespace frame
