#include "char_classes.h"

#include <algorithm>
#include <numeric>

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

// The signatures of a map's parts, `words` words each: bit b of part p's says whether the
// characters of part p are in the b-th set given to mark.
class Signatures {
 public:
  Signatures(const std::vector<char32_t>& bounds, std::size_t words)
      : bounds_(bounds), words_(words), bits_((bounds.size() + 1) * words, 0) {}

  // Bit b of every part that set's ranges cover: each range begins a part and ends one.
  void mark(const CharSet& set, std::size_t b) {
    for (const CharSet::Range& r : set.ranges())
      for (std::size_t p = part(bounds_, r.first), last = part(bounds_, r.last); p <= last; ++p)
        bits_[p * words_ + b / 64] |= std::uint64_t{1} << (b % 64);
  }
  bool has(std::size_t p, std::size_t b) const {
    return (bits_[p * words_ + b / 64] >> (b % 64) & 1) != 0;
  }

  // Numbers the parts by their signatures, alike for alike, from 0: each part's number into
  // numbers, one representative part of each number into firsts.
  void number(std::vector<std::uint16_t>& numbers, std::vector<std::size_t>& firsts) const {
    const std::size_t parts = bounds_.size() + 1;
    std::vector<std::size_t> order(parts);
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto signature = [this](std::size_t p) { return bits_.begin() + p * words_; };
    const auto less = [&](std::size_t a, std::size_t b) {
      return std::lexicographical_compare(signature(a), signature(a) + words_, signature(b),
                                          signature(b) + words_);
    };
    std::sort(order.begin(), order.end(), less);
    numbers.resize(parts);
    for (std::size_t i = 0; i < parts; ++i) {
      if (i == 0 || less(order[i - 1], order[i])) firsts.push_back(order[i]);
      numbers[order[i]] = static_cast<std::uint16_t>(firsts.size() - 1);
    }
  }

 private:
  const std::vector<char32_t>& bounds_;
  std::size_t words_;
  std::vector<std::uint64_t> bits_;
};

}  // namespace

std::size_t CharClasses::plain_part(char32_t c) const { return part(plain_, c); }
std::size_t CharClasses::folded_part(char32_t c) const {
  return folded_width_ == 1 ? 0 : part(folded_, text_unicode::to_lower(c));
}

// A class is a plain part's signature (the sets tested on characters as they are that hold its
// characters, and whether they are word characters) beside a folded part's (the sets tested on
// lower cases that hold its lower cases): the classes are every pair of the two kinds, numbered
// plain number times the folded count plus folded number.
CharClasses::CharClasses(const Program& program) {
  const std::size_t sets = program.sets.size();
  std::vector<std::uint8_t> used(sets, 0);  // 1: tested plain, 2: tested folded
  for (const Inst& inst : program.insts)
    if (inst.op == Op::kSet) used[static_cast<std::size_t>(inst.x)] |= inst.fold ? 2 : 1;
  CharSet word;
  if (program.word_assertions) named_class(U"w", word);
  add_bounds(plain_, word);
  for (std::size_t s = 0; s < sets; ++s) {
    if ((used[s] & 1) != 0) add_bounds(plain_, program.sets[s]);
    if ((used[s] & 2) != 0) add_bounds(folded_, program.sets[s]);
  }
  for (auto* bounds : {&plain_, &folded_}) {
    std::sort(bounds->begin(), bounds->end());
    bounds->erase(std::unique(bounds->begin(), bounds->end()), bounds->end());
  }
  folded_width_ = folded_.size() + 1;
  if ((plain_.size() + 1) * folded_width_ > kMaxPairs) return;

  // Bit s of a signature is set s; bit `sets` of a plain one, whether its characters are words.
  const std::size_t words = (sets + 1 + 63) / 64;
  Signatures plain(plain_, words), folded(folded_, words);
  for (std::size_t s = 0; s < sets; ++s) {
    if ((used[s] & 1) != 0) plain.mark(program.sets[s], s);
    if ((used[s] & 2) != 0) folded.mark(program.sets[s], s);
  }
  plain.mark(word, sets);
  std::vector<std::uint16_t> plain_numbers, folded_numbers;
  std::vector<std::size_t> plain_firsts, folded_firsts;
  plain.number(plain_numbers, plain_firsts);
  folded.number(folded_numbers, folded_firsts);
  const std::size_t folded_count = folded_firsts.size();
  if (plain_firsts.size() * folded_count > kMaxClasses) return;

  pairs_.resize(plain_numbers.size() * folded_width_);
  for (std::size_t p = 0; p < plain_numbers.size(); ++p)
    for (std::size_t f = 0; f < folded_width_; ++f)
      pairs_[p * folded_width_ + f] =
          static_cast<std::uint16_t>(plain_numbers[p] * folded_count + folded_numbers[f]);
  row_ = 2 * sets;
  count_ = static_cast<int>(plain_firsts.size() * folded_count);
  members_.assign(static_cast<std::size_t>(count_) * row_, 0);
  for (std::size_t pc = 0; pc < plain_firsts.size(); ++pc) {
    for (std::size_t fc = 0; fc < folded_count; ++fc) {
      std::uint8_t* members = members_.data() + (pc * folded_count + fc) * row_;
      for (std::size_t s = 0; s < sets; ++s) {
        members[2 * s] = plain.has(plain_firsts[pc], s) ? 1 : 0;
        members[2 * s + 1] = folded.has(folded_firsts[fc], s) ? 1 : 0;
      }
    }
  }
  // The ASCII characters' classes, the plain parts walked alongside.
  std::size_t plain_at = 0;
  for (char32_t c = 0; c < 0x80; ++c) {
    while (plain_at < plain_.size() && plain_[plain_at] <= c) ++plain_at;
    ascii_[c] = pairs_[plain_at * folded_width_ + folded_part(c)];
  }
}

}  // namespace text_regex::detail
