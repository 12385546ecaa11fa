// textcase, texttrim, textmatch and textsplit through the host, one of them per input (its last
// byte), each element of each input its own value, any input possibly constant: checked element
// by element against the rule done another way, on the case mappings and White_Space set read
// from the Unicode Character Database's own files (plain_unicode.h). The input's front holds
// four texts; each element's texts are one of them, two joined, or one upper-cased, so that one
// often holds another or differs from it by case alone.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
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

// One character of a wildcard pattern as Python's fnmatch.translate (3.11) writes it for re: a
// star, any character, a literal, or a class of ranges and literals (a one-character range for a
// literal), negated or not, that may hold nothing.
struct WildcardToken {
  enum Kind { star, any, one_of } kind;
  bool negated;
  std::vector<std::pair<char32_t, char32_t>> ranges;

  WildcardToken(Kind k, bool negate = false, std::vector<std::pair<char32_t, char32_t>> r = {})
      : kind(k), negated(negate), ranges(std::move(r)) {}

  bool takes(char32_t c) const {
    const bool in = std::any_of(ranges.begin(), ranges.end(),
                                [c](const auto& r) { return r.first <= c && c <= r.second; });
    return kind == any || in != negated;
  }
};

// The text between a [ and its ] (p[i, j)), as translate cuts it at the dashes between two
// characters and drops a range in the wrong order with its ends, then as re reads the class it
// wrote: a character, a dash and a character make a range; every other character is itself.
WildcardToken class_of(const Characters& p, std::size_t i, std::size_t j) {
  std::vector<Characters> chunks;
  if (std::find(p.begin() + static_cast<std::ptrdiff_t>(i),
                p.begin() + static_cast<std::ptrdiff_t>(j),
                U'-') == p.begin() + static_cast<std::ptrdiff_t>(j)) {
    chunks.push_back(p.substr(i, j - i));
  } else {
    for (std::size_t k = p[i] == U'!' ? i + 2 : i + 1;;) {
      std::size_t dash = k;
      while (dash < j && p[dash] != U'-') ++dash;
      if (dash >= j) break;
      chunks.push_back(p.substr(i, dash - i));
      i = dash + 1;
      k = dash + 3;
    }
    if (i < j)
      chunks.push_back(p.substr(i, j - i));
    else
      chunks.back() += U'-';
    for (std::size_t k = chunks.size() - 1; k > 0; --k)
      if (chunks[k - 1].back() > chunks[k][0]) {
        chunks[k - 1] = chunks[k - 1].substr(0, chunks[k - 1].size() - 1) + chunks[k].substr(1);
        chunks.erase(chunks.begin() + static_cast<std::ptrdiff_t>(k));
      }
  }
  // The class as re reads it: each chunk's characters literal, a range operator between chunks.
  constexpr char32_t kRange = 0xFFFFFFFF;
  Characters items;
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    if (k > 0) items += kRange;
    items += chunks[k];
  }
  WildcardToken token{WildcardToken::one_of};
  if (items.empty()) return token;  // holds nothing
  if (items == U"!") return {WildcardToken::any};
  std::size_t at = 0;
  if (items[0] == U'!') token.negated = true, at = 1;
  while (at < items.size()) {
    const char32_t first = items[at] == kRange ? U'-' : items[at];
    if (at + 2 < items.size() && items[at + 1] == kRange) {
      token.ranges.emplace_back(first, items[at + 2]);
      at += 3;
    } else {
      token.ranges.emplace_back(first, first);
      at += 1;
    }
  }
  return token;
}

std::vector<WildcardToken> wildcard_of(const Characters& p) {
  std::vector<WildcardToken> tokens;
  for (std::size_t i = 0; i < p.size();) {
    const char32_t c = p[i++];
    std::size_t j = i;
    if (c == U'[') {
      if (j < p.size() && p[j] == U'!') ++j;
      if (j < p.size() && p[j] == U']') ++j;
      while (j < p.size() && p[j] != U']') ++j;
    }
    if (c == U'*') {
      if (tokens.empty() || tokens.back().kind != WildcardToken::star)
        tokens.push_back({WildcardToken::star});
    } else if (c == U'?') {
      tokens.push_back({WildcardToken::any});
    } else if (c == U'[' && j < p.size()) {
      tokens.push_back(class_of(p, i, j));
      i = j + 1;
    } else {
      tokens.push_back({WildcardToken::one_of, false, {{c, c}}});
    }
  }
  return tokens;
}

// Whether the whole text matches: every split of the text over the tokens, remembered.
bool matches_wildcard(const Characters& text, const Characters& pattern) {
  const std::vector<WildcardToken> tokens = wildcard_of(pattern);
  // matched[t][c]: tokens from t match the text from c.
  std::vector<std::vector<char>> matched(tokens.size() + 1, std::vector<char>(text.size() + 1, 0));
  matched[tokens.size()][text.size()] = 1;
  for (std::size_t t = tokens.size(); t-- > 0;)
    for (std::size_t c = text.size() + 1; c-- > 0;)
      matched[t][c] = tokens[t].kind == WildcardToken::star
                          ? matched[t + 1][c] || (c < text.size() && matched[t][c + 1])
                          : c < text.size() && tokens[t].takes(text[c]) && matched[t + 1][c + 1];
  return matched[0][0] != 0;
}

// Every position tried; Mode 4 the wildcard as Python's fnmatch.fnmatchcase reads it.
bool matches(Characters text, Characters key, std::int32_t mode, bool ignore_case) {
  if (ignore_case) text = cased(text, false), key = cased(key, false);
  if (mode == 4) return matches_wildcard(text, key);
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
