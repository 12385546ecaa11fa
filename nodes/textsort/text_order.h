// The order textsort puts texts in, host-free: texts compared character by character as code
// points (text_unicode/characters.h: a surrogate pair one character where texts are UTF-16, so a
// character past U+FFFF comes after U+FFFF on every platform, as in Python's sorted), each folded
// by its simple lower-case mapping where case is ignored (text_unicode::to_lower); in natural
// order, a run of ASCII digits in both texts at the same place compared as the number it writes.
//
//   compare_texts(L"bone2", L"bone10", natural)  < 0    (by code point: > 0)
//   compare_texts(L"a7", L"a007", natural)       < 0    (equal values: fewer zeros first)
//   compare_texts(L"B", L"a", ignore_case)       > 0    (by code point: < 0)
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace textsort {

struct Ordering {
  bool natural = false;
  bool ignore_case = false;
};

// Less than 0 when a comes before b, more than 0 when after, 0 when neither. Characters compare
// by code point (folded where case is ignored), and a text that ends first comes first. In
// natural order, where both texts hold an ASCII digit at the same place, their runs of ASCII
// digits from there compare by value, whatever their length: first by their count of digits
// after leading zeros, then digit by digit, and at equal values the shorter run first. A strict
// weak ordering, in time linear in the texts' lengths.
int compare_texts(std::wstring_view a, std::wstring_view b, Ordering ordering);

// For each place of the texts in that order, the index of its text: a stable sort (texts that
// compare equal keep their order) in O(n log n) comparisons. order is overwritten.
void sort_order(std::span<const std::wstring_view> texts, Ordering ordering,
                std::vector<std::int32_t>& order);

}  // namespace textsort
