#include "textfind.h"

#include "frame/plugin.h"
#include "text_search/text_search.h"

namespace textfind {

std::int32_t TextFind::compute(std::wstring_view text, std::wstring_view sub) {
  return text_search::as_int32(text_search::find_first(text, sub));
}

}  // namespace textfind

FRAME_NODE_PLUGIN(textfind, textfind::TextFind)
