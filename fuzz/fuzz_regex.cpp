// regexmatch, regexextract, regexreplace, regexsplit and regexfindall through the host, one of
// them per input: each element its own text, pattern, group or replacement, any input possibly
// handed over as constant, checked element by element against the pattern compiled anew for that
// element alone, which the nodes compile once while it stays the same. No input may crash, hang
// past the per-input timeout, or let an exception out of the entry point (the call's status is
// checked in both hosts).
//
// The input chooses the node first (its last byte), then the ports, the pulled port and the
// index set (plugin_trial.h), then which input is constant and what each element holds; its
// front holds four texts, from which each element's texts are taken, alone or two joined, so
// that patterns are often built of pieces, and often the same from one element to the next.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "plugin_trial.h"
#include "text_regex/text_regex.h"

namespace {

using fuzz::ULONG;
using fuzz::Value;

constexpr const char* kNodes[] = {"regexmatch", "regexextract", "regexreplace", "regexsplit",
                                  "regexfindall"};
constexpr std::size_t kPool = 4;
// Kept short, so that an element costs milliseconds at most (the bound grows with the square of
// the pattern's length times the text's) and replacing every character stays small.
constexpr std::size_t kMaxPattern = 48;
constexpr std::size_t kMaxText = 256;
constexpr std::size_t kMaxWith = 16;

// A text of the pool, or two of them joined.
std::wstring pool_text(fuzz::FuzzInput& input, const std::vector<std::wstring>& pool) {
  const std::size_t pick = input.choice(2 * kPool);
  return pick < kPool ? pool[pick] : fuzz::joined(pool[pick - kPool], pool[(pick + 1) % kPool]);
}

// The inputs as fuzz::fill_inputs draws them: texts from the pool, each port's kept short.
void fill_inputs(fuzz::FuzzInput& input, fuzz::Trial& trial, const xsi_host::NodeRecord& node,
                 const std::vector<std::wstring>& pool) {
  const auto small = [](fuzz::FuzzInput& in) {
    return static_cast<std::int32_t>(in.choice(8)) - 2;
  };
  fuzz::fill_inputs(input, trial, node, small,
                    [&pool](fuzz::FuzzInput& in, const xsi_host::PortRecord& record) {
                      std::wstring text = pool_text(in, pool);
                      const std::size_t longest = record.name == L"Pattern" ? kMaxPattern
                                                  : record.name == L"With"  ? kMaxWith
                                                                            : kMaxText;
                      if (text.size() > longest) text.resize(longest);
                      return text;
                    });
}

std::wstring text_at(fuzz::Trial& trial, ULONG id, ULONG k) {
  return std::get<std::wstring>(trial.value_at(id, k));
}

// The pieces between the matches, or group g of each match (the texts of every match, for
// pieces false), from left to right; none past Boost's bound: then the pieces are the text alone,
// the groups none.
std::vector<Value> each_match(const text_regex::Pattern& pattern, const std::wstring& text,
                              bool pieces, std::int32_t g) {
  std::vector<Value> found;
  if (!pieces && g < 0) return found;
  text_regex::Matches each(pattern, text);
  std::size_t from = 0;
  while (each.next()) {
    if (pieces) {
      found.emplace_back(text.substr(from, each.start() - from));
      from = each.end();
    } else if (static_cast<std::size_t>(g) < each.groups()) {
      found.emplace_back(std::wstring(each.group(static_cast<std::size_t>(g))));
    } else {
      return {};
    }
  }
  if (each.gave_up()) return pieces ? std::vector<Value>{text} : std::vector<Value>{};
  if (pieces) found.emplace_back(text.substr(from));
  return found;
}

// What element k of the node's output must hold: its pattern compiled for it alone.
std::vector<Value> expected(std::size_t node, fuzz::Trial& trial, ULONG k) {
  const text_regex::Pattern pattern(text_at(trial, 1, k));
  const std::wstring text = text_at(trial, 0, k);
  switch (node) {
    case 0:
      return {pattern.matches(text)};
    case 1:
      return {std::wstring(pattern.extract(text, std::get<std::int32_t>(trial.value_at(2, k))))};
    case 2:
      return {std::wstring(
          pattern.replace(text, text_at(trial, 2, k), std::get<bool>(trial.value_at(3, k)))
              .view())};
    case 3:
      return each_match(pattern, text, true, 0);
    default:
      return each_match(pattern, text, false, std::get<std::int32_t>(trial.value_at(2, k)));
  }
}

}  // namespace

FUZZ_NODES(kNodes, fuzz::nothing_to_prepare, kPool, fill_inputs, expected)
