#include "textjoin.h"

#include "frame/plugin.h"
#include "text_unicode/characters.h"

namespace textjoin {

std::wstring TextJoin::compute(const frame::Texts& texts, std::wstring_view delimiter) {
  std::wstring joined;
  for (frame::ULONG j = 0; j < texts.size(); ++j) {
    if (j > 0) text_unicode::append_joined(joined, delimiter);
    text_unicode::append_joined(joined, texts[j]);
  }
  return joined;
}

}  // namespace textjoin

FRAME_NODE_PLUGIN(textjoin, textjoin::TextJoin)
