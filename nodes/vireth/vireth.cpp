#include "vireth.h"

#include "frame/plugin.h"

namespace vireth {

number_text::Text Vireth::compute(float number) { return number_text::format(number); }

}  // namespace vireth

FRAME_NODE_PLUGIN(vireth, vireth::Vireth)
