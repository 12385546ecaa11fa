// The characters of the host's wide texts, as Unicode code points, so that a text gives the same
// count, positions and parts on every platform. Where wchar_t holds 32 bits, each wchar_t is one
// character. Where it holds 16 bits (Windows), a text is UTF-16: a high surrogate followed by a
// low one is one character past U+FFFF (a surrogate pair), and every other surrogate is a lone
// surrogate, one character whose code is its value. A text never holds half a pair as far as
// these functions go: positions they give are character boundaries.
//
// A build with TEXTNODES_UTF16 defined reads texts as UTF-16 on any platform, so that the code
// paths of 16-bit wchar_t run, and are measured, where wchar_t holds 32 bits.
//
//   count_characters(L"a\U0001F600b") == 3          (4 wchar_t on Windows)
//   advance(L"\U0001F600abc", 0, 1)    == 2 on Windows, 1 elsewhere: past the whole pair
//   character_at(L"\U0001F600", 0)     == {0x1F600, 2 on Windows, 1 elsewhere}
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace text_unicode {

#ifdef TEXTNODES_UTF16
inline constexpr bool kUtf16 = true;
#else
inline constexpr bool kUtf16 = sizeof(wchar_t) == 2;
#endif

// The largest code point, and what stands for a code that is no character.
inline constexpr char32_t kLastCodePoint = 0x10FFFF;
inline constexpr char32_t kReplacement = 0xFFFD;

// A wide unit's value, never negative: wchar_t is signed on some platforms.
constexpr char32_t unit_value(wchar_t c) {
  return static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(c));
}

constexpr bool is_surrogate(char32_t code) { return code - 0xD800 < 0x800; }
constexpr bool is_high_surrogate(char32_t code) { return code - 0xD800 < 0x400; }
constexpr bool is_low_surrogate(char32_t code) { return code - 0xDC00 < 0x400; }

// Whether a high surrogate and a low one make a pair: in UTF-16 alone.
constexpr bool makes_pair(wchar_t high, wchar_t low) {
  return kUtf16 && is_high_surrogate(unit_value(high)) && is_low_surrogate(unit_value(low));
}

constexpr char32_t pair_code(wchar_t high, wchar_t low) {
  return 0x10000 + ((unit_value(high) - 0xD800) << 10) + (unit_value(low) - 0xDC00);
}

// One character of a text: its code and the wchar_t it takes (2 for a pair, else 1).
struct Character {
  char32_t code;
  std::size_t units;
};

// The character that begins at position at (below text's size).
constexpr Character character_at(std::wstring_view text, std::size_t at) {
  const char32_t unit = unit_value(text[at]);
  if (kUtf16 && is_high_surrogate(unit) && at + 1 < text.size() &&
      is_low_surrogate(unit_value(text[at + 1])))
    return {pair_code(text[at], text[at + 1]), 2};
  return {unit, 1};
}

// Where the character that ends at position at (above 0) begins.
constexpr std::size_t character_start_before(std::wstring_view text, std::size_t at) {
  return at >= 2 && makes_pair(text[at - 2], text[at - 1]) ? at - 2 : at - 1;
}

// Whether position at lies between the two halves of a pair: no character begins or ends there.
constexpr bool inside_pair(std::wstring_view text, std::size_t at) {
  return at > 0 && at < text.size() && makes_pair(text[at - 1], text[at]);
}

// The wide form of a code point (at most kLastCodePoint, or any value where wchar_t holds 32 bits
// and the text is not read as UTF-16) into out: the count of wchar_t written, 1 or 2.
constexpr std::size_t encode(char32_t code, wchar_t* out) {
  if (kUtf16 && code > 0xFFFF) {
    out[0] = static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
    out[1] = static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    return 2;
  }
  out[0] = static_cast<wchar_t>(code);
  return 1;
}

