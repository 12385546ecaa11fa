// kestrune through the host: any text, sub-text and switch, checked against the removal done
// the plain way, one find and erase at a time.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_input.h"
#include "plugin_trial.h"

namespace {

enum Port : fuzz::ULONG { kText = 0, kSub = 1, kRemoveAll = 2 };

// Whether position at of text lies between characters: not inside a surrogate pair, where texts
// are UTF-16 (plain_text.h).
bool between_characters(const std::wstring& text, std::size_t at) {
  return !text_unicode::kUtf16 || at == 0 || at >= text.size() ||
         !(fuzz::is_high(fuzz::code_of(text[at - 1])) && fuzz::is_low(fuzz::code_of(text[at])));
}

// The first occurrence of sub that splits no character, by trying each position.
std::size_t first(const std::wstring& text, const std::wstring& sub) {
  for (std::size_t at = 0; at + sub.size() <= text.size(); ++at)
    if (text.compare(at, sub.size(), sub) == 0 && between_characters(text, at) &&
        between_characters(text, at + sub.size()))
      return at;
  return std::wstring::npos;
}

// The first occurrence removed; with remove_all, then the first remaining one again and again,
// each search from the start, until none is left.
std::wstring removed(std::wstring text, const std::wstring& sub, bool remove_all) {
  std::size_t at = first(text, sub);
  text.erase(at, sub.size());
  while (remove_all && (at = first(text, sub)) != std::wstring::npos) text.erase(at, sub.size());
  return text;
}

void check(fuzz::FuzzInput& input, fuzz::Trial& trial) {
  trial.set_text(kText, input.text());
  trial.set_text(kSub, input.text());
  trial.set_boolean(kRemoveAll, input.flag());

  // An input with no elements reads as empty, or false.
  const std::wstring text = trial.text(kText);
  const std::wstring sub = trial.text(kSub);
  const bool marker = sub.empty() || text.empty() || first(text, sub) == std::wstring::npos;
  const std::wstring result =
      marker ? std::wstring() : removed(text, sub, trial.boolean(kRemoveAll));
  trial.run(marker, [&](fuzz::ULONG) { return std::vector<fuzz::Value>{result}; });
}

}  // namespace

FUZZ_NODE("kestrune", check)
