#include "char_set.h"

#include <algorithm>

#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

CharSet CharSet::range(char32_t first, char32_t last) {
  CharSet set;
  set.add(first, last);
  return set;
}

void CharSet::add(char32_t first, char32_t last) {
  // The ranges that touch or overlap [first, last] are merged into it.
  auto begin =
      std::lower_bound(ranges_.begin(), ranges_.end(), first,
                       [](const Range& r, char32_t c) { return r.last < c && r.last + 1 < c; });
  auto end = begin;
  while (end != ranges_.end() && (end->first <= last || end->first - 1 <= last)) {
    first = std::min(first, end->first);
    last = std::max(last, end->last);
    ++end;
  }
  begin = ranges_.erase(begin, end);
  ranges_.insert(begin, Range{first, last});
}

void CharSet::add(const CharSet& other) {
  for (const Range& r : other.ranges_) add(r.first, r.last);
}

CharSet CharSet::complement() const {
  CharSet out;
  char32_t next = 0;  // the first code not yet known to be in the set
  bool open = true;   // whether codes from next on remain
  for (const Range& r : ranges_) {
    if (r.first > next) out.ranges_.push_back({next, r.first - 1});
    if (r.last == kLastCode) {
      open = false;
      break;
    }
    next = r.last + 1;
  }
  if (open) out.ranges_.push_back({next, kLastCode});
  return out;
}

bool CharSet::contains(char32_t code) const {
  auto it = std::upper_bound(ranges_.begin(), ranges_.end(), code,
                             [](char32_t c, const Range& r) { return c < r.first; });
  return it != ranges_.begin() && code <= std::prev(it)->last;
}

namespace {

CharSet ascii(std::u32string_view pairs) {
  CharSet set;
  for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) set.add(pairs[i], pairs[i + 1]);
  return set;
}

// ECMAScript's white space and line terminators: Unicode's White_Space set but U+0085, and
// U+FEFF.
CharSet space() {
  CharSet set = ascii(U"\t\r  ");
  for (std::size_t i = 0; i < text_unicode::detail::kWhiteSpaceRanges; ++i) {
    const auto& r = text_unicode::detail::kWhiteSpace[i];
    set.add(r.first, r.last);
  }
  set = set.complement();
  set.add(0x85, 0x85);
  set = set.complement();
  set.add(0xFEFF, 0xFEFF);
  return set;
}

}  // namespace

bool named_class(std::u32string_view name, CharSet& out) {
  // Each name's ranges, as pairs of first and last.
  static constexpr struct {
    std::u32string_view name;
    std::u32string_view ranges;
  } kNames[] = {
      {U"d", U"09"},
      {U"digit", U"09"},
      {U"w", U"09AZ__az"},
      {U"word", U"09AZ__az"},
      {U"lower", U"az"},
      {U"upper", U"AZ"},
      {U"alpha", U"AZaz"},
      {U"alnum", U"09AZaz"},
      {U"xdigit", U"09AFaf"},
      {U"punct", U"!/:@[`{~"},
      {U"cntrl", std::u32string_view(U"\x00\x1f\x7f\x7f", 4)},
      {U"blank", U"\t\t  "},
      {U"graph", U"!~"},
      {U"print", U" ~"},
  };
  if (name == U"s" || name == U"space") {
    out = space();
    return true;
  }
  for (const auto& known : kNames) {
    if (known.name != name) continue;
    out = ascii(known.ranges);
    return true;
  }
  return false;
}

CharSet any_but_line_end() {
  CharSet ends = ascii(U"\n\n\r\r\f\f");
  ends.add(0x85, 0x85);
  ends.add(0x2028, 0x2029);
  return ends.complement();
}

}  // namespace text_regex::detail
