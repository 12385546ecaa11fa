#include "formatted_text.h"

namespace textformat {

void FormattedText::append_joining(std::wstring_view piece, std::size_t count) {
  wchar_t& last = on_heap_ ? heap_.back() : inline_[size_ - 1];
  const std::wstring_view rest = text_unicode::join_halves(last, piece);
  if (rest.size() == piece.size()) {
    append_copies(piece, count);
    return;
  }
  // Joined to the text before it: a piece of one character, of which the rest follows.
  append_copies(rest, 1);
  append_copies(piece, count - 1);
}

}  // namespace textformat
