// kestrune through the host: any text, sub-text and switch, checked against the removal done
// the plain way, one find and erase at a time.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "plugin_trial.h"

namespace {

enum Port : fuzz::ULONG { kText = 0, kSub = 1, kRemoveAll = 2 };

// The first occurrence removed; with remove_all, then the first remaining one again and again,
// each search from the start, until none is left.
std::wstring removed(std::wstring text, const std::wstring& sub, bool remove_all) {
  std::size_t at = text.find(sub);
  text.erase(at, sub.size());
  while (remove_all && (at = text.find(sub)) != std::wstring::npos) text.erase(at, sub.size());
  return text;
}

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  trial.set_text(kText, input.text());
  trial.set_text(kSub, input.text());
  trial.set_boolean(kRemoveAll, input.flag());

  // An input with no elements reads as empty, or false.
  const std::wstring text = trial.text(kText);
  const std::wstring sub = trial.text(kSub);
  const bool marker = sub.empty() || text.empty() || text.find(sub) == std::wstring::npos;
  const std::wstring result =
      marker ? std::wstring() : removed(text, sub, trial.boolean(kRemoveAll));
  trial.run(marker, [&](fuzz::ULONG) { return std::vector<fuzz::Value>{result}; });
}

}  // namespace

FUZZ_NODE("kestrune", check)
