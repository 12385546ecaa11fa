#include "lazy_dfa.h"

#include <algorithm>
#include <cwchar>

#include "text_unicode/characters.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

using text_unicode::character_at;
using text_unicode::character_start_before;

std::size_t LazyDfa::Hash::operator()(const std::vector<std::int32_t>& key) const {
  std::size_t h = 1469598103934665603ull;
  for (const std::int32_t v : key) h = (h ^ static_cast<std::uint32_t>(v)) * 1099511628211ull;
  return h;
}

LazyDfa::LazyDfa(const Program& program, const CharClasses& classes, bool longest)
    : program_(program),
      classes_(classes),
      longest_(longest),
      stride_(static_cast<std::size_t>(classes.count()) + 1),
      seen_(program.insts.size(), 0) {
  std::fill(std::begin(starts_), std::end(starts_), kUnknown);
  // The first character: every path from the start reads one same single character, case not
  // folded, before any assertion or match.
  if (longest) return;
  std::int32_t set = -1;
  for (const Inst* inst : first_sets(program)) {
    if (inst->fold || (set >= 0 && set != inst->x)) return;
    set = inst->x;
  }
  if (set < 0) return;
  const auto& ranges = program.sets[set].ranges();
  const char32_t c = ranges.size() == 1 ? ranges[0].first : 0;
  const bool one_unit = text_unicode::kUtf16 ? c < 0xD800 || (c > 0xDFFF && c <= 0xFFFF) : true;
  if (ranges.size() == 1 && ranges[0].last == c && c != 0 && one_unit)
    first_ = static_cast<wchar_t>(c);
}

std::size_t LazyDfa::skip(std::wstring_view text, std::size_t at) const {
  if (first_ == 0) return at;
  const wchar_t* found = std::wmemchr(text.data() + at, first_, text.size() - at);
  return found ? static_cast<std::size_t>(found - text.data()) : text.size();
}

void LazyDfa::new_marks() {
  if (++mark_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    mark_ = 1;
  }
}

// Follows a thread from pc along every path that reads nothing, in priority order, where the
// character after the position is c (or the text's end): the threads that read c go to the next
// state. True where a match ends the search of lower priorities (a match seen, not longest).
bool LazyDfa::follow(std::int32_t pc0, const Context& context, bool at_end, char32_t c,
                     bool& matched) {
  stack_.assign(1, pc0);
  while (!stack_.empty()) {
    std::int32_t pc = stack_.back();
    stack_.pop_back();
    for (;;) {
      const Inst& inst = program_.insts[pc];
      if (inst.op == Op::kCheck) {
        pc = seen_[inst.y] == mark_ ? inst.x : pc + 1;
        continue;
      }
      if (seen_[pc] == mark_ && !inst.revisit) break;
      seen_[pc] = mark_;
      if (inst.op == Op::kSet) {
        if (!at_end && set_reads(program_, inst, c)) key_.push_back(pc + 1);
        break;
      }
      if (inst.op == Op::kMatch) {
        matched = true;
        if (!longest_) return true;
        break;
      }
      if (inst.op == Op::kAssert && !context.holds(inst.assertion)) break;
      if (inst.op == Op::kSplit) stack_.push_back(inst.y);
      pc = inst.op == Op::kJump || inst.op == Op::kSplit ? inst.x : pc + 1;
    }
  }
  return false;
}

std::int32_t LazyDfa::build(std::int32_t state, char32_t c, bool at_end) {
  const std::vector<std::int32_t>& threads = *states_[state];
  const std::int32_t flags = threads[0];
  const Context now{(flags & kAtStart) != 0, (flags & kPrevWord) != 0, at_end,
                    !at_end && is_word(c)};
  new_marks();
  key_.assign(1, 0);
  bool matched = false, cut = false;
  for (std::size_t i = 1; i < threads.size() && !cut; ++i)
    cut = follow(threads[i], now, at_end, c, matched);
  // A new thread starts here, with the lowest priority, while no match has been seen.
  if ((flags & kSearching) != 0 && !cut) cut = follow(program_.start, now, at_end, c, matched);
  if (at_end) return matched ? 1 : 0;
  std::int32_t next_flags = (is_word(c) ? kPrevWord : 0) | (matched ? kMatched : 0);
  if ((flags & kSearching) != 0 && !cut) next_flags |= kSearching;
  if (key_.size() == 1) next_flags |= (next_flags & kSearching) != 0 ? kStartLike : kDead;
  key_[0] = next_flags;
  return intern(next_flags);
}

std::int32_t LazyDfa::intern(std::int32_t flags) {
  if (auto found = index_.find(key_); found != index_.end()) return found->second;
  const std::size_t cost =
      2 * key_.size() * sizeof(std::int32_t) + stride_ * sizeof(std::int32_t) + 128;
  if (memory_ + cost > kDfaMemory) return kFull;
  memory_ += cost;
  const auto id = static_cast<std::int32_t>(states_.size());
  auto [it, added] = index_.emplace(key_, id);
  states_.push_back(&it->first);
  flags_.push_back(flags);
  table_.resize(table_.size() + stride_, kUnknown);
  return id;
}

