// textcase, texttrim, textmatch and textsplit through the host, one of them per input (its last
// byte), each element of each input its own value, any input possibly constant: checked element
// by element against the rule done another way, on the case mappings and White_Space set read
// from the Unicode Character Database's own files (plain_unicode.h). The input's front holds
// four texts; each element's texts are one of them, two joined, or one upper-cased, so that one
// often holds another or differs from it by case alone.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "plain_unicode.h"
#include "plugin_trial.h"

namespace {

using fuzz::ULONG;
using fuzz::Value;

constexpr const char* kNodes[] = {"textcase", "texttrim", "textmatch", "textsplit"};
constexpr std::size_t kPool = 4;

const tests::PlainUnicode& database() {
  static const tests::PlainUnicode read(TEXTNODES_UCD);
  return read;
}

// ---- The rules, written another way, on the texts' characters (plain_text.h) -------------

using fuzz::characters;
using Characters = std::u32string;

Characters cased(Characters text, bool upper) {
  for (char32_t& c : text) c = upper ? database().to_upper(c) : database().to_lower(c);
  return text;
}

Characters trimmed(Characters text, std::int32_t mode) {
  const auto white = [](char32_t c) { return database().is_white_space(c); };
  while (mode != 2 && !text.empty() && white(text.front())) text.erase(0, 1);
  while (mode != 1 && !text.empty() && white(text.back())) text.pop_back();
  return text;
}

// Every position tried.
bool matches(Characters text, Characters key, std::int32_t mode, bool ignore_case) {
  if (ignore_case) text = cased(text, false), key = cased(key, false);
  const std::size_t last = text.size() < key.size() ? 0 : text.size() - key.size() + 1;
  bool found = false;
  for (std::size_t at = 0; at < last; ++at)
    if (text.compare(at, key.size(), key) == 0 && (mode == 1   ? at == 0
                                                   : mode == 2 ? at + 1 == last
                                                   : mode == 3 ? key == text
                                                               : true))
      found = true;
  return found;
}

// The text walked a character at a time.
std::vector<Value> pieces(const Characters& text, const Characters& delimiter) {
  std::vector<Value> found;
  Characters piece;
  for (std::size_t i = 0; i < text.size();) {
    if (!delimiter.empty() && text.compare(i, delimiter.size(), delimiter) == 0) {
      found.emplace_back(fuzz::text_of(std::exchange(piece, Characters())));
      i += delimiter.size();
    } else {
      piece += text[i++];
    }
  }
  found.emplace_back(fuzz::text_of(piece));
  return found;
}

// ---- The inputs ------------------------------------------------------------------------

std::wstring pool_text(fuzz::FuzzInput& input, const std::vector<std::wstring>& pool) {
  const std::size_t pick = input.choice(3 * kPool);
  if (pick < kPool) return pool[pick];
  if (pick < 2 * kPool) return fuzz::joined(pool[pick - kPool], pool[(pick + 1) % kPool]);
  return fuzz::text_of(cased(characters(pool[pick - 2 * kPool]), true));
}

// The inputs as fuzz::fill_inputs draws them: texts from the pool, a mode from -1 to 4 or any
// integer.
void fill_inputs(fuzz::FuzzInput& input, fuzz::Trial& trial, const xsi_host::NodeRecord& node,
                 const std::vector<std::wstring>& pool) {
  const auto mode = [](fuzz::FuzzInput& in) {
    const std::size_t pick = in.choice(7);
    return pick < 6 ? static_cast<std::int32_t>(pick) - 1 : in.integer_item();
  };
  fuzz::fill_inputs(
      input, trial, node, mode,
      [&pool](fuzz::FuzzInput& in, const xsi_host::PortRecord&) { return pool_text(in, pool); });
}

std::vector<Value> expected(std::size_t node, fuzz::Trial& trial, ULONG k) {
  const auto text = [&](ULONG id) {
    return characters(std::get<std::wstring>(trial.value_at(id, k)));
  };
  const auto integer = [&](ULONG id) { return std::get<std::int32_t>(trial.value_at(id, k)); };
  const auto flag = [&](ULONG id) { return std::get<bool>(trial.value_at(id, k)); };
  if (node == 0) return {fuzz::text_of(cased(text(0), flag(1)))};
  if (node == 1) return {fuzz::text_of(trimmed(text(0), integer(1)))};
  if (node == 2) return {matches(text(0), text(1), integer(2), flag(3))};
  return pieces(text(0), text(1));
}

}  // namespace

FUZZ_NODES(kNodes, database, kPool, fill_inputs, expected)
