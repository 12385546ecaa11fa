// Bad input to icehost, and the small text helpers its one-line messages are built with.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace icehost {

// Bad input on the command line; its message is the one line icehost prints for it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// text in single quotes, as messages show what the user gave: 'ten'.
inline std::string in_quotes(std::string_view text) { return "'" + std::string(text) + "'"; }

// The parts with separator between them.
inline std::string join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

}  // namespace icehost