// Joining texts. Where texts are UTF-16, a text that ends in a lone high surrogate joined to one
// that begins with a lone low surrogate holds the one character the two make, by itself. Where
// wchar_t holds 32 bits, join_halves makes that character in the same place, so that a text
// joined of halves is the same text on every platform: last, the joined text's last wchar_t,
// becomes it, and the part is given without its first wchar_t. Otherwise the part as it is.
// The part's first wchar_t is looked at first: a low surrogate is rare, so the text's last one is
// seldom read.
inline std::wstring_view join_halves(wchar_t& last, std::wstring_view part) {
  if (!kUtf16 && !part.empty() && is_low_surrogate(unit_value(part.front())) &&
      is_high_surrogate(unit_value(last))) {
    last = static_cast<wchar_t>(pair_code(last, part.front()));
    return part.substr(1);
  }
  return part;
}

// Whether joining part to text may make a pair's character: only where wchar_t holds 32 bits,
// and for a part that begins with a low surrogate, which is rare, so that the test costs two
// instructions.
inline bool may_join_halves(std::wstring_view part) {
  return !kUtf16 && !part.empty() && is_low_surrogate(unit_value(part.front()));
}

// Appends part to text, joining halves as join_halves does: the plain append inline, the rare
// join apart, so that a caller's loop of appends costs what plain appends cost.
template <class Text>
void append_joining(Text& text, std::wstring_view part) {
  if (!text.empty()) part = join_halves(text.back(), part);
  text.append(part);
}

template <class Text>
inline void append_joined(Text& text, std::wstring_view part) {
  if (may_join_halves(part)) [[unlikely]]
    append_joining(text, part);
  else
    text.append(part);
}

// Whether text holds a surrogate, paired or lone: when it holds none, each wchar_t is a
// character on every platform, and the fast path of every function that reads characters is
// taken. A mask and a comparison a wchar_t, without branches, eight lanes at a time, so that the
// compiler makes a few vector instructions of each eight (at -O2 too, where it vectorizes only
// loops of a known count).
inline bool has_surrogates(std::wstring_view text) {
  using Unit = std::make_unsigned_t<wchar_t>;
  constexpr auto kMask = static_cast<Unit>(~Unit{0x7FF});
  constexpr std::size_t kLanes = 8;
  const auto surrogate = [](wchar_t c) -> Unit {
    return (static_cast<Unit>(c) & kMask) == 0xD800 ? static_cast<Unit>(~Unit{0}) : Unit{0};
  };
  const wchar_t* const units = text.data();
  Unit found = 0;
  std::size_t i = 0;
  if (text.size() >= kLanes) {
    Unit lanes[kLanes] = {};
    for (; i + kLanes <= text.size(); i += kLanes)
      for (std::size_t k = 0; k < kLanes; ++k) lanes[k] |= surrogate(units[i + k]);
    for (const Unit lane : lanes) found |= lane;
  }
  for (; i < text.size(); ++i) found |= surrogate(units[i]);
  return found != 0;
}

// The count of the pairs of text, each a high surrogate followed by a low one.
std::size_t count_pairs(std::wstring_view text);

// The count of characters of text.
inline std::size_t count_characters(std::wstring_view text) {
  if constexpr (!kUtf16) {
    return text.size();
  } else {
    return has_surrogates(text) ? text.size() - count_pairs(text) : text.size();
  }
}

// The position count characters past position from (a character boundary), or text's size when
// fewer are left.
inline std::size_t advance(std::wstring_view text, std::size_t from, std::size_t count) {
  const std::size_t left = text.size() - from;
  if constexpr (kUtf16) {
    // Past the count the pairs a walk would meet: none where the units up to there (and the one
    // after, which may end a pair) hold no surrogate, as most texts hold none.
    if (count < left && has_surrogates(text.substr(from, count + 1))) {
      std::size_t at = from;
      for (; count > 0 && at < text.size(); --count) at += character_at(text, at).units;
      return at;
    }
  }
  return count < left ? from + count : text.size();
}

}  // namespace text_unicode
