// Texts in the host's own text class, for the computations that ask the SDK's text operations
// (search, cut, narrow form, reading a number) of them. Each says when the SDK could not give the
// storage it needed, so that a computation reports that rather than working on less.
#pragma once

#include <optional>
#include <string_view>

#include "frame/node.h"

namespace frame {

// A copy of text in the host's own text class; nothing when the SDK could not store it whole.
inline std::optional<XSI::CString> to_cstring(std::wstring_view text) {
  std::optional<XSI::CString> copy(std::in_place, text.data(), static_cast<ULONG>(text.size()));
  if (copy->Length() != text.size()) copy.reset();
  return copy;
}

// The narrow form of a text, one byte for each of its characters, NULs included; nothing when
// the SDK could not make it.
inline std::optional<std::string_view> narrow_form(const XSI::CString& text) {
  const char* narrow = text.GetAsciiString();
  if (!narrow) return std::nullopt;
  return std::string_view(narrow, text.Length());
}

}  // namespace frame
