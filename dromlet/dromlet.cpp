// dromlet: cuts a delimited text into pieces and gives every evaluated element the pieces read
// as 32-bit signed integers, cut and read once from element 0 of each input. A text that lacks
// the delimiter (an empty delimiter included: it occurs nowhere) leaves the marker -1 in output
// element 0 alone. A delimiter that begins with a digit is accepted.
#include <cstdint>

#include "frame/plugin.h"
#include "frame/text_to_numbers.h"

namespace dromlet {

constexpr frame::NodeTable<2> kTable = frame::text_to_numbers_table(
    L"dromlet", L"1,2,3,4,5,6,7,8,9", {208, L"Integer", frame::kInteger, frame::kArrayPerElement});

// No test of its own on the delimiter: one that begins with a digit is accepted.
struct Dromlet : frame::TextToNumbers<std::int32_t> {
  static constexpr const frame::NodeTable<2>& table = kTable;
};

}  // namespace dromlet

FRAME_NODE_PLUGIN(dromlet, dromlet::Dromlet)
