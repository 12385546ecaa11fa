// Test nodes that combine shapes, read at each evaluated element: "joined" gives a text and an
// integer as one text ("a" and 3 give "a3"), for a constant input beside a varying one;
// "counted" gives the count of an element's texts.
#include <cstdint>
#include <string>

#include "frame/plugin.h"

namespace shapes {

struct Joined {
  static constexpr frame::NodeTable<2> table{
      .name = L"joined",
      .inputs = {{{0, L"Text", frame::kText, frame::kOnePerElement},
                  {1, L"Number", frame::kInteger, frame::kOnePerElement}}},
      .output = {200, L"Out", frame::kText, frame::kOnePerElement},
  };
  static std::wstring compute(std::wstring_view text, std::int32_t number) {
    return std::wstring(text) + std::to_wstring(number);
  }
};

struct Counted {
  static constexpr frame::NodeTable<1> table{
      .name = L"counted",
      .inputs = {{{0, L"Texts", frame::kText, frame::kArrayPerElement}}},
      .output = {200, L"Count", frame::kInteger, frame::kOnePerElement},
  };
  static std::int32_t compute(const frame::Texts& texts) {
    return static_cast<std::int32_t>(texts.size());
  }
};

}  // namespace shapes

#if defined(COMBINED_JOINED)
FRAME_NODE_PLUGIN(joined, shapes::Joined)
#else
FRAME_NODE_PLUGIN(counted, shapes::Counted)
#endif
