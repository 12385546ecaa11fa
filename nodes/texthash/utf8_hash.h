// XXH32, xxHash's 32-bit hash, of bytes and of a text's UTF-8 form: the algorithm texthash
// promises, the same on every platform and in every later version. xxHash stands behind this one
// file, header-only, so that the plug-in links nothing more.
//
//   xxh32(bytes of "abc", 0) == 0x32D153FF         hash_utf8(L"abc", 0) == 0x32D153FF
//   hash_utf8(L"\u00e9", 0) == xxh32({0xC3, 0xA9}, 0)
//   hash_utf8(a lone surrogate, 0) == xxh32({0xEF, 0xBF, 0xBD}, 0), the form of U+FFFD
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace texthash {

// XXH32 of bytes with the seed.
std::uint32_t xxh32(std::span<const unsigned char> bytes, std::uint32_t seed);

// XXH32 with the seed of the UTF-8 form of text's characters, each read as
// text_unicode/characters.h reads it (a surrogate pair one character where texts are UTF-16). A
// lone surrogate, and where wchar_t holds 32 bits a value that is no code point, is hashed as
// U+FFFD. The form is made a buffer on the stack at a time and hashed as it comes: no allocation,
// whatever the text's length.
std::uint32_t hash_utf8(std::wstring_view text, std::uint32_t seed);

}  // namespace texthash
