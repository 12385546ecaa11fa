// A sub-text replaced the plain way, for checking and measuring the textreplace node against:
// replaced in place in a copy of the text, each search resuming after the last replacement, so
// that a replacement is never searched again.
#pragma once

#include <string>
#include <string_view>

namespace tests {

// text with the first occurrence of find, or when all every one, replaced by with; an empty
// find replaces nothing.
inline std::wstring replaced_in_place(std::wstring text, std::wstring_view find,
                                      std::wstring_view with, bool all) {
  if (find.empty()) return text;
  for (std::size_t at = text.find(find); at != std::wstring::npos;
       at = text.find(find, at + with.size())) {
    text.replace(at, find.size(), with);
    if (!all) break;
  }
  return text;
}

}  // namespace tests
