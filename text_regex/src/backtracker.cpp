#include "backtracker.h"

#include <algorithm>

#include "context.h"
#include "pike_vm.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

Backtracker::Backtracker(const Program& program, const CharClasses& classes)
    : program_(program),
      classes_(classes),
      usable_(std::none_of(program.insts.begin(), program.insts.end(),
                           [](const Inst& inst) { return inst.op == Op::kCheck; })),
      slots_(static_cast<std::size_t>(program.slots), kUnset) {
  // The sets a match can begin with: those the paths from the start read first, where every
  // path reads before it asserts or matches.
  if (usable_) first_ = first_sets(program);
  // A set followed by a split that prefers to read it again: the greedy loop of one set.
  greedy_loop_.resize(program.insts.size(), false);
  for (std::size_t pc = 0; pc + 1 < program.insts.size(); ++pc)
    greedy_loop_[pc] = program.insts[pc].op == Op::kSet && program.insts[pc + 1].op == Op::kSplit &&
                       program.insts[pc + 1].x == static_cast<std::int32_t>(pc);
}

bool Backtracker::search(std::wstring_view text, std::size_t from, std::size_t to, bool anchored,
                         bool ends_at_to, std::size_t* slots) {
  const std::size_t width = program_.insts.size();
  tried_.assign(((to - from + 1) * width + 63) / 64, 0);
  // The paths of a failed start restore every slot they set: one fill serves every start.
  std::fill(slots_.begin(), slots_.end(), kUnset);
  // A search tries each start in turn, the bits shared: what failed from one start fails from
  // the next as well. A start whose character no match can begin with is passed over.
  for (std::size_t start = from;; start += text_unicode::character_at(text, start).units) {
    if ((anchored || can_start(text, from, start, to)) &&
        run(text, from, to, start, ends_at_to, slots))
      return true;
    if (anchored || start == to) return false;
  }
}

// A start is passed over where no set a match begins with reads its character, or where each of
// them has been tried there already, from an earlier start: every path from this one reaches one
// of them first, and would stop there.
bool Backtracker::can_start(std::wstring_view text, std::size_t from, std::size_t at,
                            std::size_t to) const {
  if (first_.empty()) return true;
  if (at == to) return false;
  const char32_t c = text_unicode::character_at(text, at).code;
  for (const Inst* inst : first_) {
    if (!reads(*inst, c)) continue;
    const std::size_t bit = (at - from) * program_.insts.size() +
                            static_cast<std::size_t>(inst - program_.insts.data());
    if ((tried_[bit / 64] & std::uint64_t{1} << (bit % 64)) == 0) return true;
  }
  return false;
}

bool Backtracker::run(std::wstring_view text, std::size_t from, std::size_t to, std::size_t start,
                      bool ends_at_to, std::size_t* slots) {
  const std::size_t width = program_.insts.size();
  // Whether pc was tried at position at, marking it tried.
  const auto tried = [&](std::int32_t pc, std::size_t at) {
    const std::size_t bit = (at - from) * width + static_cast<std::size_t>(pc);
    std::uint64_t& word = tried_[bit / 64];
    const std::uint64_t mask = std::uint64_t{1} << (bit % 64);
    if ((word & mask) != 0) return true;
    word |= mask;
    return false;
  };
  jobs_.assign(1, Job{program_.start, -1, start, 0});
  while (!jobs_.empty()) {
    const Job job = jobs_.back();
    jobs_.pop_back();
    if (job.slot >= 0) {
      slots_[static_cast<std::size_t>(job.slot)] = job.at;
      continue;
    }
    if (job.slot == kExits && job.at > job.low)  // the exits of a greedy run, the last first
      jobs_.push_back(
          {job.pc, kExits, text_unicode::character_start_before(text, job.at), job.low});
    std::int32_t pc = job.pc;
    std::size_t at = job.at;
    while (!tried(pc, at)) {
      const Inst& inst = program_.insts[pc];
      if (inst.op == Op::kSet) {
        if (at == to) break;
        text_unicode::Character c = text_unicode::character_at(text, at);
        if (!reads(inst, c.code)) break;
        ++steps_;
        at += c.units;
        if (!greedy_loop_[pc]) {
          ++pc;
          continue;
        }
        // A greedy loop of this one set: as the general steps would go, the set again at each
        // position the run reaches, and the loop's exit at each of them left for later, the last
        // tried first: one job for all. (The loop's split is not marked: a path that meets it
        // again meets the set's mark next, and an exit tried twice stops at its own.)
        const std::int32_t exit = program_.insts[pc + 1].y;
        const std::size_t low = at;
        while (!tried(pc, at) && at != to) {
          c = text_unicode::character_at(text, at);
          if (!reads(inst, c.code)) break;
          ++steps_;
          at += c.units;
        }
        jobs_.push_back({exit, kExits, at, low});
        break;
      }
      if (inst.op == Op::kMatch) {
        if (ends_at_to && at != to) break;
        std::copy(slots_.begin(), slots_.end(), slots);
        return true;
      }
      if (inst.op == Op::kJump) {
        pc = inst.x;
      } else if (inst.op == Op::kSplit) {
        jobs_.push_back({inst.y, -1, at, 0});
        pc = inst.x;
      } else if (inst.op == Op::kSave) {
        jobs_.push_back({-1, inst.x, slots_[static_cast<std::size_t>(inst.x)], 0});
        slots_[static_cast<std::size_t>(inst.x)] = at;
        ++pc;
      } else if (forward_context(text, at).holds(inst.assertion)) {
        ++pc;
      } else {
        break;
      }
    }
  }
  return false;
}

}  // namespace text_regex::detail
