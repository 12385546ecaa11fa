// A test node of one port shape, built once per shape (tests/shapes/CMakeLists.txt names it
// ECHO_NAME and gives it ECHO_TYPE and ECHO_STRUCTURE): read at each evaluated element, its
// output element k is its input element k, a text, a boolean, a number, or an array of any of
// them, item for item.
#include <string>
#include <vector>

#include "frame/plugin.h"

namespace shapes {

template <frame::ULONG kType, frame::ULONG kStructure>
struct EchoOf {
#define ECHO_WIDE(name) L"" #name
#define ECHO_TEXT(name) ECHO_WIDE(name)
  static constexpr frame::NodeTable<1> table{
      .name = ECHO_TEXT(ECHO_NAME),
      .inputs = {{{0, L"In", kType, kStructure}}},
      .output = {200, L"Out", kType, kStructure},
  };

  static auto compute(frame::Read<kType, kStructure> in) {
    if constexpr (kStructure == frame::kOnePerElement && kType == frame::kText) {
      return std::wstring(in);
    } else if constexpr (kStructure == frame::kOnePerElement) {
      return in;
    } else {
      using Item = std::conditional_t<kType == frame::kText, std::wstring, frame::Value<kType>>;
      std::vector<Item> items;
      for (frame::ULONG i = 0; i < in.size(); ++i) items.emplace_back(in[i]);
      return items;
    }
  }
};
using Echo = EchoOf<frame::ECHO_TYPE, frame::ECHO_STRUCTURE>;

}  // namespace shapes

// The export's name is the node's: ECHO_NAME expanded before it is pasted.
#define ECHO_PLUGIN(name) FRAME_NODE_PLUGIN(name, shapes::Echo)
ECHO_PLUGIN(ECHO_NAME)
