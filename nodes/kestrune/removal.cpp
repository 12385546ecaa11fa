#include "removal.h"

namespace kestrune {

std::wstring remove_at(std::wstring_view text, std::size_t position, std::size_t length) {
  std::wstring result;
  result.reserve(text.size() - length);
  result.append(text.substr(0, position));
  result.append(text.substr(position + length));
  return result;
}

}  // namespace kestrune
