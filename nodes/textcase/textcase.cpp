#include "textcase.h"

#include "frame/plugin.h"

namespace textcase {

text_unicode::CaseMapped TextCase::compute(std::wstring_view text, bool upper) {
  return text_unicode::CaseMapped(text,
                                  upper ? text_unicode::Case::upper : text_unicode::Case::lower);
}

}  // namespace textcase

FRAME_NODE_PLUGIN(textcase, textcase::TextCase)
