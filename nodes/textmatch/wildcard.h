// Wildcard patterns, as Python's fnmatch.fnmatchcase reads them: the whole text must match. `*`
// stands for any characters, none included; `?` for one character; `[seq]` for one character of
// seq and `[!seq]` for one not in it, where `a-z` is a range, a `]` first or a `-` first or last
// is itself, and a range whose ends are in the wrong order holds nothing (and takes its two ends
// with it, as Python's translation does); a `[` without its `]` is itself, as is every other
// character, backslash included. Characters are code points (text_unicode/characters.h): `?`
// takes a character past U+FFFF whole. Time at most proportional to the text's length times the
// pattern's, whatever the two hold: no backtracking but to the last `*`.
//
//   matches_wildcard(L"sim_0042.bgeo", L"sim_*.bgeo") == true
//   matches_wildcard(L"b", L"[!a-c]") == false        matches_wildcard(L"]", L"[]]") == true
#pragma once

#include <string_view>

namespace textmatch {

bool matches_wildcard(std::wstring_view text, std::wstring_view pattern);

}  // namespace textmatch
