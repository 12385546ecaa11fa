#include "textchar.h"

#include "frame/plugin.h"
#include "text_unicode/characters.h"

namespace textchar {

std::wstring_view TextChar::compute(frame::Items<std::int32_t> codes, State& characters) {
  // Two wide characters a code at the most, sized once; the size set to those written after.
  characters.resize(2 * codes.size());
  std::size_t written = 0;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    auto code = static_cast<char32_t>(codes[i]);  // a negative code past U+10FFFF
    if (code > text_unicode::kLastCodePoint || text_unicode::is_surrogate(code))
      code = text_unicode::kReplacement;
    written += text_unicode::encode(code, characters.data() + written);
  }
  characters.resize(written);
  return characters;
}

}  // namespace textchar

FRAME_NODE_PLUGIN(textchar, textchar::TextChar)
