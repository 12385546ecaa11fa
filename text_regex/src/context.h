// What an assertion sees of the text around a position, in the direction a program reads:
// whether there is a character before and after it, and whether those are word characters.
#pragma once

#include <string_view>

#include "char_set.h"
#include "syntax.h"
#include "text_unicode/characters.h"

namespace text_regex::detail {

struct Context {
  bool at_start = true;  // no character before
  bool prev_word = false;
  bool at_end = true;  // no character after
  bool next_word = false;

  bool holds(Assertion assertion) const {
    switch (assertion) {
      case Assertion::kTextStart:
        return at_start;
      case Assertion::kTextEnd:
        return at_end;
      case Assertion::kWordBoundary:
        return prev_word != next_word;
      case Assertion::kNotWordBoundary:
        return prev_word == next_word;
    }
    return false;
  }
};

// The context of a position of a text read forward.
inline Context forward_context(std::wstring_view text, std::size_t at) {
  Context context;
  if (at > 0) {
    context.at_start = false;
    context.prev_word = is_word(
        text_unicode::character_at(text, text_unicode::character_start_before(text, at)).code);
  }
  if (at < text.size()) {
    context.at_end = false;
    context.next_word = is_word(text_unicode::character_at(text, at).code);
  }
  return context;
}

}  // namespace text_regex::detail
