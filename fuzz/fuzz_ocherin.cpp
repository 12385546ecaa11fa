// ocherin through the host: any text, checked against the codes worked out character by
// character: a character below 256 gives its byte read as a signed 8-bit value, any other the
// code of '?'.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "plugin_trial.h"

namespace {

constexpr fuzz::ULONG kText = 7;

std::int32_t code_of(wchar_t c) {
  const auto code = static_cast<std::uint32_t>(c);
  if (code >= 256) return '?';
  return code < 128 ? static_cast<std::int32_t>(code) : static_cast<std::int32_t>(code) - 256;
}

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  trial.set_text(kText, input.text());

  std::vector<fuzz::Value> codes;
  for (const wchar_t c : trial.text(kText)) codes.emplace_back(code_of(c));
  trial.run(false, [&](fuzz::ULONG) { return codes; });
}

}  // namespace

FUZZ_NODE("ocherin", check)
