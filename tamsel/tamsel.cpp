// tamsel: turns each evaluated element's array of 32-bit signed integers into an array of texts
// of the same length, item i the plain decimal text of integer i.
#include <cstdint>

#include "frame/numbers_to_text.h"
#include "frame/plugin.h"

namespace tamsel {

struct Tamsel : frame::NumbersToText<std::int32_t> {
  static constexpr frame::NodeTable<1> table{
      .name = L"tamsel",
      .inputs = {{{0, L"Integer", frame::kInteger, frame::kArrayPerElement,
                   frame::integer_value(0)}}},
      .output = {200, L"String", frame::kText, frame::kArrayPerElement},
  };
};

}  // namespace tamsel

FRAME_NODE_PLUGIN(tamsel, tamsel::Tamsel)
