#include "text_unicode/text_unicode.h"

#include <algorithm>

namespace text_unicode {

bool equal_ignoring_case(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && to_lower(a[i]) != to_lower(b[i])) return false;
  return true;
}

namespace {

// The mapping loop, once per direction, so that each inlines its own table and fast path.
template <wchar_t (*Map)(wchar_t)>
std::size_t first_changed(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && Map(text[i]) == text[i]) ++i;
  return i;
}

template <wchar_t (*Map)(wchar_t)>
void map_from(std::wstring_view text, std::size_t from, wchar_t* out) {
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(from), out);
  for (std::size_t i = from; i < text.size(); ++i) out[i] = Map(text[i]);
}

}  // namespace

CaseMapped::CaseMapped(std::wstring_view text, Case to) : view_(text) {
  const std::size_t changed =
      to == Case::lower ? first_changed<to_lower>(text) : first_changed<to_upper>(text);
  if (changed == text.size()) return;
  wchar_t* out = inline_;
  if (text.size() > kInline) {
    heap_ = std::make_unique_for_overwrite<wchar_t[]>(text.size());
    out = heap_.get();
  }
  if (to == Case::lower)
    map_from<to_lower>(text, changed, out);
  else
    map_from<to_upper>(text, changed, out);
  view_ = std::wstring_view(out, text.size());
}

}  // namespace text_unicode
