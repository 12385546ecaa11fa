// textreplace: gives each evaluated element its text with the first occurrence of Find
// replaced by With, or, with ReplaceAll on, every occurrence, found from left to right without
// overlaps: each search resumes after the last occurrence, in the text as it was, so a
// replacement is never searched again. Characters are compared exactly, case and all, and an
// occurrence never begins or ends inside a character past U+FFFF; an empty Find, or one that
// does not occur, leaves the text as it is. A lone high surrogate that comes to stand before a
// lone low one makes the character the two make, on every platform.
//
//   "a-b-c", "-", "+"            -> "a+b-c"     ReplaceAll: "a+b+c"
//   "aaa", "aa", "b", ReplaceAll -> "ba"        "ab", "a", "aa", ReplaceAll -> "aab"
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "frame/node.h"
#include "text_unicode/characters.h"

namespace textreplace {

// A text with its replacements made: the text itself when there were none, a view of it, valid
// while it is; else the text built, held in the object up to kInline characters, so that the
// short texts most elements give allocate nothing, and on the heap beyond.
class Replaced {
 public:
  static constexpr std::size_t kInline = 32;

  // Nothing replaced: the text as it is.
  explicit Replaced(std::wstring_view unchanged) : unchanged_(unchanged) {}
  // A text to build, with room for about length characters.
  explicit Replaced(std::size_t length) {
    if (length > kInline) {
      heap_.reserve(length);
      on_heap_ = true;
    }
  }
  // Copies and moves take the characters held in the object, and no more: the rest of it is
  // left unwritten, as filling it costs more than the text.
  Replaced(const Replaced& other)
      : unchanged_(other.unchanged_),
        length_(other.length_),
        heap_(other.heap_),
        on_heap_(other.on_heap_) {
    std::copy(other.inline_, other.inline_ + length_, inline_);
  }
  Replaced(Replaced&& other) noexcept
      : unchanged_(other.unchanged_),
        length_(other.length_),
        heap_(std::move(other.heap_)),
        on_heap_(other.on_heap_) {
    std::copy(other.inline_, other.inline_ + length_, inline_);
  }
  Replaced& operator=(const Replaced&) = delete;
  Replaced& operator=(Replaced&&) = delete;
  ~Replaced() = default;

  // Appends part, joining halves of a surrogate pair (text_unicode::join_halves).
  void append(std::wstring_view part) {
    if (on_heap_) {
      text_unicode::append_joined(heap_, part);
      return;
    }
    if (text_unicode::may_join_halves(part) && length_ > 0) [[unlikely]]
      part = text_unicode::join_halves(inline_[length_ - 1], part);
    if (length_ + part.size() <= kInline) {
      // A few characters at a time: a loop costs less than a call to copy them.
      for (const wchar_t c : part) inline_[length_++] = c;
      return;
    }
    heap_.reserve(2 * (length_ + part.size()));
    heap_.assign(inline_, length_);
    on_heap_ = true;
    heap_.append(part);
  }

  std::wstring_view view() const {
    if (unchanged_) return *unchanged_;
    if (on_heap_) return heap_;
    return {inline_, length_};
  }

 private:
  std::optional<std::wstring_view> unchanged_;
  wchar_t inline_[kInline];
  std::size_t length_ = 0;
  std::wstring heap_;
  bool on_heap_ = false;
};

struct TextReplace {
  static constexpr frame::NodeTable<4> table{
      .name = L"textreplace",
      // As graph nodes normally do: element k of the output from element k of each input.
      .reading = frame::Reading::at_each_element,
      .inputs = {{
          // The text to replace in.
          {0, L"String", frame::kText, frame::kOnePerElement, frame::text_value(L"a-b-c")},
          // The sub-text to replace, matched exactly.
          {1, L"Find", frame::kText, frame::kOnePerElement, frame::text_value(L"-")},
          // What replaces it.
          {2, L"With", frame::kText, frame::kOnePerElement, frame::text_value(L"+")},
          // Whether to replace every occurrence rather than the first.
          {3, L"ReplaceAll", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      // The text with the replacements made.
      .output = {200, L"Result", frame::kText, frame::kOnePerElement},
  };

  // text with the first occurrence of find, or when all every one, replaced by with; in time
  // linear in the lengths of text and of the result.
  static Replaced compute(std::wstring_view text, std::wstring_view find, std::wstring_view with,
                          bool all);
};

}  // namespace textreplace
