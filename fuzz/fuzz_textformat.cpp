// textformat through the host, each element its own format and values, either input possibly
// handed over as constant, checked element by element against the plain rule (plain_format.h).
// Each element takes one of three formats, made of characters of the format language and numbers
// near its bounds, or given whole, and values of any bit pattern or near a rounding tie, from 1e-7
// to 1e20.
#include <string>
#include <vector>

#include "plain_format.h"
#include "plugin_trial.h"

namespace {

using fuzz::Value;

std::wstring format(fuzz::FuzzInput& input) {
  // A character past U+FFFF among them: a fill of one character, or where texts are UTF-16 two
  // halves picked apart, each a lone surrogate, or together again.
  static const std::wstring kCharacters =
      fuzz::text_of(U"{}{}:.0123456789<>^=+- #fFeEgG%dxXobn,_z!r*\u00e9\U0001F600");
  if (input.choice(8) == 0) return input.text();
  std::wstring text;
  constexpr const wchar_t* kNumbers[] = {L"766", L"767", L"999", L"1000", L"1001"};
  for (std::size_t n = input.choice(16); n > 0; --n) {
    const std::size_t pick = input.choice(kCharacters.size() + std::size(kNumbers));
    if (pick < kCharacters.size())
      text += kCharacters[pick];
    else
      text += kNumbers[pick - kCharacters.size()];
  }
  return text;
}

float value(fuzz::FuzzInput& input) {
  constexpr float kScales[] = {1.0f, 0.125f, 0.001f, 1e6f, 1e20f, 1e-7f};
  if (input.flag()) return input.float_item();
  return static_cast<float>(static_cast<int>(input.choice(2001)) - 1000) *
         kScales[input.choice(std::size(kScales))];
}

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  const std::wstring formats[] = {format(input), format(input), format(input)};
  trial.input(0).constant = input.flag();
  for (fuzz::ULONG k = 0; k < trial.input(0).element_count(); ++k)
    trial.input(0).set_text(k, formats[input.choice(3)]);
  for (fuzz::ULONG k = 0; k < trial.input(1).element_count(); ++k) {
    std::vector<float> values(input.item_count());
    for (float& item : values) item = value(input);
    trial.input(1).set_floats(k, values);
  }
  trial.run(false, [&](fuzz::ULONG k) {
    std::vector<float> values;
    for (const Value& item : trial.items_at(1, k)) values.push_back(std::get<float>(item));
    const std::wstring text = std::get<std::wstring>(trial.value_at(0, k));
    return std::vector<Value>{fuzz::plain_format(text, values).value_or(L"")};
  });
}

}  // namespace

FUZZ_NODE("textformat", check)
