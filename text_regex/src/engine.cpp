#include "engine.h"

#include <utility>

namespace text_regex::detail {

std::unique_ptr<Engine> Engine::make(const Syntax& syntax) {
  Program forward = compile(syntax, Direction::kForward);
  if (forward.insts.empty() ||
      forward.insts.size() * static_cast<std::size_t>(forward.slots) > kMaxThreadSlots)
    return nullptr;
  Program backward = compile(syntax, Direction::kBackward);
  return std::unique_ptr<Engine>(new Engine(std::move(forward), std::move(backward)));
}

Engine::Engine(Program forward, Program backward)
    : forward_(std::move(forward)),
      backward_(std::move(backward)),
      forward_classes_(forward_),
      backward_classes_(backward_),
      backtracker_(forward_, forward_classes_),
      pike_(forward_),
      scratch_(slots()) {
  // A program whose sets part the characters too finely has no DFA: the Pike VM alone.
  if (forward_classes_.count() > 0 && backward_classes_.count() > 0) {
    forward_dfa_.emplace(forward_, forward_classes_, false);
    backward_dfa_.emplace(backward_, backward_classes_, true);
  }
}

bool Engine::matches(std::wstring_view text) {
  if (forward_dfa_) {
    const LazyDfa::Result found = forward_dfa_->forward(text, 0, true);
    if (!found.gave_up) return found.found;
  }
  return pike_.search(text, 0, text.size(), false, scratch_.data());
}

bool Engine::find(std::wstring_view text, std::size_t from, bool groups, std::size_t* slots) {
  if (forward_dfa_) {
    const LazyDfa::Result end = forward_dfa_->forward(text, from, false);
    if (!end.gave_up && !end.found) return false;
    // The groups of a match up to an end short enough for the backtracker's bits: it searches
    // up to there itself, as cheaply as the mirror would find the match's start.
    if (!end.gave_up && groups && backtracker_.fits(end.at - from))
      return backtracker_.search(text, from, end.at, false, true, slots);
    const LazyDfa::Result start = end.gave_up ? end : backward_dfa_->backward(text, end.at, from);
    if (!start.gave_up) {
      if (!groups) {
        slots[0] = start.at;
        slots[1] = end.at;
        return true;
      }
      if (backtracker_.fits(end.at - start.at))
        return backtracker_.search(text, start.at, end.at, true, true, slots);
      return pike_.search(text, start.at, end.at, true, slots);
    }
  }
  return pike_.search(text, from, text.size(), false, slots);
}

std::int64_t Engine::steps() const {
  std::int64_t steps = pike_.steps() + backtracker_.steps();
  if (forward_dfa_) steps += forward_dfa_->steps() + backward_dfa_->steps();
  return steps;
}

}  // namespace text_regex::detail
