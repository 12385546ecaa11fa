#include "text_order.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

#include "text_unicode/characters.h"
#include "text_unicode/text_unicode.h"

namespace textsort {
namespace {

constexpr bool is_digit(char32_t code) { return code - U'0' < 10; }

// The end of the run of ASCII digits from position at (a digit is one wide character on every
// platform).
std::size_t run_end(std::wstring_view text, std::size_t at) {
  while (at < text.size() && is_digit(text_unicode::unit_value(text[at]))) ++at;
  return at;
}

// Two runs of digits by value, then the shorter first; never as numbers, so that no length
// overflows.
int compare_runs(std::wstring_view a, std::wstring_view b) {
  const std::size_t a_zeros = std::min(a.find_first_not_of(L'0'), a.size());
  const std::size_t b_zeros = std::min(b.find_first_not_of(L'0'), b.size());
  const std::size_t a_digits = a.size() - a_zeros;
  const std::size_t b_digits = b.size() - b_zeros;
  if (a_digits != b_digits) return a_digits < b_digits ? -1 : 1;
  if (const int by_digits = a.substr(a_zeros).compare(b.substr(b_zeros)); by_digits != 0)
    return by_digits;
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

int compare_texts(std::wstring_view a, std::wstring_view b, Ordering ordering) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const text_unicode::Character x = text_unicode::character_at(a, i);
    const text_unicode::Character y = text_unicode::character_at(b, j);
    if (ordering.natural && is_digit(x.code) && is_digit(y.code)) {
      const std::size_t a_end = run_end(a, i);
      const std::size_t b_end = run_end(b, j);
      if (const int by_value = compare_runs(a.substr(i, a_end - i), b.substr(j, b_end - j));
          by_value != 0)
        return by_value;
      i = a_end;
      j = b_end;
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
