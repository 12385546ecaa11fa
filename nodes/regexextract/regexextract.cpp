#include "regexextract.h"

#include "frame/plugin.h"

namespace regexextract {

std::wstring_view RegexExtract::compute(std::wstring_view text, std::wstring_view pattern,
                                        std::int32_t group, State& patterns) {
  return patterns(pattern).extract(text, group);
}

}  // namespace regexextract

FRAME_NODE_PLUGIN(regexextract, regexextract::RegexExtract)
