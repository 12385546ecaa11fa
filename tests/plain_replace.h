// A sub-text replaced the plain way, for checking and measuring the textreplace node against:
// replaced in place in a copy of the text, each search resuming after the last replacement, so
// that a replacement is never searched again.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

namespace tests {

// text with the first occurrence of find, or when all every one, replaced by with; an empty
// find replaces nothing. Of wide characters, or of code points.
template <class Char>
std::basic_string<Char> replaced_in_place(std::basic_string<Char> text,
                                          std::type_identity_t<std::basic_string_view<Char>> find,
                                          std::type_identity_t<std::basic_string_view<Char>> with,
                                          bool all) {
  if (find.empty()) return text;
  for (std::size_t at = text.find(find); at != std::basic_string<Char>::npos;
       at = text.find(find, at + with.size())) {
    text.replace(at, find.size(), with);
    if (!all) break;
  }
  return text;
}

}  // namespace tests
