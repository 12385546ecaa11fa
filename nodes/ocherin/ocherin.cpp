#include "ocherin.h"

#include <optional>

#include "frame/host_text.h"
#include "frame/plugin.h"

namespace ocherin {

frame::Result<frame::Numbers<std::int32_t>> Ocherin::compute(const XSI::CString& text) {
  // One byte per character: the narrow form holds exactly Length() bytes before its
  // terminator, so the length, not the first NUL, says where it ends.
  const std::optional<std::string_view> narrow = frame::narrow_form(text);
  if (!narrow) return frame::NoResult::out_of_memory;
  frame::Numbers<std::int32_t> codes;
  std::int32_t* code = codes.resize(narrow->size());
  for (const char byte : *narrow)
    *code++ = static_cast<std::int8_t>(static_cast<unsigned char>(byte));
  return codes;
}

}  // namespace ocherin

FRAME_NODE_PLUGIN(ocherin, ocherin::Ocherin)
