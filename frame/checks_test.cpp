// Nodes the frame must refuse to build, one per MISDECLARED case (frame/CMakeLists.txt): each
// compiles only as far as the declaration check that stops it, whose message and note the test
// reads.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frame/plugin.h"

namespace misdeclared {

#if MISDECLARED == 1
// Its second input is an integer; the computation takes a float for it.
struct Node {
  static constexpr frame::NodeTable<2> table{
      .name = L"misdeclared",
      .inputs = {{{0, L"Text", frame::kText, frame::kOnePerElement},
                  {1, L"Count", frame::kInteger, frame::kOnePerElement}}},
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };
  static std::wstring compute(std::wstring_view text, float count);
};
#elif MISDECLARED == 2
// Its output is an array of floats; the computation gives integers.
struct Node {
  static constexpr frame::NodeTable<1> table{
      .name = L"misdeclared",
      .inputs = {{{0, L"Text", frame::kText, frame::kOnePerElement}}},
      .output = {200, L"Values", frame::kFloat, frame::kArrayPerElement},
  };
  static std::vector<std::int32_t> compute(std::wstring_view text);
};
#elif MISDECLARED == 4
// An input of the shape SHAPE_TYPE, SHAPE_STRUCTURE, taken as a double, which no shape's
// computation takes.
struct Node {
  static constexpr frame::NodeTable<2> table{
      .name = L"misdeclared",
      .inputs = {{{0, L"Text", frame::kText, frame::kOnePerElement},
                  {1, L"Wrong", frame::SHAPE_TYPE, frame::SHAPE_STRUCTURE}}},
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };
  static std::wstring compute(std::wstring_view text, double wrong);
};
#else
// Two outputs, one computation.
struct Node {
  static constexpr frame::NodeTable<1, 2> table{
      .name = L"misdeclared",
      .inputs = {{{0, L"Text", frame::kText, frame::kOnePerElement}}},
      .outputs = {{{200, L"First", frame::kText, frame::kOnePerElement},
                   {201, L"Second", frame::kInteger, frame::kOnePerElement}}},
  };
  static std::wstring compute(frame::Output<0>, std::wstring_view text);
};
#endif

}  // namespace misdeclared

FRAME_NODE_PLUGIN(misdeclared, misdeclared::Node)
