#include "engine.h"

#include <utility>

namespace text_regex::detail {

std::unique_ptr<Engine> Engine::make(Syntax syntax) {
  Program forward = compile(syntax, Direction::kForward);
  if (forward.insts.empty() ||
      forward.insts.size() * static_cast<std::size_t>(forward.slots) > kMaxThreadSlots)
    return nullptr;
  return std::unique_ptr<Engine>(new Engine(std::move(syntax), std::move(forward)));
}

Engine::Engine(Syntax syntax, Program forward)
    : syntax_(std::move(syntax)), forward_(std::move(forward)), classes_(forward_) {
  // A program whose sets part the characters too finely has no DFA: the Pike VM alone.
  if (classes_.count() > 0) forward_dfa_.emplace(forward_, classes_, false);
}

// The parts a search may need beyond the forward DFA, made when first needed, so that a pattern
// used only to tell whether it matches builds nothing more.
LazyDfa& Engine::backward_dfa() {
  if (!backward_dfa_) {
    backward_ = compile(syntax_, Direction::kBackward, forward_.sets);
    backward_dfa_.emplace(backward_, classes_, true);
  }
  return *backward_dfa_;
}

Backtracker& Engine::backtracker() {
  if (!backtracker_) backtracker_.emplace(forward_, classes_);
  return *backtracker_;
}

PikeVm& Engine::pike() {
  if (!pike_) pike_.emplace(forward_, classes_);
  return *pike_;
}

bool Engine::matches(std::wstring_view text) {
  if (forward_dfa_) {
    const LazyDfa::Result found = forward_dfa_->forward(text, 0, true);
    if (!found.gave_up) return found.found;
  }
  std::vector<std::size_t> slots(this->slots());
  return pike().search(text, 0, text.size(), false, slots.data());
}

bool Engine::find(std::wstring_view text, std::size_t from, bool groups, std::size_t* slots) {
  if (forward_dfa_) {
    const LazyDfa::Result end = forward_dfa_->forward(text, from, false);
    if (!end.gave_up && !end.found) return false;
    // The groups of a match up to an end short enough for the backtracker's bits: it searches
    // up to there itself, as cheaply as the mirror would find the match's start.
    if (!end.gave_up && groups && backtracker().fits(end.at - from))
      return backtracker().search(text, from, end.at, false, true, slots);
    const LazyDfa::Result start = end.gave_up ? end : backward_dfa().backward(text, end.at, from);
    if (!start.gave_up) {
      if (!groups) {
        slots[0] = start.at;
        slots[1] = end.at;
        return true;
      }
      if (backtracker().fits(end.at - start.at))
        return backtracker().search(text, start.at, end.at, true, true, slots);
      return pike().search(text, start.at, end.at, true, slots);
    }
  }
  return pike().search(text, from, text.size(), false, slots);
}

std::int64_t Engine::steps() const {
  std::int64_t steps = 0;
  if (pike_) steps += pike_->steps();
  if (backtracker_) steps += backtracker_->steps();
  if (forward_dfa_) steps += forward_dfa_->steps();
  if (backward_dfa_) steps += backward_dfa_->steps();
  return steps;
}

}  // namespace text_regex::detail
