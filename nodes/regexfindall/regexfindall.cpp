#include "regexfindall.h"

#include "frame/plugin.h"

namespace regexfindall {

Found RegexFindAll::compute(std::wstring_view text, std::wstring_view pattern, std::int32_t group,
                            State& patterns) {
  Found found;
  if (group < 0) return found;
  const auto g = static_cast<std::size_t>(group);
  text_regex::Matches each(patterns(pattern), text);
  while (each.next()) {
    if (g >= each.groups()) return {};
    found.push_back(each.group(g));
  }
  // A search that gave up found nothing: none of the matches found before it stands.
  if (each.gave_up()) return {};
  return found;
}

}  // namespace regexfindall

FRAME_NODE_PLUGIN(regexfindall, regexfindall::RegexFindAll)
