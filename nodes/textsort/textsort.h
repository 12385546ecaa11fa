// textsort: gives each evaluated element the texts of its array sorted (Sorted), and, for each
// place of the sorted array, the index of its text in the array (Order), so that a graph can put
// other arrays in the same order. Natural order compares a run of ASCII digits by its value
// ("bone2" before "bone10"), IgnoreCase compares characters by their simple lower-case mapping;
// else by code point, as Python's sorted. The sort is stable. Each output is computed only when
// the host pulls it.
//
//   "bone10", "bone2", "Bone1"  -> "Bone1", "bone2", "bone10"   Order 2, 1, 0
//   the same, Natural off       -> "Bone1", "bone10", "bone2"   Order 2, 0, 1
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "frame/node.h"
#include "frame/ports.h"
#include "text_order.h"

namespace textsort {

struct TextSort {
  // What one element's sort uses, its storage reused for the next element's.
  struct State {
    std::vector<std::wstring_view> texts;
    std::vector<std::int32_t> order;
    std::vector<std::wstring_view> sorted;
  };

  static constexpr frame::NodeTable<3, 2> table{
      .name = L"textsort",
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The texts to sort, an array of them per element.
          {0, L"Strings", frame::kText, frame::kArrayPerElement, frame::text_value(L"bone10")},
          // Whether runs of digits compare by their value.
          {1, L"Natural", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(true)},
          // Whether characters compare by their simple lower-case mapping.
          {2, L"IgnoreCase", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      .outputs = {{
          // The texts in order.
          {200, L"Sorted", frame::kText, frame::kArrayPerElement},
          // For each place, the index of its text in Strings.
          {201, L"Order", frame::kInteger, frame::kArrayPerElement},
      }},
  };

  // Views of the texts, held in state; in O(n log n) comparisons, each linear in the lengths of
  // the two texts.
  static std::span<const std::wstring_view> compute(frame::Output<0>, const frame::Texts& strings,
                                                    bool natural, bool ignore_case, State& state);
  static std::span<const std::int32_t> compute(frame::Output<1>, const frame::Texts& strings,
                                               bool natural, bool ignore_case, State& state);
};

}  // namespace textsort
