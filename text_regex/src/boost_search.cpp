#include "boost_search.h"

namespace text_regex::detail {

bool is_digit(Char c) { return c >= L'0' && c <= L'9'; }
namespace {

bool is_hex(Char c) { return is_digit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

}  // namespace

String engine_spelling(Codes pattern) {
  String spelled;
  spelled.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    spelled += pattern[i];
    if (pattern[i] != L'\\' || i + 1 == pattern.size()) continue;
    const Codes rest = pattern.substr(i + 1);
    if (rest.size() >= 5 && rest[0] == L'u' &&
        std::all_of(rest.begin() + 1, rest.begin() + 5, is_hex)) {
      spelled += Char{'x'};
      spelled += Char{'{'};
      spelled.append(rest.substr(1, 4));
      spelled += Char{'}'};
      i += 5;
    } else {
      spelled += pattern[++i];
    }
  }
  return spelled;
}

std::ptrdiff_t allowance(std::size_t text_length, std::size_t pattern_length) {
  const double n = static_cast<double>(std::max<std::size_t>(text_length, 1));
  const double s = static_cast<double>(std::max<std::size_t>(pattern_length, 1));
  const double work = std::max(s * s * n, n * n) + 100'000;
  return work >= static_cast<double>(kMaxWork) ? static_cast<std::ptrdiff_t>(kMaxWork)
                                               : static_cast<std::ptrdiff_t>(work);
}

}  // namespace text_regex::detail
