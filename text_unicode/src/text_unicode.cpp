#include "text_unicode/text_unicode.h"

#include <algorithm>

namespace text_unicode {

std::size_t count_pairs(std::wstring_view text) {
  // Each pair counted at its low half; without branches, so that it vectorizes.
  std::size_t pairs = 0;
  for (std::size_t i = 1; i < text.size(); ++i)
    pairs += static_cast<std::size_t>(is_high_surrogate(unit_value(text[i - 1]))) &
             static_cast<std::size_t>(is_low_surrogate(unit_value(text[i])));
  return pairs;
}

// The texts are read a wchar_t at a time, each a whole character but for a surrogate, where a pair
// is read whole: so a text without surrogates costs what it costs where wchar_t holds 32 bits.
bool equal_ignoring_case(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    const char32_t x = unit_value(a[i]);
    const char32_t y = unit_value(b[i]);
    if (!kUtf16 || !(is_surrogate(x) || is_surrogate(y))) {
      if (to_lower(x) != to_lower(y)) return false;
      continue;
    }
    // Where the two differ in a pair, its character: from its high half, the same in both
    // before a low one.
    const std::size_t at = i > 0 && inside_pair(a, i) && inside_pair(b, i) ? i - 1 : i;
    const Character p = character_at(a, at);
    const Character q = character_at(b, at);
    if (p.units != q.units || to_lower(p.code) != to_lower(q.code)) return false;
    i = at + p.units - 1;
  }
  return true;
}

namespace {

// The mapping loops, once per direction and reading, so that each inlines its own table and
// fast path. A text that holds no surrogate is read a wchar_t at a time, each a whole character,
// so that it costs what it costs where wchar_t holds 32 bits; one that holds one, where texts are
// UTF-16, character by character.
template <char32_t (*Map)(char32_t), bool Pairs>
std::size_t first_changed(std::wstring_view text) {
  std::size_t i = 0;
  if constexpr (!Pairs) {
    while (i < text.size() && Map(unit_value(text[i])) == unit_value(text[i])) ++i;
  } else {
    while (i < text.size()) {
      const Character c = character_at(text, i);
      if (Map(c.code) != c.code) break;
      i += c.units;
    }
  }
  return i;
}

template <char32_t (*Map)(char32_t), bool Pairs>
void map_from(std::wstring_view text, std::size_t from, wchar_t* out) {
  std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(from), out);
  if constexpr (!Pairs) {
    for (std::size_t i = from; i < text.size(); ++i)
      out[i] = static_cast<wchar_t>(Map(unit_value(text[i])));
  } else {
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
}

// Where a character changes, the text's own characters, mapped; else the text left viewed.
template <char32_t (*Map)(char32_t)>
void map(std::wstring_view text, bool pairs, SmallText<CaseMapped::kInline>& into) {
  const std::size_t changed =
      pairs ? first_changed<Map, true>(text) : first_changed<Map, false>(text);
  if (changed == text.size()) return;
  into.clear_for(text.size());
  wchar_t* out = into.append_for_overwrite(text.size());
  if (pairs)
    map_from<Map, true>(text, changed, out);
  else
    map_from<Map, false>(text, changed, out);
}

}  // namespace

CaseMapped::CaseMapped(std::wstring_view text, Case to) : SmallText(text) {
  const bool pairs = kUtf16 && has_surrogates(text);
  if (to == Case::lower)
    map<to_lower>(text, pairs, *this);
  else
    map<to_upper>(text, pairs, *this);
}

}  // namespace text_unicode
