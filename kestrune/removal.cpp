#include "removal.h"

#include <vector>

namespace kestrune {
namespace {

// Texts up to this long are searched and cut directly: the work, at most the square of this,
// is less than building the matcher's table takes. Longer ones get the matcher, linear in both.
constexpr std::size_t kDirect = 128;

// The Knuth-Morris-Pratt failure function: border[i] is the length of the longest proper prefix
// of sub[0..i] that is also its suffix.
std::vector<std::size_t> borders(std::wstring_view sub) {
  std::vector<std::size_t> border(sub.size(), 0);
  for (std::size_t i = 1, k = 0; i < sub.size(); ++i) {
    while (k > 0 && sub[i] != sub[k]) k = border[k - 1];
    if (sub[i] == sub[k]) ++k;
    border[i] = k;
  }
  return border;
}

// The matcher's state after reading c in state matched: the characters of sub matched so far,
// fewer than all of them.
std::size_t advance(std::wstring_view sub, const std::vector<std::size_t>& border,
                    std::size_t matched, wchar_t c) {
  while (matched > 0 && c != sub[matched]) matched = border[matched - 1];
  return c == sub[matched] ? matched + 1 : matched;
}

}  // namespace

std::size_t find_first(std::wstring_view text, std::wstring_view sub) {
  if (sub.empty() || sub.size() > text.size()) return std::wstring_view::npos;
  if (text.size() <= kDirect) return text.find(sub);
  const std::vector<std::size_t> border = borders(sub);
  std::size_t matched = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    matched = advance(sub, border, matched, text[i]);
    if (matched == sub.size()) return i + 1 - sub.size();
  }
  return std::wstring_view::npos;
}

std::wstring remove_at(std::wstring_view text, std::size_t position, std::size_t length) {
  std::wstring result;
  result.reserve(text.size() - length);
  result.append(text.substr(0, position));
  result.append(text.substr(position + length));
  return result;
}

// All occurrences have the same length, so the first to end is also the first to begin: the
// scan keeps the characters read so far with the matcher's state after each, and when an
// occurrence completes it drops it and resumes from the state before it began. What is kept
// then never holds an occurrence, exactly as after each step of the repeated removal.
//
// A short text is cut directly: after a removal at p, the next occurrence cannot begin before
// p - (m - 1), since everything before that was there, unchanged, when the first occurrence was
// at p; so each search resumes there rather than at the start.
std::wstring remove_all(std::wstring_view text, std::wstring_view sub, std::size_t first) {
  if (sub.empty()) return std::wstring(text);
  if (text.size() <= kDirect) {
    std::wstring cut(text);
    for (std::size_t at = first != std::wstring_view::npos ? first : cut.find(sub);
         at != std::wstring::npos;
         at = cut.find(sub, at >= sub.size() - 1 ? at - (sub.size() - 1) : 0))
      cut.erase(at, sub.size());
    return cut;
  }
  const std::vector<std::size_t> border = borders(sub);
  std::wstring kept;
  std::vector<std::size_t> state;  // state[i]: characters of sub matched after kept[i]
  kept.reserve(text.size());
  state.reserve(text.size());
  for (const wchar_t c : text) {
    const std::size_t matched = advance(sub, border, state.empty() ? 0 : state.back(), c);
    kept.push_back(c);
    state.push_back(matched);
    if (matched == sub.size()) {
      kept.resize(kept.size() - sub.size());
      state.resize(state.size() - sub.size());
    }
  }
  return kept;
}

}  // namespace kestrune
