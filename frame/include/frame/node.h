// A node's declaration: its name and its port table, read by both registration and evaluation.
//
//   struct Kestrune {
//     static constexpr frame::NodeTable<3> table{
//         .name = L"kestrune",
//         .inputs = {{{0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"")},
//                     ...}},
//         .output = {200, L"Result", frame::kText, frame::kOnePerElement},
//     };
//     ...
//   };
#pragma once

#include <array>
#include <cstddef>
#include <span>

// The host SDK: the one line to change to build the plug-ins against another SDK.
#include "xsi_sdk.h"

namespace frame {

using XSI::ULONG;

inline constexpr ULONG kBoolean = XSI::siICENodeDataBool;
inline constexpr ULONG kInteger = XSI::siICENodeDataLong;
inline constexpr ULONG kFloat = XSI::siICENodeDataFloat;
inline constexpr ULONG kText = XSI::siICENodeDataString;

inline constexpr ULONG kOnePerElement = XSI::siICENodeStructureSingle;
inline constexpr ULONG kArrayPerElement = XSI::siICENodeStructureArray;

// An input port's default value.
struct Default {
  enum class Kind { none, text, boolean, integer };
  Kind kind = Kind::none;
  const wchar_t* text = nullptr;
  bool boolean = false;
  int integer = 0;
};

constexpr Default text_value(const wchar_t* text) { return {Default::Kind::text, text, false, 0}; }
constexpr Default boolean_value(bool value) { return {Default::Kind::boolean, nullptr, value, 0}; }
constexpr Default integer_value(int value) {
  return {Default::Kind::integer, nullptr, false, value};
}

struct Port {
  ULONG id = 0;
  const wchar_t* name = nullptr;  // also the script name
  ULONG data_type = kText;
  ULONG structure = kOnePerElement;
  Default default_value = {};  // inputs only
};

// What registration needs of a node, whatever its number of inputs.
struct NodeInfo {
  const wchar_t* name;
  std::span<const Port> inputs;
  const Port& output;
};

// A node's port table: its inputs in ascending id (also their acquisition order), then its
// one output.
template <std::size_t InputCount>
struct NodeTable {
  static constexpr std::size_t input_count = InputCount;

  const wchar_t* name;
  std::array<Port, InputCount> inputs;
  Port output;

  constexpr NodeInfo info() const { return {name, inputs, output}; }
};

// Whether two zero-terminated wide texts are equal; lets the export macro check at compile time
// that a node is exported under its own name.
constexpr bool same_name(const wchar_t* a, const wchar_t* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

}  // namespace frame
