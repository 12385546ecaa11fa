// textlength, textfind (Position and Count), textreplace, textslice, textjoin and textnumber
// (Value and Length) through the host, one of them per input: each element of each input its
// own text (or number, or switch, or array of texts), any input possibly handed over as
// constant, checked element by element against the rule done another way: trying every position,
// counting by comparing at each position, replacing in place, slicing with 64-bit bounds, joining
// with a trailing delimiter cut off, reading with the C library's strtof.
//
// The input chooses the node first (its last byte), then the ports, the output checked, the
// pulled port and the index set (plugin_trial.h), then which input is constant and what each
// element holds; its front holds four texts, from which each element's texts are taken, alone or
// two joined, so that one often holds another.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_input.h"
#include "plain_replace.h"
#include "plugin_trial.h"

namespace {

using fuzz::ULONG;
using fuzz::Value;

constexpr const char* kNodes[] = {"textlength", "textfind", "textreplace",
                                  "textslice",  "textjoin", "textnumber"};
constexpr std::size_t kPool = 4;
// Replacements are kept short, so that replacing every character of a long text stays small.
constexpr std::size_t kMaxWith = 32;

// ---- The rules, written another way ------------------------------------------------------

// Each rule on the texts' characters (plain_text.h), positions and counts in characters.
using fuzz::characters;
using Characters = std::u32string;

std::int32_t first_position(const Characters& text, const Characters& sub) {
  if (sub.empty()) return -1;
  for (std::size_t at = 0; at + sub.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < sub.size() && text[at + i] == sub[i]) ++i;
    if (i == sub.size()) return static_cast<std::int32_t>(at);
  }
  return -1;
}

std::int32_t occurrences(const Characters& text, const Characters& sub) {
  std::int32_t count = 0;
  for (std::size_t at = 0; !sub.empty() && at + sub.size() <= text.size();) {
    const bool here = text.compare(at, sub.size(), sub) == 0;
    count += here ? 1 : 0;
    at += here ? sub.size() : 1;
  }
  return count;
}

// The number strtof reads at the start of text in the C locale, and its length; but hexadecimal,
// which the node does not read, as its "0". A character beyond ASCII, or NUL, reads as '#'.
// Every NaN as the quiet one, its sign kept.
std::pair<float, std::int32_t> leading_number(const std::wstring& text) {
  std::string narrow;
  for (const wchar_t c : text) narrow += c > 0 && c < 128 ? static_cast<char>(c) : '#';
  char* end = nullptr;
  float value = std::strtof(narrow.c_str(), &end);
  auto length = static_cast<std::size_t>(end - narrow.c_str());
  const std::size_t zero = narrow.find_first_not_of(" \t\n\v\f\r+-");
  if (length > zero + 1 && (narrow[zero + 1] | 0x20) == 'x') {
    value = std::copysign(0.0f, value);
    length = zero + 1;
  }
  if (std::isnan(value)) value = std::copysign(std::numeric_limits<float>::quiet_NaN(), value);
  return {value, static_cast<std::int32_t>(length)};
}

Characters sliced(const Characters& text, std::int32_t start, std::int32_t length) {
  const auto size = static_cast<long long>(text.size());
  const long long begin = start < 0 ? std::max(0LL, size + start) : std::min(size, 0LL + start);
  const long long end = length < 0 ? size : std::min(size, begin + length);
  return text.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

Characters joined(const std::vector<Value>& items, const Characters& delimiter) {
  Characters text;
  for (const Value& item : items) text += characters(std::get<std::wstring>(item)) + delimiter;
  if (!items.empty()) text.resize(text.size() - delimiter.size());
  return text;
}

// ---- The inputs ------------------------------------------------------------------------

// A text of the pool, or two of them joined.
std::wstring pool_text(fuzz::FuzzInput& input, const std::vector<std::wstring>& pool) {
  const std::size_t pick = input.choice(2 * kPool);
  return pick < kPool ? pool[pick] : fuzz::joined(pool[pick - kPool], pool[(pick + 1) % kPool]);
}

// Small numbers of either sign, the ends of the 32-bit range, or any pattern.
std::int32_t integer(fuzz::FuzzInput& input) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  switch (input.choice(3)) {
    case 0:
      return static_cast<std::int32_t>(input.choice(41)) - 20;
    case 1: {
      constexpr std::int32_t ends[] = {kMin, kMin + 1, kMax - 1, kMax};
      return ends[input.choice(4)];
    }
    default:
      return input.integer_item();
  }
}

// The inputs as fuzz::fill_inputs draws them: texts from the pool, With kept short.
void fill_inputs(fuzz::FuzzInput& input, fuzz::Trial& trial, const xsi_host::NodeRecord& node,
                 const std::vector<std::wstring>& pool) {
  fuzz::fill_inputs(input, trial, node, integer,
                    [&pool](fuzz::FuzzInput& in, const xsi_host::PortRecord& record) {
                      std::wstring text = pool_text(in, pool);
                      if (record.name == L"With" && text.size() > kMaxWith) text.resize(kMaxWith);
                      return text;
                    });
}

std::wstring text_at(fuzz::Trial& trial, ULONG id, ULONG k) {
  return std::get<std::wstring>(trial.value_at(id, k));
}

Characters characters_at(fuzz::Trial& trial, ULONG id, ULONG k) {
  return characters(text_at(trial, id, k));
}

// What element k of the node's output must hold.
Value expected(std::size_t node, fuzz::Trial& trial, ULONG k) {
  switch (node) {
    case 0:
      return static_cast<std::int32_t>(characters_at(trial, 0, k).size());
    case 1: {
      const Characters text = characters_at(trial, 0, k), sub = characters_at(trial, 1, k);
      return trial.output_id() == 201 ? occurrences(text, sub) : first_position(text, sub);
    }
    case 2:
      return fuzz::text_of(tests::replaced_in_place(
          characters_at(trial, 0, k), characters_at(trial, 1, k), characters_at(trial, 2, k),
          std::get<bool>(trial.value_at(3, k))));
    case 3:
      return fuzz::text_of(sliced(characters_at(trial, 0, k),
                                  std::get<std::int32_t>(trial.value_at(1, k)),
                                  std::get<std::int32_t>(trial.value_at(2, k))));
    case 4:
      return fuzz::text_of(joined(trial.items_at(0, k), characters_at(trial, 1, k)));
    default: {
      const auto [value, length] = leading_number(text_at(trial, 0, k));
      if (trial.output_id() == 201) return length;
      return value;
    }
  }
}

}  // namespace

FUZZ_NODES(kNodes, fuzz::nothing_to_prepare, kPool, fill_inputs, expected)
