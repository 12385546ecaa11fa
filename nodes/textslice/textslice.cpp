#include "textslice.h"

#include "frame/plugin.h"
#include "text_unicode/characters.h"

namespace textslice {

// Start and Length count characters, which advance turns into positions of wchar_t, clamped to
// the text: so no sum here can overflow, whatever the two are (Start -2^31 with Length 2^31 - 1
// included), and no part begins or ends inside a surrogate pair. The count of the whole text is
// needed only for a Start counted from the end.
std::wstring_view TextSlice::compute(std::wstring_view text, std::int32_t start,
                                     std::int32_t length) {
  using text_unicode::advance;
  if (!text_unicode::kUtf16 || !text_unicode::has_surrogates(text)) {
    // Each wchar_t a character: positions are counts, in 64-bit arithmetic.
    const auto size = static_cast<std::int64_t>(text.size());
    std::int64_t first = start < 0 ? size + start : start;
    first = first < 0 ? 0 : first > size ? size : first;
    const std::int64_t left = size - first;
    const std::int64_t count = length < 0 || length > left ? left : length;
    return text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
  }
  std::size_t first = 0;
  if (start >= 0) {
    first = advance(text, 0, static_cast<std::size_t>(start));
  } else {
    const std::size_t size = text_unicode::count_characters(text);
    const auto back = static_cast<std::size_t>(-static_cast<std::int64_t>(start));
    first = back >= size ? 0 : advance(text, 0, size - back);
  }
  const std::size_t end =
      length < 0 ? text.size() : advance(text, first, static_cast<std::size_t>(length));
  return text.substr(first, end - first);
}

}  // namespace textslice

FRAME_NODE_PLUGIN(textslice, textslice::TextSlice)
