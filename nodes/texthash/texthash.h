// texthash: gives each evaluated element the XXH32 hash (xxHash's 32-bit hash) of its text's
// UTF-8 form, Seed's 32 bits as the hash's seed, its 32 bits read as a signed integer (Hash); or
// the hash's top 24 bits divided by 2^24, a float in [0, 1) (Random). The algorithm is the node's
// promise: the same on every platform and in every later version. A lone surrogate is hashed as
// U+FFFD. Each output is computed only when the host pulls it.
//
//   "abc", 0  -> Hash 852579327 (0x32D153FF)    Random 0.19850653 (0x32D153 / 2^24)
//   "", 0     -> Hash 46947589 (0x02CC5D05)
#pragma once

#include <cstdint>
#include <string_view>

#include "frame/node.h"

namespace texthash {

struct TextHash {
  static constexpr frame::NodeTable<2, 2> table{
      .name = L"texthash",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text hashed.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"text")},
          // The hash's seed, its 32 bits.
          {1, L"Seed", frame::kInteger, frame::kOnePerElement, frame::integer_value(0)},
      }},
      .outputs = {{
          // The hash, its 32 bits as a signed integer.
          {200, L"Hash", frame::kInteger, frame::kOnePerElement},
          // The hash's top 24 bits as a float in [0, 1).
          {201, L"Random", frame::kFloat, frame::kOnePerElement},
      }},
  };

  // In time linear in the text's length, without allocating.
  static std::int32_t compute(frame::Output<0>, std::wstring_view text, std::int32_t seed);
  static float compute(frame::Output<1>, std::wstring_view text, std::int32_t seed);
};

}  // namespace texthash
