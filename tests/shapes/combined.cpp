// Test nodes that combine shapes, read at each evaluated element: "joined" gives a text and an
// integer as one text ("a" and 3 give "a3"), for a constant input beside a varying one;
// "counted" gives the count of an element's texts; "parted", of two outputs, gives a text's
// characters as texts (200) and their count (201), and throws from the computation of the output
// its text names ("throws 200"), so that a call shows which computations it ran.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

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

struct Parted {
  static constexpr frame::NodeTable<1, 2> table{
      .name = L"parted",
      .inputs = {{{0, L"Text", frame::kText, frame::kOnePerElement}}},
      .outputs = {{{200, L"Characters", frame::kText, frame::kArrayPerElement},
                   {201, L"Count", frame::kInteger, frame::kOnePerElement}}},
  };
  static std::vector<std::wstring> compute(frame::Output<0>, std::wstring_view text) {
    if (text == L"throws 200") throw std::runtime_error("Characters computed");
    std::vector<std::wstring> characters;
    for (const wchar_t c : text) characters.emplace_back(1, c);
    return characters;
  }
  static std::int32_t compute(frame::Output<1>, std::wstring_view text) {
    if (text == L"throws 201") throw std::runtime_error("Count computed");
    return static_cast<std::int32_t>(text.size());
  }
};

}  // namespace shapes

#if defined(COMBINED_JOINED)
FRAME_NODE_PLUGIN(joined, shapes::Joined)
#elif defined(COMBINED_PARTED)
FRAME_NODE_PLUGIN(parted, shapes::Parted)
#else
FRAME_NODE_PLUGIN(counted, shapes::Counted)
#endif
