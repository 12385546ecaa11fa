// ocherin: gives every evaluated element the character codes of a text, computed once from
// element 0 of the input. A code is the character's byte in the text's narrow form read as a
// signed 8-bit value: bytes 128 to 255 give -128 to -1, and a character the narrow form cannot
// hold in one byte gives the code of '?', 63. An embedded NUL is a character like any other and
// gives 0.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "frame/plugin.h"

namespace ocherin {

struct Ocherin {
  static constexpr frame::NodeTable<1> table{
      .name = L"ocherin",
      .inputs = {{{7, L"String", frame::kText, frame::kOnePerElement,
                   frame::text_value(L"default string")}}},
      .output = {209, L"ASCII", frame::kInteger, frame::kArrayPerElement},
  };

  // The signed value of every byte of a narrow text, the NULs within it included.
  static std::vector<std::int32_t> signed_codes(std::string_view narrow) {
    std::vector<std::int32_t> codes(narrow.size());
    for (std::size_t i = 0; i < narrow.size(); ++i)
      codes[i] = static_cast<std::int8_t>(static_cast<unsigned char>(narrow[i]));
    return codes;
  }

  frame::Prepared prepare(const frame::Inputs<1>& in) {
    const std::optional<XSI::CString> text = frame::to_cstring(in[0].text(0));
    if (!text) return frame::Prepared::failed;
    // One byte per character: the narrow form holds exactly Length() bytes before its
    // terminator, so the length, not the first NUL, says where it ends.
    const std::optional<std::string_view> narrow = frame::narrow_form(*text);
    if (!narrow) return frame::Prepared::failed;
    codes = signed_codes(*narrow);
    return frame::Prepared::walk;
  }

  void write(frame::OutputArray& out, const frame::Inputs<1>& /*in*/, frame::ULONG k) const {
    out.write_items<std::int32_t>(k, codes);
  }

  std::vector<std::int32_t> codes;
};

}  // namespace ocherin

FRAME_NODE_PLUGIN(ocherin, ocherin::Ocherin)
