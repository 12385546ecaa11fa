#include "regexfindall.h"

#include "frame/plugin.h"

namespace regexfindall {

Found RegexFindAll::compute(std::wstring_view text, std::wstring_view pattern, std::int32_t group,
                            State& patterns) {
  // One object returned on every path, so that it is built in the caller's place, not copied
  // there.
  Found found;
  if (group < 0) return found;
  const auto g = static_cast<std::size_t>(group);
  text_regex::Matches each(patterns(pattern), text);
  bool no_such_group = false;
  while (each.next()) {
    if (g >= each.groups()) {
      no_such_group = true;
      break;
    }
    found.push_back(each.group(g));
  }
  // A search that gave up found nothing: none of the matches found before it stands.
  if (no_such_group || each.gave_up()) found.resize(0);
  return found;
}

}  // namespace regexfindall

FRAME_NODE_PLUGIN(regexfindall, regexfindall::RegexFindAll)
