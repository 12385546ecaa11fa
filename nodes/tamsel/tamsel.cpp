#include "tamsel.h"

#include "frame/plugin.h"

namespace tamsel {

number_text::Text Tamsel::compute(std::int32_t number) { return number_text::format(number); }

}  // namespace tamsel

FRAME_NODE_PLUGIN(tamsel, tamsel::Tamsel)
