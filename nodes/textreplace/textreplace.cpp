#include "textreplace.h"

#include "frame/plugin.h"
#include "text_search/text_search.h"

namespace textreplace {

Replaced TextReplace::compute(std::wstring_view text, std::wstring_view find,
                              std::wstring_view with, bool all) {
  text_search::Occurrences occurrences(text, find);
  std::size_t at = occurrences.next();
  if (at == text_search::npos) return Replaced(text);
  Replaced result;
  result.reserve(text.size() - find.size() + with.size());
  std::size_t kept = 0;  // the text before kept is in result, replaced
  do {
    result.append(text.substr(kept, at - kept));
    result.append(with);
    kept = at + find.size();
  } while (all && (at = occurrences.next()) != text_search::npos);
  result.append(text.substr(kept));
  return result;
}

}  // namespace textreplace

FRAME_NODE_PLUGIN(textreplace, textreplace::TextReplace)
