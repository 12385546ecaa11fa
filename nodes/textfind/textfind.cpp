#include "textfind.h"

#include <cstddef>

#include "frame/plugin.h"
#include "text_search/text_search.h"
#include "text_unicode/characters.h"

namespace textfind {

std::int32_t TextFind::compute(frame::Output<0>, std::wstring_view text, std::wstring_view sub) {
  const std::size_t at = text_search::find_first(text, sub);
  if (at == text_search::npos) return -1;
  return frame::as_int32(text_unicode::count_characters(text.substr(0, at)));
}

std::int32_t TextFind::compute(frame::Output<1>, std::wstring_view text, std::wstring_view sub) {
  text_search::Occurrences occurrences(text, sub);
  std::size_t count = 0;
  while (occurrences.next() != text_search::npos) ++count;
  return frame::as_int32(count);
}

}  // namespace textfind

FRAME_NODE_PLUGIN(textfind, textfind::TextFind)
