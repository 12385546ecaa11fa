#include "text_search/text_search.h"

namespace text_search {

Matcher::Matcher(std::wstring_view sub) : sub_(sub), border_(sub.size(), 0) {
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
    if (matched == sub.size()) return i + 1 - sub.size();
  }
  return npos;
}

std::size_t find_first(std::wstring_view text, std::wstring_view sub) {
  if (sub.empty() || sub.size() > text.size()) return npos;
  if (text.size() <= kDirect) return text.find(sub);
  return Matcher(sub).find(text, 0);
}

Occurrences::Occurrences(std::wstring_view text, std::wstring_view sub)
    : text_(text), sub_(sub), from_(sub.empty() || sub.size() > text.size() ? npos : 0) {
  if (from_ == 0 && text.size() > kDirect) matcher_.emplace(sub);
}

std::size_t Occurrences::next() {
  if (from_ == npos) return npos;
  const std::size_t at = matcher_ ? matcher_->find(text_, from_) : text_.find(sub_, from_);
  from_ = at == npos ? npos : at + sub_.size();
  return at;
}

}  // namespace text_search
