// Bad input to icehost, and the small text helpers its one-line messages are built with.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace icehost {

// Bad input (the command line, a case file); its message is the one line icehost prints for it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// read(), with where put before the message of a UsageError it throws: the option or key a
// shared check was about.
template <class Read>
decltype(auto) in_context(std::string_view where, Read&& read) {
  try {
    return read();
  } catch (const UsageError& error) {
    throw UsageError(std::string(where) + error.what());
  }
}

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

// The pieces of text between commas; no text at all is no pieces.
inline std::vector<std::string_view> split_commas(std::string_view text) {
  std::vector<std::string_view> pieces;
  if (text.empty()) return pieces;
  for (std::size_t begin = 0;;) {
    const std::size_t comma = text.find(',', begin);
    pieces.push_back(text.substr(begin, comma == std::string_view::npos ? comma : comma - begin));
    if (comma == std::string_view::npos) return pieces;
    begin = comma + 1;
  }
}

}  // namespace icehost
