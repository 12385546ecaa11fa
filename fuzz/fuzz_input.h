// Decoding a fuzz input into the choices of one evaluation: texts of any characters, element
// counts, constant flags, the pulled port and the index set. Texts and item values are taken
// from the front of the input, every count, flag and form from its back (as FuzzedDataProvider
// does), so a mutation of a text rarely changes the shape of the call around it.
//
// A text is a byte string, ended by a backslash followed by any other byte (a doubled
// backslash is one backslash), read one character at a time:
//   0x00-0xEA        that character (NUL and the one-byte range below 0xEB)
//   0xEB r           the text so far, repeated r more times (long texts from short inputs)
//   0xEC-0xF3 a b    the character 0xab (up to 0xFFFF, lone surrogates included)
//   0xF4-0xFB a b c  the character 0xabc (up to 0xFFFFFF: past U+FFFF a surrogate pair where
//                    texts are UTF-16, as in the fuzz preset; past the last code point one wchar_t)
//   0xFC-0xFF 4 bytes  any 32-bit pattern, negative wchar_t included
// The text is made as plain_text.h makes texts: a lone high surrogate before a lone low one is
// their pair's character.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "evaluation_setup.h"
#include "plain_text.h"
#include "xsi_host.h"

namespace fuzz {

using XSI::ULONG;

// Element counts go up to a little past two words of a bit set.
inline constexpr ULONG kMaxElements = 70;
// Texts stop growing here; the plain references are quadratic in the worst case.
inline constexpr std::size_t kMaxTextLength = 4096;
// Items per element of an array-per-element input.
inline constexpr std::size_t kMaxItems = 12;

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : provider_(data, size) {}

  std::wstring text() {
    const std::string bytes = provider_.ConsumeRandomLengthString(512);
    std::u32string codes;
    std::size_t i = 0;
    auto byte = [&]() -> std::uint32_t {
      return i < bytes.size() ? static_cast<unsigned char>(bytes[i++]) : 0u;
    };
    while (i < bytes.size() && codes.size() < kMaxTextLength) {
      const std::uint32_t b = byte();
      if (b <= 0xEA) {
        codes.push_back(b);
      } else if (b == 0xEB) {
        const std::u32string once = codes;
        for (std::uint32_t r = byte(); r > 0 && codes.size() < kMaxTextLength; --r) codes += once;
      } else {
        const int width = b <= 0xF3 ? 2 : b <= 0xFB ? 3 : 4;
        std::uint32_t code = 0;
        for (int n = 0; n < width; ++n) code = code << 8 | byte();
        codes.push_back(code);
      }
    }
    std::wstring text = text_of(codes);
    if (text.size() > kMaxTextLength) text.resize(kMaxTextLength);
    return text;
  }

  bool flag() { return provider_.ConsumeBool(); }

  // One of n choices, 0 to n - 1 (n at least 1).
  std::size_t choice(std::size_t n) {
    return provider_.ConsumeIntegralInRange<std::size_t>(0, n - 1);
  }

  ULONG element_count() { return provider_.ConsumeIntegralInRange<ULONG>(0, kMaxElements); }

  std::size_t item_count() { return provider_.ConsumeIntegralInRange<std::size_t>(0, kMaxItems); }

  // Raw bit patterns: every float (NaNs, infinities, subnormals, -0) and every integer.
  float float_item() { return std::bit_cast<float>(word()); }
  std::int32_t integer_item() { return static_cast<std::int32_t>(word()); }

  // The port to pull: mostly the node's own output, else one of the other ids given or any id.
  ULONG pulled_port(ULONG output, const std::vector<ULONG>& others) {
    const auto choice = provider_.ConsumeIntegral<std::uint8_t>();
    if (choice < 0xE0) return output;
    if (choice < 0xF0 && !others.empty()) return others[choice % others.size()];
    const ULONG any = provider_.ConsumeIntegral<ULONG>();
    return any == output ? output + 1 : any;
  }

  // Entries and bits below bound, the largest element count of the call, so that a port with
  // fewer elements also sees indices past its own count.
  icehost::IndexChoice index_set(ULONG bound) {
    icehost::IndexChoice set;
    switch (provider_.ConsumeIntegralInRange<int>(0, 2)) {
      case 0:
        set.form = icehost::IndexChoice::Form::range;
        set.range_count = provider_.ConsumeIntegralInRange<ULONG>(0, bound);
        break;
      case 1: {
        set.form = icehost::IndexChoice::Form::bits;
        set.bits.resize(provider_.ConsumeIntegralInRange<ULONG>(0, bound));
        std::uint8_t byte = 0;
        for (std::size_t i = 0; i < set.bits.size(); ++i) {
          if (i % 8 == 0) byte = provider_.ConsumeIntegral<std::uint8_t>();
          set.bits[i] = (byte >> (i % 8) & 1) != 0;
        }
        break;
      }
      default: {
        set.form = icehost::IndexChoice::Form::list;
        set.list.resize(provider_.ConsumeIntegralInRange<ULONG>(0, bound + 8));
        for (ULONG& entry : set.list) {
          const auto byte = provider_.ConsumeIntegral<std::uint8_t>();
          entry = byte == 0xFF || bound == 0 ? XSI::kNotFound : byte % bound;
        }
        break;
      }
    }
    return set;
  }

 private:
  std::uint32_t word() {
    std::uint8_t bytes[4] = {};
    provider_.ConsumeData(bytes, sizeof bytes);
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
  }

  FuzzedDataProvider provider_;
};

}  // namespace fuzz
