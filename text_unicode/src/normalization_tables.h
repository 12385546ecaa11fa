// The layout of normalization's generated tables (generate_normalization.py writes
// normalization_tables.cpp): what normalization.cpp reads of each character.
#pragma once

#include <cstddef>
#include <cstdint>

namespace text_unicode::detail {

// Characters in blocks of 2^kNormalizationShift: blocks[c >> shift] picks one of the distinct
// blocks of entries, and the entry of c in it is the character's. A character at or past limit
// has entry 0.
inline constexpr unsigned kNormalizationShift = 6;

template <class Entry>
struct TwoStage {
  std::uint32_t limit;
  const std::uint8_t* blocks;
  const Entry* entries;

  Entry at(char32_t code) const {
    if (code >= limit) return 0;
    return entries[(std::size_t{blocks[code >> kNormalizationShift]} << kNormalizationShift) |
                   (code & ((1u << kNormalizationShift) - 1))];
  }
};

// A character's flags.
enum : std::uint8_t {
  kCanonical = 1,      // decomposes canonically (NFD differs)
  kCompatibility = 2,  // decomposes, canonically or for compatibility (NFKD differs)
  kNotNfc = 4,         // may not stand as it is in NFC: excluded from it, or may compose back
  kNotNfkc = 8,        // the same for NFKC, or it decomposes for compatibility
  kComposesBack = 16,  // composes with a starter before it into a primary composite
};

struct NormalizationProperties {
  std::uint8_t combining_class;
  std::uint8_t flags;
};

// kProperties[kPropertyIndex.at(c)]; entry 0 is class 0 without flags.
extern const TwoStage<std::uint8_t> kPropertyIndex;
extern const NormalizationProperties kProperties[];

// kDecompositionIndex.at(c) is c's place in kDecompositions, 0 where c does not decompose (a
// Hangul syllable decomposes by arithmetic). There, a header: the length of the canonical
// decomposition (bits 0-7, 0 for none), of the compatibility decomposition (bits 8-15) and,
// in bit 16, whether the two are the same; then the canonical decomposition's characters, then
// the compatibility decomposition's where they differ. Each is full: none of its characters
// decomposes further.
extern const TwoStage<std::uint16_t> kDecompositionIndex;
extern const char32_t kDecompositions[];

// kCompositionIndex.at(c) is the place in kCompositions of the pairs a primary composite begins
// with c in, 0 for none: their count, then for each the character after c and the composite,
// those characters ascending. Hangul syllables compose by arithmetic.
extern const TwoStage<std::uint16_t> kCompositionIndex;
extern const char32_t kCompositions[];

}  // namespace text_unicode::detail
