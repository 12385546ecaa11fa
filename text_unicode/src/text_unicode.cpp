#include "text_unicode/text_unicode.h"

#include <algorithm>

namespace text_unicode {

bool equal_ignoring_case(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const Character x = character_at(a, i);
    const Character y = character_at(b, i);
    if (x.units != y.units || (x.code != y.code && to_lower(x.code) != to_lower(y.code)))
      return false;
    i += x.units;
  }
  return true;
}

namespace {

// The mapping loop, once per direction, so that each inlines its own table and fast path.
template <char32_t (*Map)(char32_t)>
std::size_t first_changed(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const Character c = character_at(text, i);
    if (Map(c.code) != c.code) break;
    i += c.units;
  }
  return i;
}

template <char32_t (*Map)(char32_t)>
void map_from(std::wstring_view text, std::size_t from, wchar_t* out) {
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(from), out);
  for (std::size_t i = from; i < text.size();) {
    // A character keeps its count of wchar_t: one where it had one (past U+FFFF too, where a
    // build reads 32-bit wchar_t as UTF-16), a pair where it was a pair.
    const Character c = character_at(text, i);
    const char32_t mapped = Map(c.code);
    if (c.units == 1)
      out[i] = static_cast<wchar_t>(mapped);
    else
      encode(mapped, out + i);
    i += c.units;
  }
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
