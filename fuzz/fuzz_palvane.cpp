// palvane through the host: any text and delimiter, checked against the plain cut, the three
// tests written out, and each piece read as a float by the number convention.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "number_text/number_text.h"
#include "plain_cut.h"
#include "plugin_trial.h"

namespace {

enum Port : fuzz::ULONG { kText = 0, kDelimiter = 1 };

// Whether the delimiter's first character, in its one-byte narrow form ('?' for a character
// past 255), is a decimal digit.
bool begins_with_digit(const std::wstring& delimiter) {
  if (delimiter.empty()) return false;
  const auto code = static_cast<std::uint32_t>(delimiter.front());
  const char narrow = code < 256 ? static_cast<char>(code) : '?';
  return narrow >= '0' && narrow <= '9';
}

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  trial.set_text(kText, input.text());
  trial.set_text(kDelimiter, input.text());

  const std::wstring text = trial.text(kText);
  const std::wstring delimiter = trial.text(kDelimiter);
  const bool contains = !delimiter.empty() && text.find(delimiter) != std::wstring::npos;
  const bool marker = !contains || begins_with_digit(delimiter) || delimiter.empty();
  std::vector<fuzz::Value> values;
  if (!marker)
    for (const std::wstring& piece : fuzz::plain_cut(text, delimiter))
      values.emplace_back(number_text::read_float(piece));
  trial.run(marker, [&](fuzz::ULONG) { return values; });
}

}  // namespace

FUZZ_NODE("palvane", check)
