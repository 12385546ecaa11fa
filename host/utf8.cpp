#include "utf8.h"

#include <cstdint>

#include "text_unicode/characters.h"

namespace icehost {
namespace {

using text_unicode::is_surrogate;

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string utf8_of(std::wstring_view text, bool keep_lone_surrogates) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const text_unicode::Character c = text_unicode::character_at(text, i);
    const bool lone = is_surrogate(c.code);
    append_utf8(out, (lone && !keep_lone_surrogates) || c.code > text_unicode::kLastCodePoint
                         ? text_unicode::kReplacement
                         : c.code);
    i += c.units;
  }
  return out;
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of the four hexadecimal digits at text[at], or -1.
long hex4(std::string_view text, std::size_t at) {
  if (at + 4 > text.size()) return -1;
  long value = 0;
  for (std::size_t k = at; k < at + 4; ++k) {
    const int digit = hex_value(text[k]);
    if (digit < 0) return -1;
    value = value << 4 | digit;
  }
  return value;
}

}  // namespace

std::optional<std::wstring> utf8_to_wide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t smallest = 0;  // below this the form is overlong
    if (lead < 0x80) {
      length = 1;
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      c = lead & 0x1F;
      smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      c = lead & 0x0F;
      smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      c = lead & 0x07;
      smallest = 0x10000;
    } else {
      return std::nullopt;
    }
    if (length > bytes.size() - i) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    if (c < smallest || c > text_unicode::kLastCodePoint || is_surrogate(c)) return std::nullopt;
    wchar_t units[2];
    out.append(units, text_unicode::encode(c, units));
    i += length;
  }
  return out;
}

std::string wide_to_utf8(std::wstring_view text) { return utf8_of(text, false); }

std::string wide_to_wtf8(std::wstring_view text) { return utf8_of(text, true); }

// A small scanner of the document: strings, comments (which case files allow) and the rest, so
// that only the escapes of strings are read.
std::string escape_lone_surrogates(std::string_view document) {
  std::string out;
  out.reserve(document.size());
  enum class In { rest, string, line_comment, block_comment } in = In::rest;
  for (std::size_t i = 0; i < document.size(); ++i) {
    const char c = document[i];
    const char next = i + 1 < document.size() ? document[i + 1] : '\0';
    if (in == In::rest) {
      if (c == '"') in = In::string;
      if (c == '/' && next == '/') in = In::line_comment;
      if (c == '/' && next == '*') in = In::block_comment;
    } else if (in == In::line_comment) {
      if (c == '\n') in = In::rest;
    } else if (in == In::block_comment) {
      if (c == '*' && next == '/') {
        out += "*/";
        ++i;
        in = In::rest;
        continue;
      }
    } else if (c == '"') {
      in = In::rest;
    } else if (c == '\\' && next == 'u') {
      const long value = hex4(document, i + 2);
      const bool paired =
          text_unicode::is_high_surrogate(static_cast<char32_t>(value)) &&
          document.substr(i + 6, 2) == "\\u" &&
          text_unicode::is_low_surrogate(static_cast<char32_t>(hex4(document, i + 8)));
      if (value == 0) {
        out += "\\u0000\\u0000";
        i += 5;
        continue;
      }
      if (value >= 0 && is_surrogate(static_cast<char32_t>(value)) && !paired) {
        out += "\\u0000";
        out += document.substr(i + 2, 4);
        i += 5;
        continue;
      }
      if (paired) {
        out += document.substr(i, 12);
        i += 11;
        continue;
      }
    } else if (c == '\\') {
      out += c;
      out += next;
      ++i;
      continue;
    }
    out += c;
  }
  return out;
}

std::optional<std::wstring> with_lone_surrogates(std::string_view utf8) {
  std::wstring out;
  for (;;) {
    const std::size_t nul = utf8.find('\0');
    const auto part = utf8_to_wide(utf8.substr(0, nul));
    if (!part) return std::nullopt;
    out += *part;
    if (nul == std::string_view::npos) return out;
    if (utf8.size() > nul + 1 && utf8[nul + 1] == '\0') {
      out += L'\0';
      utf8.remove_prefix(nul + 2);
      continue;
    }
    const long value = hex4(utf8, nul + 1);
    if (value < 0) return std::nullopt;
    out += static_cast<wchar_t>(value);
    utf8.remove_prefix(nul + 5);
  }
}

}  // namespace icehost
