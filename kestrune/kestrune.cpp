// kestrune: removes a sub-text from a text, its first occurrence or, with RemoveAll on, every
// occurrence until none is left. Every evaluated element gets the same result, computed once
// from element 0 of each input; an empty text or sub-text, or a sub-text that does not occur,
// leaves the marker "-1" in output element 0 alone.
#include <string>

#include "frame/plugin.h"
#include "removal.h"

namespace kestrune {

struct Kestrune {
  static constexpr frame::NodeTable<3> table{
      .name = L"kestrune",
      .inputs = {{
          {0, L"String", frame::kText, frame::kOnePerElement,
           frame::text_value(L"this_string_has_a_subString_and_another_subString_and_yet_another_"
                             L"subString_in_it")},
          {1, L"SubString", frame::kText, frame::kOnePerElement, frame::text_value(L"subString")},
          {2, L"RemoveAll", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  frame::Prepared prepare(const frame::Inputs<3>& in) {
    const std::wstring_view sub = in[1].text(0);
    const std::wstring_view text = in[0].text(0);
    if (sub.empty() || text.empty()) return frame::Prepared::marker;
    const std::size_t position = find_first(text, sub);
    if (position == std::wstring_view::npos) return frame::Prepared::marker;
    result = in[2].boolean(0) ? remove_all(text, sub) : remove_at(text, position, sub.size());
    return frame::Prepared::walk;
  }

  void write(frame::OutputArray& out, const frame::Inputs<3>& /*in*/, frame::ULONG k) const {
    out.write_text(k, result);
  }

  std::wstring result;
};

}  // namespace kestrune

FRAME_NODE_PLUGIN(kestrune, kestrune::Kestrune)
