#include "pike_vm.h"

#include <algorithm>
#include <utility>

#include "context.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail {

PikeVm::PikeVm(const Program& program, const CharClasses& classes)
    : program_(program),
      classes_(classes),
      asserts_(std::any_of(program.insts.begin(), program.insts.end(),
                           [](const Inst& inst) { return inst.op == Op::kAssert; })),
      width_(static_cast<std::size_t>(program.slots)) {
  for (Threads* threads : {&current_, &next_}) {
    threads->sparse.assign(program.insts.size(), 0);
    threads->dense.assign(program.insts.size(), 0);
    threads->slots.assign(program.insts.size() * width_, kUnset);
  }
  fresh_.assign(width_, kUnset);
}

// Follows every path from pc that reads nothing, in priority order, to the instructions that read
// a character or match, each given the slots its path set. slots is changed on the way and
// restored.
void PikeVm::add(Threads& threads, std::int32_t pc0, std::size_t at, const Context& context,
                 std::size_t* slots) {
  jobs_.clear();
  jobs_.push_back({pc0, -1, 0});
  while (!jobs_.empty()) {
    const Job job = jobs_.back();
    jobs_.pop_back();
    if (job.slot >= 0) {
      slots[job.slot] = job.value;
      continue;
    }
    for (std::int32_t pc = job.pc;;) {
      if (program_.insts[pc].op == Op::kCheck) {
        const Inst& check = program_.insts[pc];
        pc = threads.seen(check.y) ? check.x : pc + 1;
        continue;
      }
      const Inst& inst = program_.insts[pc];
      if (threads.seen(pc)) {
        if (!inst.revisit) break;
      } else {
        threads.sparse[pc] = static_cast<std::int32_t>(threads.visited);
        threads.dense[threads.visited++] = pc;
      }
      if (inst.op == Op::kSet || inst.op == Op::kMatch) {
        threads.leaves.push_back(pc);
        std::copy(slots, slots + width_, threads.slots.begin() + pc * width_);
        break;
      }
      if (inst.op == Op::kJump) {
        pc = inst.x;
      } else if (inst.op == Op::kSplit) {
        jobs_.push_back({inst.y, -1, 0});
        pc = inst.x;
      } else if (inst.op == Op::kSave) {
        jobs_.push_back({-1, inst.x, slots[inst.x]});
        slots[inst.x] = at;
        ++pc;
      } else if (context.holds(inst.assertion)) {
        ++pc;
      } else {
        break;
      }
    }
  }
}

bool PikeVm::search(std::wstring_view text, std::size_t from, std::size_t to, bool anchored,
                    std::size_t* slots) {
  current_.clear();
  next_.clear();
  bool matched = false;
  std::size_t at = from;
  const Context context = forward_context(text, at);
  add(current_, program_.start, at, context, fresh_.data());
  for (;;) {
    text_unicode::Character c{0, 0};
    if (at < to) {
      c = text_unicode::character_at(text, at);
      ++steps_;
    }
    const Context after = at < to && asserts_ ? forward_context(text, at + c.units) : Context{};
    const int cls = at < to && classes_.count() > 0 ? classes_.of(c.code) : 0;
    for (const std::int32_t pc : current_.leaves) {
      const Inst& inst = program_.insts[pc];
      std::size_t* thread = current_.slots.data() + pc * width_;
      if (inst.op == Op::kMatch) {
        std::copy(thread, thread + width_, slots);
        matched = true;
        break;  // the threads after it have lower priority
      }
      if (at < to &&
          (classes_.count() > 0 ? classes_.in(cls, inst.x, inst.fold)
                                : program_.sets[inst.x].contains(
                                      inst.fold ? text_unicode::to_lower(c.code) : c.code)))
        add(next_, pc + 1, at + c.units, after, thread);
    }
    if (at >= to) break;
    if (!matched && !anchored) add(next_, program_.start, at + c.units, after, fresh_.data());
    std::swap(current_, next_);
    next_.clear();
    at += c.units;
    if (current_.leaves.empty() && (matched || anchored)) break;
  }
  return matched;
}

}  // namespace text_regex::detail
