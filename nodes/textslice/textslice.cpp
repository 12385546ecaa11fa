#include "textslice.h"

#include "frame/plugin.h"

namespace textslice {

// In 64-bit arithmetic: a text holds fewer than 2^32 characters and Start and Length are 32-bit,
// so no sum here can overflow, whatever the two are (Start -2^31 with Length 2^31 - 1 included).
std::wstring_view TextSlice::compute(std::wstring_view text, std::int32_t start,
                                     std::int32_t length) {
  const auto size = static_cast<std::int64_t>(text.size());
  std::int64_t first = start < 0 ? size + start : start;
  first = first < 0 ? 0 : first > size ? size : first;
  const std::int64_t left = size - first;
  const std::int64_t count = length < 0 || length > left ? left : length;
  return text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
}

}  // namespace textslice

FRAME_NODE_PLUGIN(textslice, textslice::TextSlice)
