#include "text_order.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

#include "text_unicode/characters.h"
#include "text_unicode/text_unicode.h"

namespace textsort {
namespace {

constexpr bool is_digit(char32_t code) { return code - U'0' < 10; }

bool digit_at(std::wstring_view text, std::size_t at) {
  return at < text.size() && is_digit(text_unicode::unit_value(text[at]));
}

// The runs of ASCII digits from positions i and j (a digit is one wide character on every
// platform) by value, then the shorter first, in one pass and never as numbers, so that no
// length overflows: the run with more digits after its leading zeros is the larger, else the
// first digit that differs decides. Past the runs when they are equal.
int compare_runs(std::wstring_view a, std::size_t& i, std::wstring_view b, std::size_t& j) {
  const std::size_t a_start = i;
  const std::size_t b_start = j;
  while (i < a.size() && a[i] == L'0') ++i;
  while (j < b.size() && b[j] == L'0') ++j;
  int first_difference = 0;
  for (;; ++i, ++j) {
    const bool a_digit = digit_at(a, i);
    const bool b_digit = digit_at(b, j);
    if (a_digit != b_digit) return a_digit ? 1 : -1;
    if (!a_digit) break;
    if (first_difference == 0 && a[i] != b[j]) first_difference = a[i] < b[j] ? -1 : 1;
  }
  if (first_difference != 0) return first_difference;
  const std::size_t a_run = i - a_start;
  const std::size_t b_run = j - b_start;
  return a_run == b_run ? 0 : a_run < b_run ? -1 : 1;
}

}  // namespace

int compare_texts(std::wstring_view a, std::wstring_view b, Ordering ordering) {
  // The wide characters the two texts begin with alike compare equal in every ordering: skipped
  // without reading them as characters, back to where a character, or in natural order a run of
  // digits, begins.
  const std::size_t shorter = std::min(a.size(), b.size());
  std::size_t same = 0;
  while (same < shorter && a[same] == b[same]) ++same;
  if (same > 0 && text_unicode::is_high_surrogate(text_unicode::unit_value(a[same - 1]))) --same;
  if (ordering.natural) {
    std::size_t run = same;
    while (run > 0 && is_digit(text_unicode::unit_value(a[run - 1]))) --run;
    // A run of digits both texts begin alike, past its leading zeros: the rest of each run
    // decides, by its count of digits, then by its first digit, where the two differ.
    if (run < same &&
        a.substr(run, same - run).find_first_not_of(L'0') != std::wstring_view::npos) {
      std::size_t rest = same;
      while (digit_at(a, rest) && digit_at(b, rest)) ++rest;
      if (digit_at(a, rest) != digit_at(b, rest)) return digit_at(a, rest) ? 1 : -1;
      if (rest > same) return a[same] < b[same] ? -1 : 1;
    } else {
      same = run;
    }
  }
  std::size_t i = same;
  std::size_t j = same;
  while (i < a.size() && j < b.size()) {
    const text_unicode::Character x = text_unicode::character_at(a, i);
    const text_unicode::Character y = text_unicode::character_at(b, j);
    if (ordering.natural && is_digit(x.code) && is_digit(y.code)) {
      if (const int by_value = compare_runs(a, i, b, j); by_value != 0) return by_value;
      continue;
    }
    if (x.code != y.code) {
      // No character folds to an ASCII digit, so a digit beside another character compares
      // as itself in natural order too.
      const char32_t x_code = ordering.ignore_case ? text_unicode::to_lower(x.code) : x.code;
      const char32_t y_code = ordering.ignore_case ? text_unicode::to_lower(y.code) : y.code;
      if (x_code != y_code) return x_code < y_code ? -1 : 1;
    }
    i += x.units;
    j += y.units;
  }
  return static_cast<int>(i < a.size()) - static_cast<int>(j < b.size());
}

void sort_order(std::span<const std::wstring_view> texts, Ordering ordering,
                std::vector<std::int32_t>& order) {
  order.resize(texts.size());
  std::iota(order.begin(), order.end(), 0);
  // Texts that compare equal by their index: a total order, so that an unstable sort is stable.
  std::sort(order.begin(), order.end(), [&](std::int32_t x, std::int32_t y) {
    const int by_text = compare_texts(texts[static_cast<std::size_t>(x)],
                                      texts[static_cast<std::size_t>(y)], ordering);
    return by_text != 0 ? by_text < 0 : x < y;
  });
}

}  // namespace textsort
