#include "regexmatch.h"

#include "frame/plugin.h"

namespace regexmatch {

bool RegexMatch::compute(std::wstring_view text, std::wstring_view pattern, State& patterns) {
  return patterns(pattern).matches(text);
}

}  // namespace regexmatch

FRAME_NODE_PLUGIN(regexmatch, regexmatch::RegexMatch)
