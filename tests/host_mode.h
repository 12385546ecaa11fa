// Which stand-in host a test program runs against. ctest runs the frame's and the plug-ins'
// suites twice: as they are, and with TEXTNODES_STRICT_HOST=1 against the unforgiving host,
// which takes every freedom the host's contract leaves; both runs must give the same results.
#pragma once

#include <cstdlib>
#include <string_view>

namespace tests {

inline bool strict_host() {
  const char* value = std::getenv("TEXTNODES_STRICT_HOST");
  return value != nullptr && std::string_view(value) == "1";
}

}  // namespace tests
