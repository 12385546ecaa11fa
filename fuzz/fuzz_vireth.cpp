// vireth through the host: any arrays of floats (every bit pattern), checked against the
// shortest texts std::to_chars gives ("nan" for every NaN), each of which must read back to
// the same float by the number convention.
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "number_text/number_text.h"
#include "plugin_trial.h"

namespace {

constexpr fuzz::ULONG kScalar = 0;

std::wstring text_of(float value) {
  if (std::isnan(value)) return L"nan";
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  const std::wstring wide(text, end);
  const float back = number_text::read_float(wide);
  if (std::bit_cast<std::uint32_t>(back) != std::bit_cast<std::uint32_t>(value))
    fuzz::fail(fuzz::show_text(wide) + " reads back as " + fuzz::show(fuzz::Value(back)) +
               ", not " + fuzz::show(fuzz::Value(value)));
  return wide;
}

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  xsi_host::PortData& scalars = trial.input(kScalar);
  for (fuzz::ULONG k = 0; k < scalars.element_count(); ++k) {
    std::vector<float> items(input.item_count());
    for (float& item : items) item = input.float_item();
    scalars.set_floats(k, items);
  }

  trial.run(false, [&](fuzz::ULONG k) {
    std::vector<fuzz::Value> texts;
    for (const fuzz::Value& item : trial.items(kScalar, k))
      texts.emplace_back(text_of(std::get<float>(item)));
    return texts;
  });
}

}  // namespace

FUZZ_NODE("vireth", check)
