#include "textsort.h"

#include "frame/plugin.h"

namespace textsort {
namespace {

// The element's texts read once each, then put in order.
void sort_texts(const frame::Texts& strings, Ordering ordering, TextSort::State& state) {
  state.texts.resize(strings.size());
  for (std::size_t j = 0; j < strings.size(); ++j) state.texts[j] = strings[j];
  sort_order(state.texts, ordering, state.order);
}

}  // namespace

std::span<const std::wstring_view> TextSort::compute(frame::Output<0>, const frame::Texts& strings,
                                                     bool natural, bool ignore_case, State& state) {
  sort_texts(strings, {natural, ignore_case}, state);
  state.sorted.resize(state.order.size());
  for (std::size_t i = 0; i < state.order.size(); ++i)
    state.sorted[i] = state.texts[static_cast<std::size_t>(state.order[i])];
  return state.sorted;
}

std::span<const std::int32_t> TextSort::compute(frame::Output<1>, const frame::Texts& strings,
                                                bool natural, bool ignore_case, State& state) {
  sort_texts(strings, {natural, ignore_case}, state);
  return state.order;
}

}  // namespace textsort

FRAME_NODE_PLUGIN(textsort, textsort::TextSort)
