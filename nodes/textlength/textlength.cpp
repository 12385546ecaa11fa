#include "textlength.h"

#include "frame/plugin.h"
#include "text_unicode/characters.h"

namespace textlength {

std::int32_t TextLength::compute(std::wstring_view text) {
  return frame::as_int32(text_unicode::count_characters(text));
}

}  // namespace textlength

FRAME_NODE_PLUGIN(textlength, textlength::TextLength)
