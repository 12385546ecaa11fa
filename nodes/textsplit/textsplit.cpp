#include "textsplit.h"

#include "frame/plugin.h"
#include "text_search/text_search.h"

namespace textsplit {

Pieces TextSplit::compute(std::wstring_view text, std::wstring_view delimiter) {
  Pieces pieces;
  text_search::Occurrences occurrences(text, delimiter);
  std::size_t from = 0;  // where the next piece begins
  for (std::size_t at = occurrences.next(); at != text_search::npos; at = occurrences.next()) {
    pieces.push_back(text.substr(from, at - from));
    from = at + delimiter.size();
  }
  pieces.push_back(text.substr(from));
  return pieces;
}

}  // namespace textsplit

FRAME_NODE_PLUGIN(textsplit, textsplit::TextSplit)
