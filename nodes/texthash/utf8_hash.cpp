#include "utf8_hash.h"

#include <cstddef>

#include "text_unicode/characters.h"

// Every function of xxHash static and inline in this file alone; XXH32 and nothing of the 64-bit
// hashes.
#define XXH_INLINE_ALL
#define XXH_NO_LONG_LONG
#include <xxhash.h>

namespace texthash {
namespace {

// The bytes made before they are hashed: a text of up to 64 characters in one piece, hashed at
// once; a longer one a piece at a time.
constexpr std::size_t kBuffer = 256;

// Encodes the characters of text from position at on into out, while a character's 4 bytes at
// most still fit; at ends past the last character encoded. The count of bytes made.
std::size_t encode_some(std::wstring_view text, std::size_t& at, unsigned char* out) {
  std::size_t made = 0;
  while (at < text.size() && made + 4 <= kBuffer) {
    const char32_t unit = text_unicode::unit_value(text[at]);
    if (unit < 0x80) {
      out[made++] = static_cast<unsigned char>(unit);
      ++at;
      continue;
    }
    const text_unicode::Character character = text_unicode::character_at(text, at);
    at += character.units;
    char32_t code = character.code;
    if (text_unicode::is_surrogate(code) || code > text_unicode::kLastCodePoint)
      code = text_unicode::kReplacement;
    if (code < 0x800) {
      out[made++] = static_cast<unsigned char>(0xC0 | code >> 6);
    } else {
      if (code < 0x10000) {
        out[made++] = static_cast<unsigned char>(0xE0 | code >> 12);
      } else {
        out[made++] = static_cast<unsigned char>(0xF0 | code >> 18);
        out[made++] = static_cast<unsigned char>(0x80 | (code >> 12 & 0x3F));
      }
      out[made++] = static_cast<unsigned char>(0x80 | (code >> 6 & 0x3F));
    }
    out[made++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
  }
  return made;
}

}  // namespace

std::uint32_t xxh32(std::span<const unsigned char> bytes, std::uint32_t seed) {
  return XXH32(bytes.data(), bytes.size(), seed);
}

std::uint32_t hash_utf8(std::wstring_view text, std::uint32_t seed) {
  unsigned char buffer[kBuffer];
  std::size_t at = 0;
  std::size_t made = encode_some(text, at, buffer);
  if (at == text.size()) return XXH32(buffer, made, seed);
  // The streaming form gives what the one-shot form gives for the same bytes.
  XXH32_state_t state;
  XXH32_reset(&state, seed);
  XXH32_update(&state, buffer, made);
  while (at < text.size()) {
    made = encode_some(text, at, buffer);
    XXH32_update(&state, buffer, made);
  }
  return XXH32_digest(&state);
}

}  // namespace texthash
