// What a node may declare, checked at compile time: every port of one of the eight shapes the
// frame serves, the computation taking and giving what each port's shape says, one computation
// per output. A declaration that does not suit stops at one static_assert, which says what the
// shape wants and where docs/new-node.md tells it; the compiler's note on the instantiation
// names the port (Port = frame::PortLabel{"input Count", 1}: which input or output, its name
// and its id).
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

template <class T>
inline constexpr bool is_text = requires(const T& value) {
  view_of(value);
};

// Whether T is a sized range of texts, or of Item.
template <class T>
constexpr bool is_texts() {
  if constexpr (std::ranges::sized_range<T>)
    return is_text<std::ranges::range_value_t<T>>;
  else
    return false;
}
template <class T, class Item>
constexpr bool is_items() {
  if constexpr (std::ranges::sized_range<T>)
    return std::is_same_v<std::ranges::range_value_t<T>, Item>;
  else
    return false;
}

// The eight port shapes, a data type in one value or in an array per element, one
// specialization each: whether T, what the computation takes for the port (an input) or gives
// for it (an output), suits the shape.
template <ULONG DataType, ULONG Structure, PortLabel Port, class T>
struct Suits;

template <PortLabel Port, class T>
struct Suits<kText, kOnePerElement, Port, T> {
  static constexpr bool value =
      is_input(Port) ? std::is_same_v<T, std::wstring_view> || std::is_same_v<T, XSI::CString>
                     : is_text<T>;
  static_assert(value,
                "a one-text port (Port, in the note) takes std::wstring_view or const "
                "XSI::CString&, gives std::wstring or anything with a view(): "
                "docs/new-node.md, \"Port shapes\"");
};
template <PortLabel Port, class T>
struct Suits<kBoolean, kOnePerElement, Port, T> {
  static constexpr bool value = std::is_same_v<T, bool>;
  static_assert(value,
                "a one-boolean port (Port, in the note) takes and gives bool: docs/new-node.md, "
                "\"Port shapes\"");
};
template <PortLabel Port, class T>
struct Suits<kInteger, kOnePerElement, Port, T> {
  static constexpr bool value = std::is_same_v<T, std::int32_t>;
  static_assert(value,
                "a one-integer port (Port, in the note) takes and gives std::int32_t: "
                "docs/new-node.md, \"Port shapes\"");
};
template <PortLabel Port, class T>
struct Suits<kFloat, kOnePerElement, Port, T> {
  static constexpr bool value = std::is_same_v<T, float>;
  static_assert(value,
                "a one-float port (Port, in the note) takes and gives float: docs/new-node.md, "
                "\"Port shapes\"");
};
template <PortLabel Port, class T>
struct Suits<kText, kArrayPerElement, Port, T> {
  static constexpr bool value = is_input(Port) ? std::is_same_v<T, Texts> : is_texts<T>();
  static_assert(value,
                "an array-of-texts port (Port, in the note) takes frame::Texts, gives a sized "
                "range of std::wstring: docs/new-node.md, \"Port shapes\"");
};
template <PortLabel Port, class T>
struct Suits<kBoolean, kArrayPerElement, Port, T> {
  static constexpr bool value =
      is_input(Port) ? std::is_same_v<T, Items<bool>> : is_items<T, bool>();
  static_assert(value,
                "an array-of-booleans port (Port, in the note) takes frame::Items<bool>, gives a "
                "sized range of bool: docs/new-node.md, \"Port shapes\"");
};
template <PortLabel Port, class T>
struct Suits<kInteger, kArrayPerElement, Port, T> {
  static constexpr bool value =
      is_input(Port) ? std::is_same_v<T, Items<std::int32_t>> : is_items<T, std::int32_t>();
  static_assert(value,
                "an array-of-integers port (Port, in the note) takes frame::Items<std::int32_t>, "
                "gives a sized range of std::int32_t: docs/new-node.md, \"Port shapes\"");
};
template <PortLabel Port, class T>
struct Suits<kFloat, kArrayPerElement, Port, T> {
  static constexpr bool value =
      is_input(Port) ? std::is_same_v<T, Items<float>> : is_items<T, float>();
  static_assert(value,
                "an array-of-floats port (Port, in the note) takes frame::Items<float>, gives a "
                "sized range of float: docs/new-node.md, \"Port shapes\"");
};

constexpr bool has_a_shape(const Port& port) {
  return (port.data_type == kBoolean || port.data_type == kInteger || port.data_type == kFloat ||
          port.data_type == kText) &&
         (port.structure == kOnePerElement || port.structure == kArrayPerElement);
}

template <class Node, std::size_t... I>
constexpr bool takes_its_inputs(std::index_sequence<I...>) {
  constexpr auto& inputs = Node::table.inputs;
  return (Suits<inputs[I].data_type, inputs[I].structure, label_of(inputs[I], true),
                Parameter<Node, I>>::value &&
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
      return Suits<table.output.data_type, kOnePerElement, output, Gives>::value;
    else
      return takes_its_inputs<Node>(std::make_index_sequence<table.input_count>()) &&
             Suits<table.output.data_type, table.output.structure, output, Gives>::value;
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
