#include "backtracker.h"

#include <algorithm>

#include "context.h"
#include "pike_vm.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

Backtracker::Backtracker(const Program& program)
    : program_(program),
      usable_(std::none_of(program.insts.begin(), program.insts.end(),
                           [](const Inst& inst) { return inst.op == Op::kCheck; })),
      slots_(static_cast<std::size_t>(program.slots), kUnset) {}

bool Backtracker::search(std::wstring_view text, std::size_t from, std::size_t to,
                         std::size_t* slots) {
  const std::size_t width = program_.insts.size();
  tried_.assign(((to - from + 1) * width + 63) / 64, 0);
  std::fill(slots_.begin(), slots_.end(), kUnset);
  jobs_.assign(1, Job{program_.start, -1, from});
  while (!jobs_.empty()) {
    const Job job = jobs_.back();
    jobs_.pop_back();
    if (job.slot >= 0) {
      slots_[static_cast<std::size_t>(job.slot)] = job.at;
      continue;
    }
    std::int32_t pc = job.pc;
    std::size_t at = job.at;
    for (;;) {
      const std::size_t bit = (at - from) * width + static_cast<std::size_t>(pc);
      if ((tried_[bit / 64] >> (bit % 64) & 1) != 0) break;
      tried_[bit / 64] |= std::uint64_t{1} << (bit % 64);
      const Inst& inst = program_.insts[pc];
      if (inst.op == Op::kSet) {
        if (at == to) break;
        const text_unicode::Character c = text_unicode::character_at(text, at);
        if (!program_.sets[inst.x].contains(inst.fold ? text_unicode::to_lower(c.code) : c.code))
          break;
        ++steps_;
        at += c.units;
        ++pc;
      } else if (inst.op == Op::kMatch) {
        if (at != to) break;
        std::copy(slots_.begin(), slots_.end(), slots);
        return true;
      } else if (inst.op == Op::kJump) {
        pc = inst.x;
      } else if (inst.op == Op::kSplit) {
        jobs_.push_back({inst.y, -1, at});
        pc = inst.x;
      } else if (inst.op == Op::kSave) {
        jobs_.push_back({-1, inst.x, slots_[static_cast<std::size_t>(inst.x)]});
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
