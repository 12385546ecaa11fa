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

// Every occurrence removed, and each one a removal joins (text_search::remove_all).
using text_search::remove_all;

}  // namespace kestrune
