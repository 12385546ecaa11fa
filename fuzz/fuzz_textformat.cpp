// textformat through the host, each element its own format and values, either input possibly
// handed over as constant, checked element by element against the plain rule (plain_format.h).
//
// The input makes three formats from pieces of the format language (braces, names, every part
// of a spec, pieces the node refuses) or from any text; each element takes one of them, and
// values that are any 32-bit pattern (NaN, infinities, subnormals) or decimals near a rounding
// tie, at scales from 1e-7 to 1e20.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "plain_format.h"
#include "plugin_trial.h"

namespace {

using fuzz::ULONG;
using fuzz::Value;

constexpr const wchar_t* kPieces[] = {
    L"{",   L"}",    L"{}", L"{:", L"{0", L"{1",     L":",          L"0",  L"1",  L"2", L"7", L"10",
    L"999", L"1001", L".",  L"<",  L">",  L"^",      L"=",          L"+",  L"-",  L" ", L"#", L"f",
    L"F",   L"e",    L"E",  L"g",  L"G",  L"%",      L"d",          L"x",  L"X",  L"o", L"b", L"n",
    L",",   L"_",    L"z",  L"!r", L"*",  L"\u00e9", L"\U0001F600", L" m", L"{{", L"}}"};

constexpr float kScales[] = {1.0f, 0.125f, 0.001f, 1e6f, 1e20f, 1e-7f, 3.3e38f};

std::wstring format(fuzz::FuzzInput& input) {
  if (input.choice(8) == 0) return input.text();
  std::wstring text;
  for (std::size_t n = input.choice(14); n > 0; --n)
    text += kPieces[input.choice(std::size(kPieces))];
  return text;
}

float value(fuzz::FuzzInput& input) {
  if (input.flag()) return input.float_item();
  const auto whole = static_cast<float>(static_cast<int>(input.choice(2001)) - 1000);
  return whole / 8.0f * kScales[input.choice(std::size(kScales))];
}

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  const std::wstring formats[] = {format(input), format(input), format(input)};
  xsi_host::PortData& format_port = trial.input(0);
  format_port.constant = input.flag();
  for (ULONG k = 0; k < format_port.element_count(); ++k)
    format_port.set_text(k, formats[input.choice(3)]);
  xsi_host::PortData& value_port = trial.input(1);
  for (ULONG k = 0; k < value_port.element_count(); ++k) {
    std::vector<float> values(input.item_count());
    for (float& item : values) item = value(input);
    value_port.set_floats(k, values);
  }
  trial.run(false, [&](ULONG k) {
    std::vector<float> values;
    for (const Value& item : trial.items_at(1, k)) values.push_back(std::get<float>(item));
    const std::wstring text = std::get<std::wstring>(trial.value_at(0, k));
    return std::vector<Value>{fuzz::plain_format(text, values).value_or(L"")};
  });
}

}  // namespace

FUZZ_NODE("textformat", check)
