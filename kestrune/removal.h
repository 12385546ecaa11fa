// Removing a sub-text from a text. Host-free; every function works on the wide text itself, so
// characters of any width and embedded NUL characters are kept as they are.
//
//   find_first(L"xaby ab", L"ab")     == 1
//   remove_at(L"xaby ab", 1, 2)       == L"xy ab"
//   remove_all(L"aabb", L"ab")        == L""      (the removal joins a new occurrence)
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrune {

// Position of the first occurrence of sub in text, or npos; an empty sub occurs nowhere.
// Linear in the lengths of both.
std::size_t find_first(std::wstring_view text, std::wstring_view sub);

// The text without the length characters at position.
std::wstring remove_at(std::wstring_view text, std::size_t position, std::size_t length);

// Exactly what removing the first occurrence of sub again and again until none is left gives,
// in time linear in the text's length. An empty sub removes nothing. first, when known, is the
// position find_first gives, spared a second search.
std::wstring remove_all(std::wstring_view text, std::wstring_view sub,
                        std::size_t first = std::wstring_view::npos);

}  // namespace kestrune
