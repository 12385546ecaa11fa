// Removing a sub-text from a text. Host-free; every function works on the wide text itself, so
// characters of any width and embedded NUL characters are kept as they are. The search is
// text_search's.
//
//   remove_at(L"xaby ab", 1, 2)       == L"xy ab"
//   remove_all(L"aabb", L"ab")        == L""      (the removal joins a new occurrence)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text_search/text_search.h"

namespace kestrune {

// The text without the length characters at position.
std::wstring remove_at(std::wstring_view text, std::size_t position, std::size_t length);

// Exactly what removing the first occurrence of sub again and again until none is left gives,
// in time linear in the text's length. An empty sub removes nothing. first, when known, is the
// position text_search::find_first gives, spared a second search.
std::wstring remove_all(std::wstring_view text, std::wstring_view sub,
                        std::size_t first = text_search::npos);

}  // namespace kestrune
