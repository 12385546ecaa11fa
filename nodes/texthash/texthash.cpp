#include "texthash.h"

#include "frame/plugin.h"
#include "utf8_hash.h"

namespace texthash {

std::int32_t TextHash::compute(frame::Output<0>, std::wstring_view text, std::int32_t seed) {
  return static_cast<std::int32_t>(hash_utf8(text, static_cast<std::uint32_t>(seed)));
}

float TextHash::compute(frame::Output<1>, std::wstring_view text, std::int32_t seed) {
  // 24 bits, which a float holds exactly, over 2^24: exact too.
  return static_cast<float>(hash_utf8(text, static_cast<std::uint32_t>(seed)) >> 8) / 16777216.0f;
}

}  // namespace texthash

FRAME_NODE_PLUGIN(texthash, texthash::TextHash)
