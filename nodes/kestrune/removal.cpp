#include "removal.h"

#include <vector>

namespace kestrune {

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
//
// Where texts are UTF-16, an occurrence that would split a surrogate pair is no occurrence (a
// sub-text that begins with a low surrogate or ends with a high one): the character before it is
// the last one kept, the one after it the next one of the text, so the scan checks both.
std::wstring remove_all(std::wstring_view text, std::wstring_view sub, std::size_t first) {
  if (sub.empty()) return std::wstring(text);
  if (text.size() <= text_search::kDirect) {
    std::wstring cut(text);
    for (std::size_t at = first != text_search::npos ? first : text_search::find_first(cut, sub);
         at != std::wstring::npos;
         at = text_search::find_first(cut, sub, at >= sub.size() - 1 ? at - (sub.size() - 1) : 0))
      cut.erase(at, sub.size());
    return cut;
  }
  const text_search::Matcher matcher(sub);
  const bool check_pairs = text_search::may_split_pairs(sub);
  std::wstring kept;
  std::vector<std::size_t> state;  // state[i]: characters of sub matched after kept[i]
  kept.reserve(text.size());
  state.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t matched = matcher.advance(state.empty() ? 0 : state.back(), text[i]);
    kept.push_back(text[i]);
    if (matched == sub.size() && check_pairs) {
      const std::size_t at = kept.size() - sub.size();
      const bool splits = (at > 0 && text_unicode::makes_pair(kept[at - 1], kept[at])) ||
                          (i + 1 < text.size() && text_unicode::makes_pair(text[i], text[i + 1]));
      if (splits) matched = matcher.after_whole();
    }
    state.push_back(matched);
    if (matched == sub.size()) {
      kept.resize(kept.size() - sub.size());
      state.resize(state.size() - sub.size());
    }
  }
  return kept;
}

}  // namespace kestrune
