#include "text_search/text_search.h"

#include <cwchar>
#include <vector>

#include "commonness.h"

namespace text_search {

namespace {

// What the whole comparisons that fail may read, in characters, per character the scan reads,
// and before the scan has read any: enough that on ordinary text, where hardly any comparison
// gets past the second character compared at a stop, the matcher never takes over; little
// enough that where the scan stops at nearly every character and each comparison reads far (a
// run of one character searched for a run of it and another), it takes over early, at a cost
// linear in what was read. A comparison that fails at its second character reads one, and the
// stop that led to it was paid for by the scan.
constexpr std::size_t kCreditPerCharacter = 4;
constexpr std::size_t kFirstCredit = 64;

// Where in a sub-text (of two characters or more) its rarest character stands, and its next
// rarest: each the first of its rank, so that where all are equally common the scan looks for
// the first character, as the standard search does. A first character that is rare already is
// taken at once, with the last (less often tied to it than the next: "qu", "ze"), so that a
// short text is not read mostly to choose. A longer sub-text is ranked on its first kRanked
// characters: a rare one is nearly always among them, and the choice then costs the same
// however long the sub-text.
constexpr std::size_t kRanked = 64;

struct Rarest {
  std::size_t first = 0;
  std::size_t second = 0;
};

Rarest rarest_of(std::wstring_view sub) {
  Rarest at;
  if (detail::commonness(sub[0]) <= detail::kRare) return {0, sub.size() - 1};
  unsigned first = 256;
  unsigned second = 256;
  for (std::size_t i = 0; i < sub.size() && i < kRanked; ++i) {
    const unsigned rank = detail::commonness(sub[i]);
    if (rank < first) {
      second = first;
      at.second = at.first;
      first = rank;
      at.first = i;
    } else if (rank < second) {
      second = rank;
      at.second = i;
    }
  }
  return at;
}

// What a scan found: the position of the first occurrence, or npos; or, when its credit ran
// out, the place where the matcher is to take over.
struct Scanned {
  std::size_t at;
  bool handed_over;
};

// The scan looks for the rarest character where it stands in every place the sub-text could
// begin, from `from` to the last, and compares the sub-text at each stop: the next rarest
// character first, then all from the start. The sub-text has two characters or more and fits
// in the text after from. credit is what the comparisons may read before this scan's own
// earnings, and what is left of it after.
inline Scanned scan(std::wstring_view text, std::size_t from, std::wstring_view sub, Rarest rarest,
                    bool check_pairs, std::size_t& credit) {
  const wchar_t* const base = text.data();
  const wchar_t* const s = sub.data();
  const std::size_t length = sub.size();
  const wchar_t first = s[rarest.first];
  const wchar_t second = s[rarest.second];
  const std::ptrdiff_t second_after_first =
      static_cast<std::ptrdiff_t>(rarest.second) - static_cast<std::ptrdiff_t>(rarest.first);
  const wchar_t* const start = base + from + rarest.first;
  const wchar_t* const end = base + (text.size() - length) + rarest.first + 1;
  const auto earned = [&](const wchar_t* scanned) {
    return credit + kCreditPerCharacter * static_cast<std::size_t>(scanned - start);
  };
  std::size_t spent = 0;
  for (const wchar_t* scanned = start; scanned < end;) {
    const wchar_t* const hit =
        std::wmemchr(scanned, first, static_cast<std::size_t>(end - scanned));
    if (hit == nullptr) break;
    scanned = hit + 1;
    if (hit[second_after_first] != second) continue;
    const wchar_t* const at = hit - rarest.first;
    std::size_t same = 0;
    while (same < length && at[same] == s[same]) ++same;
    const auto position = static_cast<std::size_t>(at - base);
    if (same == length && (!check_pairs || whole_characters(text, position, length))) {
      credit = earned(scanned) - spent;
      return {position, false};
    }
    spent += same + 1;
    if (spent > earned(scanned)) {
      credit = 0;
      return {static_cast<std::size_t>(at + 1 - base), true};
    }
  }
  credit = earned(end) - spent;
  return {npos, false};
}

// The first occurrence of a one-character sub-text, by the scan alone.
std::size_t find_character(std::wstring_view text, std::size_t from, wchar_t c, bool check_pairs) {
  for (;;) {
    const wchar_t* const hit = std::wmemchr(text.data() + from, c, text.size() - from);
    if (!hit) return npos;
    const auto at = static_cast<std::size_t>(hit - text.data());
    if (!check_pairs || whole_characters(text, at, 1)) return at;
    from = at + 1;
  }
}

// The standard search, which the shortest texts take, each occurrence that splits a pair passed
// over: at most kDirect squared comparisons.
std::size_t find_direct(std::wstring_view text, std::wstring_view sub, std::size_t from) {
  std::size_t at = text.find(sub, from);
  if (!may_split_pairs(sub)) return at;
  while (at != npos && !whole_characters(text, at, sub.size())) at = text.find(sub, at + 1);
  return at;
}

}  // namespace

Matcher::Matcher(std::wstring_view sub)
    : sub_(sub), border_(sub.size(), 0), check_pairs_(may_split_pairs(sub)) {
  for (std::size_t i = 1, k = 0; i < sub.size(); ++i) {
    while (k > 0 && sub[i] != sub[k]) k = border_[k - 1];
    if (sub[i] == sub[k]) ++k;
    border_[i] = k;
  }
}

std::size_t Matcher::find(std::wstring_view text, std::size_t from) const {
  const std::wstring_view sub = sub_;
  const std::size_t* const border = border_.data();
  std::size_t matched = 0;
  for (std::size_t i = from; i < text.size(); ++i) {
    matched = step(sub, border, matched, text[i]);
    if (matched < sub.size()) continue;
    const std::size_t at = i + 1 - sub.size();
    if (!check_pairs_ || whole_characters(text, at, sub.size())) return at;
    matched = border[sub.size() - 1];
  }
  return npos;
}

Searcher::Searcher(std::wstring_view sub)
    : sub_(sub), credit_(kFirstCredit), check_pairs_(may_split_pairs(sub)) {
  const Rarest rarest = rarest_of(sub);
  rarest_ = rarest.first;
  second_ = rarest.second;
}

std::size_t Searcher::find(std::wstring_view text, std::size_t from) {
  if (from > text.size() || text.size() - from < sub_.size()) return npos;
  if (matcher_) return matcher_->find(text, from);
  if (sub_.size() == 1) return find_character(text, from, sub_[0], check_pairs_);
  const Scanned scanned = scan(text, from, sub_, {rarest_, second_}, check_pairs_, credit_);
  if (!scanned.handed_over) return scanned.at;
  matcher_.emplace(sub_);
  return matcher_->find(text, scanned.at);
}

std::size_t find_first(std::wstring_view text, std::wstring_view sub, std::size_t from) {
  if (sub.empty() || sub.size() > text.size()) return npos;
  if (text.size() <= kDirect) return find_direct(text, sub, from);
  return Searcher(sub).find(text, from);
}

Occurrences::Occurrences(std::wstring_view text, std::wstring_view sub)
    : text_(text), sub_(sub), from_(sub.empty() || sub.size() > text.size() ? npos : 0) {
  if (from_ == 0 && text.size() > kDirect) searcher_.emplace(sub);
}

std::size_t Occurrences::next() {
  if (from_ == npos) return npos;
  const std::size_t at =
      searcher_ ? searcher_->find(text_, from_) : find_direct(text_, sub_, from_);
  from_ = at == npos ? npos : at + sub_.size();
  return at;
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
  if (text.size() <= kDirect) {
    std::wstring cut(text);
    for (std::size_t at = first != npos ? first : find_first(cut, sub); at != npos;
         at = find_first(cut, sub, at >= sub.size() - 1 ? at - (sub.size() - 1) : 0))
      cut.erase(at, sub.size());
    return cut;
  }
  const Matcher matcher(sub);
  const bool check_pairs = may_split_pairs(sub);
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

}  // namespace text_search
