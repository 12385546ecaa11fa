// tamsel through the host: any arrays of 32-bit integers, checked against their plain decimal
// texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "plugin_trial.h"

namespace {

constexpr fuzz::ULONG kInteger = 0;

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  xsi_host::PortData& integers = trial.input(kInteger);
  for (fuzz::ULONG k = 0; k < integers.element_count(); ++k) {
    std::vector<std::int32_t> items(input.item_count());
    for (std::int32_t& item : items) item = input.integer_item();
    integers.set_integers(k, items);
  }

  trial.run(false, [&](fuzz::ULONG k) {
    std::vector<fuzz::Value> texts;
    for (const fuzz::Value& item : trial.items(kInteger, k))
      texts.emplace_back(std::to_wstring(std::get<std::int32_t>(item)));
    return texts;
  });
}

}  // namespace

FUZZ_NODE("tamsel", check)
