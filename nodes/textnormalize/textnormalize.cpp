#include "textnormalize.h"

#include "frame/plugin.h"

namespace textnormalize {

text_unicode::Normalized TextNormalize::compute(std::wstring_view text, std::int32_t form) {
  if (form < 0 || form > 3) return text_unicode::Normalized::unchanged(text);
  return text_unicode::Normalized(text, static_cast<text_unicode::NormalForm>(form));
}

}  // namespace textnormalize

FRAME_NODE_PLUGIN(textnormalize, textnormalize::TextNormalize)
