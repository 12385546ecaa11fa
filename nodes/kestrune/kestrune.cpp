#include "kestrune.h"

#include "frame/plugin.h"
#include "removal.h"
#include "text_search/text_search.h"

namespace kestrune {

frame::Result<std::wstring> Kestrune::compute(std::wstring_view text, std::wstring_view sub,
                                              bool all) {
  if (sub.empty() || text.empty()) return frame::NoResult::unsuitable;
  const std::size_t position = text_search::find_first(text, sub);
  if (position == text_search::npos) return frame::NoResult::unsuitable;
  return all ? remove_all(text, sub, position) : remove_at(text, position, sub.size());
}

}  // namespace kestrune

FRAME_NODE_PLUGIN(kestrune, kestrune::Kestrune)
