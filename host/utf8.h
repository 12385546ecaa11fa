// UTF-8 to and from the SDK's wide text. wchar_t is 32 bits on Linux (one unit a character) and
// 16 bits on Windows (a character past U+FFFF takes a surrogate pair); both are handled here,
// chosen by sizeof(wchar_t), so the command line and its output are UTF-8 everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace icehost {

// The wide text of UTF-8 bytes, or nothing when they are not valid UTF-8 (a stray or missing
// continuation byte, an overlong form, a surrogate, or a value past U+10FFFF).
std::optional<std::wstring> utf8_to_wide(std::string_view bytes);

// The UTF-8 bytes of wide text. A unit that is no character (a lone surrogate, a value past
// U+10FFFF) becomes U+FFFD, so the result is always valid UTF-8.
std::string wide_to_utf8(std::wstring_view text);

}  // namespace icehost
