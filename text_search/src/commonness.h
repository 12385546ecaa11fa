// How common a character is in ordinary (English) text, as a rank: the higher, the more often it
// occurs. The searcher scans for the least common character of a sub-text, so that the scan
// stops seldom. Only the speed depends on it, never a result: a text where the ranks are wrong
// is searched as correctly, and as linearly, if more slowly.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace text_search::detail {

// The characters of one byte, the most common first: the letters of English prose in the order
// of their frequency, white space and punctuation where they fall among them. Those not listed
// (control characters, rare symbols) are the rarest of all.
inline constexpr std::string_view kByFrequency =
    " etaoinsrhldcumfpgwyb,.vk\n\rTIAS\"'-CMHWBxPDREFNLGOjq0123456789zUVYKJ:;()!?\tQXZ/"
    "*&[]_=#+%<>@$";

inline constexpr std::array<unsigned char, 128> kAsciiRank = [] {
  std::array<unsigned char, 128> rank{};
  for (std::size_t i = 0; i < kByFrequency.size(); ++i)
    rank[static_cast<unsigned char>(kByFrequency[i])] =
        static_cast<unsigned char>(kByFrequency.size() + 1 - i);
  return rank;
}();

// A character beyond ASCII is taken to be rarer than any listed above: it is rare in English
// text, and in a text of another script as common as any other of the sub-text, where the
// first of them is chosen.
inline constexpr unsigned char kBeyondAscii = 1;

// As rare as 'x' or rarer: about one character in a thousand of English text, or fewer. A scan
// for such a character stops so seldom that looking for a rarer one is not worth its cost.
inline constexpr unsigned char kRare = kAsciiRank['x'];

constexpr unsigned char commonness(wchar_t c) {
  const auto code = static_cast<unsigned long>(c);  // wchar_t is signed on some platforms
  return code < kAsciiRank.size() ? kAsciiRank[code] : kBeyondAscii;
}

}  // namespace text_search::detail
