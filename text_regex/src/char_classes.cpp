#include "char_classes.h"

#include <algorithm>
#include <string>

#include "text_unicode/text_unicode.h"

namespace text_regex::detail {
namespace {

// At most this many (plain, folded) parts: past it a pattern is left to the Pike VM alone.
constexpr std::size_t kMaxPairs = 1 << 16;
// At most this many classes: past it, the same.
constexpr std::size_t kMaxClasses = 1024;

void add_bounds(std::vector<char32_t>& bounds, const CharSet& set) {
  for (const CharSet::Range& r : set.ranges()) {
    bounds.push_back(r.first);
    if (r.last != kLastCode) bounds.push_back(r.last + 1);
  }
}

std::size_t part(const std::vector<char32_t>& bounds, char32_t c) {
  return static_cast<std::size_t>(std::upper_bound(bounds.begin(), bounds.end(), c) -
                                  bounds.begin());
}

}  // namespace

std::size_t CharClasses::plain_part(char32_t c) const { return part(plain_, c); }
std::size_t CharClasses::folded_part(char32_t c) const {
  return folded_width_ == 1 ? 0 : part(folded_, text_unicode::to_lower(c));
}

CharClasses::CharClasses(const Program& program) {
  std::vector<bool> folded_set(program.sets.size(), false), plain_set(program.sets.size(), false);
  for (const Inst& inst : program.insts)
    if (inst.op == Op::kSet) (inst.fold ? folded_set : plain_set)[inst.x] = true;
  for (std::size_t s = 0; s < program.sets.size(); ++s) {
    if (plain_set[s]) add_bounds(plain_, program.sets[s]);
    if (folded_set[s]) add_bounds(folded_, program.sets[s]);
  }
  CharSet word;
  if (program.word_assertions) named_class(U"w", word);
  add_bounds(plain_, word);
  for (auto* bounds : {&plain_, &folded_}) {
    std::sort(bounds->begin(), bounds->end());
    bounds->erase(std::unique(bounds->begin(), bounds->end()), bounds->end());
  }
  folded_width_ = folded_.empty() ? 1 : folded_.size() + 1;
  const std::size_t pairs = (plain_.size() + 1) * folded_width_;
  if (pairs > kMaxPairs) return;

  // Each pair's signature: the sets its characters are in, and whether they are word characters;
  // pairs of one signature make one class. A pair's characters are represented by the first
  // code of each part. The classes are few: a list looked through serves.
  std::vector<std::string> classes;
  row_ = 2 * program.sets.size();
  pairs_.resize(pairs);
  std::string signature(program.sets.size() * 2 + 1, '\0');
  for (std::size_t p = 0; p <= plain_.size(); ++p) {
    const char32_t plain = p == 0 ? 0 : plain_[p - 1];
    for (std::size_t f = 0; f < folded_width_; ++f) {
      const char32_t folded = f == 0 ? 0 : folded_[f - 1];
      for (std::size_t s = 0; s < program.sets.size(); ++s) {
        signature[2 * s] = plain_set[s] && program.sets[s].contains(plain) ? 1 : 0;
        signature[2 * s + 1] = folded_set[s] && program.sets[s].contains(folded) ? 1 : 0;
      }
      signature.back() = program.word_assertions && is_word(plain) ? 1 : 0;
      const auto found = std::find(classes.begin(), classes.end(), signature);
      pairs_[p * folded_width_ + f] = static_cast<std::uint16_t>(found - classes.begin());
      if (found != classes.end()) continue;
      if (classes.size() == kMaxClasses) {
        pairs_.clear();
        members_.clear();
        return;
      }
      classes.push_back(signature);
      // A plain set's membership is the plain part's, a folded set's the folded part's, each
      // asked of the set as the instructions use it.
      for (std::size_t s = 0; s < program.sets.size(); ++s) {
        members_.push_back(program.sets[s].contains(plain) ? 1 : 0);
        members_.push_back(program.sets[s].contains(folded) ? 1 : 0);
      }
    }
  }
  count_ = static_cast<int>(classes.size());
  // The ASCII characters' classes, the parts walked alongside.
  std::size_t plain_at = 0;
  for (char32_t c = 0; c < 0x80; ++c) {
    while (plain_at < plain_.size() && plain_[plain_at] <= c) ++plain_at;
    ascii_[c] = pairs_[plain_at * folded_width_ + folded_part(c)];
  }
}

}  // namespace text_regex::detail
