// UTF-8 to and from the SDK's wide text, so that the command line, the case files and the output
// are UTF-8 everywhere. A wide text's characters are text_unicode's: where texts are UTF-16 (on
// Windows, where wchar_t holds 16 bits) a character past U+FFFF is a surrogate pair, elsewhere
// one wchar_t.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace icehost {

// The wide text of UTF-8 bytes, or nothing when they are not valid UTF-8 (a stray or missing
// continuation byte, an overlong form, a surrogate, or a value past U+10FFFF).
std::optional<std::wstring> utf8_to_wide(std::string_view bytes);

// The UTF-8 bytes of wide text. A character that is none (a lone surrogate, a value past
// U+10FFFF) becomes U+FFFD, so the result is always valid UTF-8.
std::string wide_to_utf8(std::wstring_view text);

// The same, but for a lone surrogate, which keeps its own three bytes as if it were a character
// (WTF-8): what a text value becomes in icehost's output, where json_quote writes such bytes as
// the escape \udXXX that JSON allows (Python writes and reads a lone surrogate so).
std::string wide_to_wtf8(std::wstring_view text);

// A JSON document in which a string may write a lone surrogate as the escape \udXXX, made
// readable to a JSON library that refuses one: every such escape in a string becomes \u0000
// followed by its four hexadecimal digits, and a \u0000 of the document itself is doubled.
// with_lone_surrogates reads a string of the document so made back into wide text.
std::string escape_lone_surrogates(std::string_view document);
std::optional<std::wstring> with_lone_surrogates(std::string_view utf8);

}  // namespace icehost
