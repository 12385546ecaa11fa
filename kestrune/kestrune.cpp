#include "kestrune.h"

#include "frame/plugin.h"
#include "removal.h"

namespace kestrune {

frame::Result<std::wstring> Kestrune::compute(std::wstring_view text, std::wstring_view sub,
                                              bool all) {
  if (sub.empty() || text.empty()) return frame::NoResult::unsuitable;
  const std::size_t position = find_first(text, sub);
  if (position == std::wstring_view::npos) return frame::NoResult::unsuitable;
  return all ? remove_all(text, sub, position) : remove_at(text, position, sub.size());
}

}  // namespace kestrune

FRAME_NODE_PLUGIN(kestrune, kestrune::Kestrune)
