// A text built piece by piece, held in the object itself while it is short, so that formatting
// an element's usual label allocates nothing; a longer one moves to the heap, whole.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "text_unicode/characters.h"

namespace textformat {

class FormattedText {
 public:
  FormattedText() = default;
  // Copies only the characters held, never the unused inline room.
  FormattedText(const FormattedText& other) { append(other.view()); }
  FormattedText& operator=(const FormattedText& other) {
    if (this != &other) {
      clear();
      append(other.view());
    }
    return *this;
  }

  // Adds piece, count times, joining halves of a surrogate pair (text_unicode::join_halves).
  void append(std::wstring_view piece, std::size_t count = 1) {
    if (piece.empty() || count == 0) return;
    if (text_unicode::may_join_halves(piece) && size_ > 0) [[unlikely]] {
      append_joining(piece, count);
      return;
    }
    append_copies(piece, count);
  }

  void clear() {
    size_ = 0;
    heap_.clear();
    on_heap_ = false;
  }

  std::wstring_view view() const {
    return on_heap_ ? std::wstring_view(heap_) : std::wstring_view(inline_.data(), size_);
  }

 private:
  // The piece's first character joined to the text's last; the rest of the piece, then the
  // other count - 1 copies, after it. Apart from append, which stays small enough to inline.
  void append_joining(std::wstring_view piece, std::size_t count);

  // The piece count times, as it is.
  void append_copies(std::wstring_view piece, std::size_t count) {
    const std::size_t grown = size_ + piece.size() * count;
    if (grown > kInline && !on_heap_) {
      heap_.reserve(grown);
      heap_.assign(inline_.data(), size_);
      on_heap_ = true;
    }
    for (std::size_t n = 0; n < count; ++n) {
      if (on_heap_)
        heap_.append(piece);
      else
        piece.copy(inline_.data() + size_ + n * piece.size(), piece.size());
    }
    size_ = grown;
  }

  static constexpr std::size_t kInline = 64;
  std::array<wchar_t, kInline> inline_;
  std::size_t size_ = 0;
  bool on_heap_ = false;
  std::wstring heap_;
};

}  // namespace textformat