std::int32_t LazyDfa::start_state(const Context& context, bool searching) {
  const int slot = (context.at_start ? 1 : 0) | (context.prev_word ? 2 : 0) | (searching ? 4 : 0);
  if (starts_[slot] != kUnknown) return starts_[slot];
  // A search's threads start at each position, as its flag says; an anchored one's at this one.
  const std::int32_t flags = (context.at_start ? kAtStart : 0) |
                             (context.prev_word ? kPrevWord : 0) | (searching ? kSearching : 0);
  key_.assign(1, flags | (searching ? kStartLike : 0));
  if (!searching) key_.push_back(program_.start);
  const std::int32_t state = intern(key_[0]);
  if (state >= 0) starts_[slot] = state;
  return state;
}

std::int32_t LazyDfa::next_state(std::int32_t state, char32_t c) {
  const int cls = classes_.of(c);
  std::int32_t& known = table_[static_cast<std::size_t>(state) * stride_ + cls];
  if (known != kUnknown) return known;
  const std::int32_t next = build(state, c, false);
  if (next >= 0) table_[static_cast<std::size_t>(state) * stride_ + cls] = next;
  return next;
}

// The state after c, the cache emptied first where it is full; kFull where the search must give
// up.
std::int32_t LazyDfa::step(std::int32_t state, char32_t c) {
  std::int32_t next = next_state(state, c);
  if (next == kFull && reset(state)) next = next_state(state, c);
  return next;
}

bool LazyDfa::matches_at_end(std::int32_t state) {
  std::int32_t& known = table_[static_cast<std::size_t>(state) * stride_ + stride_ - 1];
  if (known == kUnknown) known = build(state, 0, true);
  return known == 1;
}

// Empties the cache but for the state the search stands in, unless the cache has been filled
// again within ten characters read for each state it holds: then a DFA costs more than the Pike
// VM, and the search gives up.
bool LazyDfa::reset(std::int32_t& state) {
  if (steps_ - steps_at_reset_ < 10 * static_cast<std::int64_t>(states_.size())) return false;
  key_ = *states_[state];
  const std::int32_t flags = flags_[state];
  index_.clear();
  states_.clear();
  flags_.clear();
  table_.clear();
  std::fill(std::begin(starts_), std::end(starts_), kUnknown);
  memory_ = 0;
  steps_at_reset_ = steps_;
  state = intern(flags);
  return state >= 0;
}

LazyDfa::Result LazyDfa::forward(std::wstring_view text, std::size_t from, bool earliest) {
  Result result;
  std::size_t at = from;
  const auto finish = [&](bool gave_up) {
    steps_ += static_cast<std::int64_t>(at - from);
    result.gave_up = gave_up;
    return result;
  };
  std::int32_t state = start_state(forward_context(text.substr(0, at), at), true);
  if (state < 0) return finish(true);
  // The flags that stop the loop below: a match, no thread left, or, where the pattern has a
  // first character, nothing under way (then the search skips to its next occurrence).
  const std::int32_t stops = kMatched | kDead | (first_ != 0 ? kStartLike : 0);
  std::int32_t flags = flags_[state];
  for (;;) {
    if ((flags & kStartLike) != 0 && first_ != 0) {
      const std::size_t next = skip(text, at);
      if (next != at) {
        steps_ -= static_cast<std::int64_t>(next - at);  // passed over, not read
        at = next;
        state = start_state(forward_context(text.substr(0, at), at), true);
        if (state < 0) return finish(true);
      }
    }
    for (;;) {
      if (at == text.size()) {
        if (matches_at_end(state)) result.found = true, result.at = at;
        return finish(false);
      }
      const text_unicode::Character c = character_at(text, at);
      std::int32_t next = table_[static_cast<std::size_t>(state) * stride_ +
                                 static_cast<std::size_t>(classes_.of(c.code))];
      if (next < 0 && (next = step(state, c.code)) < 0) return finish(true);
      state = next;
      flags = flags_[state];
      if ((flags & stops) != 0) {
        if ((flags & kMatched) != 0) {
          result.found = true, result.at = at;
          if (earliest) return finish(false);
        }
        if ((flags & kDead) != 0) return finish(false);
        at += c.units;
        break;
      }
      at += c.units;
    }
  }
}

LazyDfa::Result LazyDfa::backward(std::wstring_view text, std::size_t from, std::size_t to) {
  Result result;
  Context context;
  if (from < text.size()) {
    context.at_start = false;
    context.prev_word = is_word(character_at(text, from).code);
  }
  std::int32_t state = start_state(context, false);
  for (std::size_t at = from; state >= 0;) {
    if (at == to) {
      if (to == 0) {
        if (matches_at_end(state)) result.found = true, result.at = 0;
        return result;
      }
      ++steps_;
      state = step(state, character_at(text, character_start_before(text, to)).code);
      if (state < 0) break;
      if ((flags_[state] & kMatched) != 0) result.found = true, result.at = to;
      return result;
    }
    const std::size_t before = character_start_before(text, at);
    const char32_t c = character_at(text, before).code;
    ++steps_;
    const std::int32_t next = table_[static_cast<std::size_t>(state) * stride_ +
                                     static_cast<std::size_t>(classes_.of(c))];
    state = next >= 0 ? next : step(state, c);
    if (state < 0) break;
    if ((flags_[state] & kMatched) != 0) result.found = true, result.at = at;
    if ((flags_[state] & kDead) != 0) return result;
    at = before;
  }
  result.gave_up = true;
  return result;
}

}  // namespace text_regex::detail
