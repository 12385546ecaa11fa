#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "text_unicode/characters.h"
#include "utf8_hash.h"

namespace texthash {
namespace {

std::vector<unsigned char> bytes_of(std::string_view text) { return {text.begin(), text.end()}; }

// xxHash's own sanity values: its test buffer, each byte the top byte of a 64-bit generator
// multiplied by the 64-bit prime at each step, hashed in part with the seeds 0 and the 32-bit
// prime. The same values as xxh32sum gives for "", "abc" and the sentence.
TEST(Xxh32, GivesThePublishedValues) {
  constexpr std::uint32_t kPrime32 = 2654435761u;
  std::vector<unsigned char> buffer(222);
  std::uint64_t generator = kPrime32;
  for (unsigned char& byte : buffer) {
    byte = static_cast<unsigned char>(generator >> 56);
    generator *= 11400714785074694797u;
  }
  const std::span<const unsigned char> sanity(buffer);
  EXPECT_EQ(xxh32(sanity.first(0), 0), 0x02CC5D05u);
  EXPECT_EQ(xxh32(sanity.first(0), kPrime32), 0x36B78AE7u);
  EXPECT_EQ(xxh32(sanity.first(1), 0), 0xCF65B03Eu);
  EXPECT_EQ(xxh32(sanity.first(1), kPrime32), 0xB4545AA4u);
  EXPECT_EQ(xxh32(sanity.first(14), 0), 0x1208E7E2u);
  EXPECT_EQ(xxh32(sanity.first(14), kPrime32), 0x6AF1D1FEu);
  EXPECT_EQ(xxh32(sanity.first(222), 0), 0x5BD11DBDu);
  EXPECT_EQ(xxh32(sanity.first(222), kPrime32), 0x58803C5Fu);
  EXPECT_EQ(xxh32(bytes_of("abc"), 0), 0x32D153FFu);
  EXPECT_EQ(xxh32(bytes_of("Nobody inspects the spammish repetition"), 0), 0xE2293B2Fu);
}

// The UTF-8 form of code points, plainly: a surrogate, or a value past U+10FFFF, as U+FFFD.
std::vector<unsigned char> plain_utf8(const std::u32string& codes) {
  std::vector<unsigned char> out;
  for (char32_t code : codes) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = 0xFFFD;
    if (code < 0x80) {
      out.push_back(static_cast<unsigned char>(code));
    } else if (code < 0x800) {
      out.insert(out.end(), {static_cast<unsigned char>(0xC0 | code >> 6),
                             static_cast<unsigned char>(0x80 | (code & 0x3F))});
    } else if (code < 0x10000) {
      out.insert(out.end(), {static_cast<unsigned char>(0xE0 | code >> 12),
                             static_cast<unsigned char>(0x80 | (code >> 6 & 0x3F)),
                             static_cast<unsigned char>(0x80 | (code & 0x3F))});
    } else {
      out.insert(out.end(), {static_cast<unsigned char>(0xF0 | code >> 18),
                             static_cast<unsigned char>(0x80 | (code >> 12 & 0x3F)),
                             static_cast<unsigned char>(0x80 | (code >> 6 & 0x3F)),
                             static_cast<unsigned char>(0x80 | (code & 0x3F))});
    }
  }
  return out;
}

std::wstring wide(const std::u32string& codes) {
  std::wstring text;
  for (const char32_t code : codes) {
    wchar_t units[2];
    text.append(units, text_unicode::encode(code, units));
  }
  return text;
}

// Characters of every UTF-8 length, a lone surrogate of each kind (the high one never before a
// low one, so that the text is one on every platform), the largest code point and NUL.
TEST(HashUtf8, HashesTheUtf8FormOfEveryCharacter) {
  const std::u32string edges[] = {U"",
                                  U"a",
                                  std::u32string(1, U'\0'),
                                  U"\u00e9",
                                  U"\u20ac",
                                  U"\U0001F600",
                                  U"\U0010FFFF",
                                  U"e\u0301\U0001F600",
                                  {0xDC00},
                                  {U'a', 0xD83D},
                                  {0xD800, U'x', 0xDFFF}};
  for (const std::u32string& codes : edges)
    for (const std::uint32_t seed : {0u, 1u, 0xFFFFFFFFu})
      EXPECT_EQ(hash_utf8(wide(codes), seed), xxh32(plain_utf8(codes), seed))
          << codes.size() << " characters, seed " << seed;
  EXPECT_EQ(hash_utf8(wide({0xD800}), 0), hash_utf8(L"\ufffd", 0));
}

// Texts longer than one piece of the form, whose characters of several bytes fall across the
// pieces' ends: the same hash as of their whole form at once.
TEST(HashUtf8, HashesLongTextsAsTheirWholeForm) {
  const char32_t alphabet[] = {U'a', U'Z', U'\u00e9', U'\u0416', U'\u20ac', U'\U0001F600', 0xDC00};
  std::mt19937 random(7);
  for (std::size_t length = 60; length < 1100; length += 37) {
    std::u32string codes;
    for (std::size_t i = 0; i < length; ++i) codes += alphabet[random() % std::size(alphabet)];
    const auto seed = static_cast<std::uint32_t>(random());
    EXPECT_EQ(hash_utf8(wide(codes), seed), xxh32(plain_utf8(codes), seed)) << length;
  }
}

TEST(HashUtf8, HashesAValueThatIsNoCodePointAsTheReplacementCharacter) {
  if (text_unicode::kUtf16) GTEST_SKIP() << "a 16-bit unit is always a code point or a surrogate";
  for (const auto value : {0x110000u, 0x7FFFFFFFu, 0xFFFFFFFFu})
    EXPECT_EQ(hash_utf8(std::wstring(1, static_cast<wchar_t>(value)), 0), hash_utf8(L"\ufffd", 0));
}

}  // namespace
}  // namespace texthash
