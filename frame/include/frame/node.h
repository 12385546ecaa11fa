// A node's declaration: its name and its port table, which registration and evaluation both
// read, and what its computation gives back.
//
//   struct Trimlet {
//     static constexpr frame::NodeTable<1> table{
//         .name = L"trimlet",
//         .inputs = {{
//             // The text to trim.
//             {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L" a ")},
//         }},
//         // The text without white space at either end.
//         .output = {200, L"Result", frame::kText, frame::kOnePerElement},
//     };
//     static frame::Result<std::wstring> compute(std::wstring_view text);
//   };
//
// A node of several outputs lists them in .outputs, and has one computation per output, told
// apart by the output's place in that list, from 0:
//
//   struct Parted {
//     static constexpr frame::NodeTable<1, 2> table{
//         .name = L"parted",
//         .inputs = {{{0, L"String", frame::kText, frame::kOnePerElement}}},
//         .outputs = {{
//             {200, L"Head", frame::kText, frame::kOnePerElement},
//             {201, L"Size", frame::kInteger, frame::kOnePerElement},
//         }},
//     };
//     static std::wstring compute(frame::Output<0>, std::wstring_view text);
//     static std::int32_t compute(frame::Output<1>, std::wstring_view text);
//   };
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "frame/sdk_binding.h"
#include "frame/values.h"

namespace frame {

// A port's data type.
inline constexpr ULONG kBoolean = 1;
inline constexpr ULONG kInteger = 2;  // 32-bit signed
inline constexpr ULONG kFloat = 4;    // 32-bit
inline constexpr ULONG kText = 131072;

// A port's structure.
inline constexpr ULONG kOnePerElement = 1;
inline constexpr ULONG kArrayPerElement = 2;

// What a text search gives when it finds nothing, and a hole in a list-form index set.
inline constexpr ULONG kNotFound = 0xFFFFFFFF;

// An input port's default value.
struct Default {
  enum class Kind { none, text, boolean, integer, real };
  Kind kind = Kind::none;
  const wchar_t* text = nullptr;
  bool boolean = false;
  int integer = 0;
  float real = 0.0f;
};

constexpr Default text_value(const wchar_t* text) { return {Default::Kind::text, text}; }
constexpr Default boolean_value(bool value) { return {Default::Kind::boolean, nullptr, value}; }
constexpr Default integer_value(int value) {
  return {Default::Kind::integer, nullptr, false, value};
}
constexpr Default float_value(float value) {
  return {Default::Kind::real, nullptr, false, 0, value};
}
// An array-per-element port's default of no items: it registers no default value, which the
// host takes for an empty array. (Any other default of an array port is its one item.)
constexpr Default no_items() { return {}; }

struct Port {
  ULONG id = 0;
  const wchar_t* name = nullptr;  // also the script name
  ULONG data_type = kText;
  ULONG structure = kOnePerElement;
  Default default_value = {};  // inputs only
};

// Where a node reads its inputs: by default (a table's .reading), as graph nodes normally do,
// at each evaluated element: element k of the output from element k of each input (element 0 of
// an input the host hands over as one value for every element); or at element 0, once per call,
// its one result going to every evaluated element.
enum class Reading { once_at_element_0, at_each_element };

struct Colour {
  int red, green, blue;
};

struct Version {
  ULONG major, minor;
};

// What registration needs of a node, whatever its number of inputs and outputs.
struct NodeInfo {
  const wchar_t* name;
  const wchar_t* author;
  std::span<const Port> inputs;
  std::span<const Port> outputs;
  Colour colour;
  const wchar_t* category;
  Version version;
};

inline constexpr const wchar_t* kAuthor = L"Mira Vandersloot";  // the plug-ins' author
inline constexpr Colour kColour = {87, 112, 102};
inline constexpr const wchar_t* kCategory = L"Custom ICENode";

// A node's port table: its inputs in ascending id (also their acquisition order, and the order
// of its computation's arguments), then its outputs; how it reads its inputs; and how the host
// shows it. A node of one output (OutputCount 1, the usual) names it .output; one of several
// lists them in .outputs, each evaluated when the host pulls its port.
template <std::size_t InputCount, std::size_t OutputCount = 1>
struct NodeTable {
  static_assert(OutputCount > 1, "a node has at least one output");
  static constexpr std::size_t input_count = InputCount;
  static constexpr std::size_t output_count = OutputCount;

  const wchar_t* name;
  const wchar_t* author = kAuthor;  // the plug-in's author, as registered
  Reading reading = Reading::at_each_element;
  std::array<Port, InputCount> inputs;
  std::array<Port, OutputCount> outputs;
  Colour colour = kColour;
  const wchar_t* category = kCategory;
  Version version = {1, 0};

  constexpr NodeInfo info() const {
    return {name, author, inputs, outputs, colour, category, version};
  }
  // The table of output o alone, as a node of that one output would declare it.
  constexpr NodeTable<InputCount> only(std::size_t o) const {
    return {name, author, reading, inputs, outputs[o], colour, category, version};
  }
};

template <std::size_t InputCount>
struct NodeTable<InputCount, 1> {
  static constexpr std::size_t input_count = InputCount;
  static constexpr std::size_t output_count = 1;

  const wchar_t* name;
  const wchar_t* author = kAuthor;  // the plug-in's author, as registered
  Reading reading = Reading::at_each_element;
  std::array<Port, InputCount> inputs;
  Port output;
  Colour colour = kColour;
  const wchar_t* category = kCategory;
  Version version = {1, 0};

  constexpr NodeInfo info() const {
    return {name, author, inputs, {&output, 1}, colour, category, version};
  }
};

// Whether two zero-terminated wide texts are equal; lets the export macro check at compile time
// that a node is exported under its own name.
constexpr bool same_name(const wchar_t* a, const wchar_t* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace frame
