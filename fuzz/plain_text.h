// Texts as the fuzz targets make them and their plain references read them: characters are code
// points, the same on every platform. Where texts are UTF-16 (on Windows, or in a build with
// TEXTNODES_UTF16, as the fuzz preset's is), a high surrogate followed by a low one is the one
// character of the pair. Where each wchar_t is a character, the texts made here never hold a high
// surrogate before a low one: that character stands in their place, as the nodes write it when
// they join halves, so that a text means the same in both readings.
#pragma once

#include <string>
#include <string_view>

#include "text_unicode/characters.h"

namespace fuzz {

inline bool is_high(char32_t code) { return code >= 0xD800 && code <= 0xDBFF; }
inline bool is_low(char32_t code) { return code >= 0xDC00 && code <= 0xDFFF; }
inline char32_t code_of(wchar_t c) { return static_cast<char32_t>(static_cast<std::uint32_t>(c)); }

// The characters of a text.
inline std::u32string characters(std::wstring_view text) {
  std::u32string codes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = code_of(text[i]);
    const char32_t next = i + 1 < text.size() ? code_of(text[i + 1]) : 0;
    if (text_unicode::kUtf16 && is_high(c) && is_low(next)) {
      codes += 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
      ++i;
    } else {
      codes += c;
    }
  }
  return codes;
}

// The text of characters: past U+FFFF a pair where texts are UTF-16; a lone high surrogate before
// a lone low one their pair's character.
inline std::wstring text_of(std::u32string_view codes) {
  std::wstring text;
  for (const char32_t c : codes) {
    if (!text.empty() && !text_unicode::kUtf16 && is_high(code_of(text.back())) && is_low(c)) {
      text.back() =
          static_cast<wchar_t>(0x10000 + ((code_of(text.back()) - 0xD800) << 10) + (c - 0xDC00));
    } else if (text_unicode::kUtf16 && c > 0xFFFF && c <= 0x10FFFF) {
      text += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
      text += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      text += static_cast<wchar_t>(c);
    }
  }
  return text;
}

// Two texts joined as the nodes join them: a lone high surrogate at the end of the first and a
// lone low one at the start of the second make their pair's character.
inline std::wstring joined(std::wstring_view a, std::wstring_view b) {
  return text_of(characters(std::wstring(a) + std::wstring(b)));
}

}  // namespace fuzz
