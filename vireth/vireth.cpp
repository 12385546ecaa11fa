// vireth: turns each evaluated element's array of 32-bit floats into an array of texts of the
// same length, item i the shortest text that reads back to float i.
#include "frame/numbers_to_text.h"
#include "frame/plugin.h"

namespace vireth {

struct Vireth : frame::NumbersToText<float> {
  static constexpr frame::NodeTable<1> table{
      .name = L"vireth",
      .inputs = {{{0, L"Scalar", frame::kFloat, frame::kArrayPerElement, frame::integer_value(0)}}},
      .output = {200, L"String", frame::kText, frame::kArrayPerElement},
  };
};

}  // namespace vireth

FRAME_NODE_PLUGIN(vireth, vireth::Vireth)
