#include "texttrim.h"

#include "frame/plugin.h"
#include "text_unicode/text_unicode.h"

namespace texttrim {

std::wstring_view TextTrim::compute(std::wstring_view text, std::int32_t mode) {
  constexpr std::int32_t kStart = 1;
  constexpr std::int32_t kEnd = 2;
  std::size_t first = 0;
  std::size_t end = text.size();
  if (mode != kEnd)
    while (first < end && text_unicode::is_white_space(text[first])) ++first;
  if (mode != kStart)
    while (end > first && text_unicode::is_white_space(text[end - 1])) --end;
  return text.substr(first, end - first);
}

}  // namespace texttrim

FRAME_NODE_PLUGIN(texttrim, texttrim::TextTrim)
