// Cutting a text at a delimiter the plain way, for the references of the nodes that read
// numbers from a delimited text: a scan from left to right that ends a piece wherever the
// whole delimiter starts, and drops the empty pieces. An empty delimiter leaves the text whole.
#pragma once

#include <string>
#include <vector>

namespace fuzz {

inline std::vector<std::wstring> plain_cut(const std::wstring& text,
                                           const std::wstring& delimiter) {
  std::vector<std::wstring> pieces;
  std::wstring piece;
  for (std::size_t i = 0; i < text.size();) {
    if (!delimiter.empty() && text.compare(i, delimiter.size(), delimiter) == 0) {
      if (!piece.empty()) pieces.push_back(piece);
      piece.clear();
      i += delimiter.size();
    } else {
      piece.push_back(text[i++]);
    }
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

}  // namespace fuzz
