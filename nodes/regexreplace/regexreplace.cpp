#include "regexreplace.h"

#include "frame/plugin.h"

namespace regexreplace {

text_regex::Replaced RegexReplace::compute(std::wstring_view text, std::wstring_view pattern,
                                           std::wstring_view with, bool all, State& patterns) {
  return patterns(pattern).replace(text, with, all);
}

}  // namespace regexreplace

FRAME_NODE_PLUGIN(regexreplace, regexreplace::RegexReplace)
