#include "regexsplit.h"

#include "frame/plugin.h"

namespace regexsplit {

Pieces RegexSplit::compute(std::wstring_view text, std::wstring_view pattern, State& patterns) {
  Pieces pieces;
  text_regex::Matches each(patterns(pattern), text);
  std::size_t from = 0;  // where the next piece begins
  while (each.next()) {
    pieces.push_back(text.substr(from, each.start() - from));
    from = each.end();
  }
  // A search that gave up matched nothing: none of the cuts made before it stands. (One object
  // returned on every path, so that it is built in the caller's place, not copied there.)
  if (each.gave_up()) {
    *pieces.resize(1) = text;
  } else {
    pieces.push_back(text.substr(from));
  }
  return pieces;
}

}  // namespace regexsplit

FRAME_NODE_PLUGIN(regexsplit, regexsplit::RegexSplit)
