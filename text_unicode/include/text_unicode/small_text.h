// A text a computation gives back: another text viewed as it is, without a copy, or characters
// of its own, the first N held in the object itself so that the short texts most elements give
// allocate nothing, longer ones on the heap. Appending joins the halves of a surrogate pair as
// append_joined does (characters.h): the plain append inline, the rare join apart. Header-only.
//
//   SmallText<32> unchanged(text);          // views text: valid while text is
//   SmallText<32> built;
//   built.append(L"a-");  built.append(L"b");   built.view() == L"a-b"
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "text_unicode/characters.h"
#include "text_unicode/small_vector.h"

namespace text_unicode {

template <std::size_t N>
class SmallText : private SmallVector<wchar_t, N> {
  using Units = SmallVector<wchar_t, N>;

 public:
  static constexpr std::size_t kInline = N;

  SmallText() = default;
  // text itself, viewed: valid while text is.
  explicit SmallText(std::wstring_view text) noexcept
      : Units(std::span(text.data(), text.size())) {}
  // A copy of a text built elsewhere.
  explicit SmallText(std::wstring&& built) { Units::append(built.data(), built.size()); }

  std::wstring_view view() const { return {this->data(), this->size()}; }
  using Units::clear;
  using Units::clear_for;
  using Units::empty;
  using Units::reserve;
  using Units::size;

  // Appends count copies of part; the first may join the text's last character.
  void append(std::wstring_view part, std::size_t count = 1) {
    if (part.empty() || count == 0) return;
    if (may_join_halves(part) && !empty()) [[unlikely]] {
      append_joining(part, count);
      return;
    }
    append_copies(part, count);
  }

  // Appends count characters, given to be written as they are.
  wchar_t* append_for_overwrite(std::size_t count) { return Units::append_for_overwrite(count); }

 private:
  void append_copies(std::wstring_view part, std::size_t count) {
    wchar_t* out = Units::append_for_overwrite(part.size() * count);
    for (std::size_t n = 0; n < count; ++n, out += part.size()) {
      // A few characters at a time: a loop costs less than a call to copy them; more, the call.
      if (part.size() > kLoopedCopy)
        std::char_traits<wchar_t>::copy(out, part.data(), part.size());
      else
        for (std::size_t i = 0; i < part.size(); ++i) out[i] = part[i];
    }
  }

  static constexpr std::size_t kLoopedCopy = 16;

  // The first character of part joined to the text's last, where the two are the halves of a
  // pair; the rest of part, then the other count - 1 copies, after it.
  [[gnu::noinline]] void append_joining(std::wstring_view part, std::size_t count) {
    reserve(size() + part.size() * count);  // its own characters from here on
    const std::wstring_view rest = join_halves(this->back(), part);
    append_copies(rest, 1);
    append_copies(part, count - 1);
  }
};

}  // namespace text_unicode
