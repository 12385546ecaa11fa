#include "textpath.h"

#include <cstddef>

#include "frame/plugin.h"
#include "text_unicode/characters.h"

namespace textpath {
namespace {

// Every character these rules compare is ASCII, which is never half of a surrogate pair: the
// text's wide characters are compared as they are, on every platform. Only the drive's first
// character is counted, as the one character it is.
constexpr bool is_separator(wchar_t c) { return c == L'/' || c == L'\\'; }

constexpr bool is_ascii_letter(wchar_t c, wchar_t upper) { return c == upper || c == upper + 32; }

// The length of the path's drive, as ntpath.splitdrive gives it: a UNC root, "\\server\share"
// or "\\?\UNC\server\share" (any separators), up to the separator after the share, or the whole
// path where none follows; else a character (a letter, as a rule) and a colon, or nothing.
std::size_t drive_length(std::wstring_view path) {
  if (path.size() < 2) return 0;
  if (is_separator(path[0]) && is_separator(path[1])) {
    const bool long_unc = path.size() >= 8 && path[2] == L'?' && is_separator(path[3]) &&
                          is_ascii_letter(path[4], L'U') && is_ascii_letter(path[5], L'N') &&
                          is_ascii_letter(path[6], L'C') && is_separator(path[7]);
    std::size_t at = long_unc ? 8 : 2;
    while (at < path.size() && !is_separator(path[at])) ++at;  // the server's end
    if (at == path.size()) return path.size();
    ++at;
    while (at < path.size() && !is_separator(path[at])) ++at;  // the share's end
    return at;
  }
  const std::size_t first = text_unicode::character_at(path, 0).units;
  return first < path.size() && path[first] == L':' ? first + 1 : 0;
}

// Where the name begins: past the last separator after the drive.
std::size_t name_start(std::wstring_view path, std::size_t drive) {
  std::size_t at = path.size();
  while (at > drive && !is_separator(path[at - 1])) --at;
  return at;
}

// Where the stem ends: at the name's last dot, where a character other than a dot comes before
// it; else at the name's end.
std::size_t stem_length(std::wstring_view name) {
  const std::size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos) return name.size();
  for (std::size_t at = 0; at < dot; ++at)
    if (name[at] != L'.') return dot;
  return name.size();
}

std::wstring_view name_of(std::wstring_view path) {
  return path.substr(name_start(path, drive_length(path)));
}

}  // namespace

std::wstring_view TextPath::compute(frame::Output<0>, std::wstring_view path) {
  const std::size_t drive = drive_length(path);
  const std::size_t name = name_start(path, drive);
  // The separators before the name go, unless they are all there is after the drive.
  std::size_t end = name;
  while (end > drive && is_separator(path[end - 1])) --end;
  return path.substr(0, end > drive ? end : name);
}

std::wstring_view TextPath::compute(frame::Output<1>, std::wstring_view path) {
  return name_of(path);
}

std::wstring_view TextPath::compute(frame::Output<2>, std::wstring_view path) {
  const std::wstring_view name = name_of(path);
  return name.substr(0, stem_length(name));
}

std::wstring_view TextPath::compute(frame::Output<3>, std::wstring_view path) {
  const std::wstring_view name = name_of(path);
  return name.substr(stem_length(name));
}

}  // namespace textpath

FRAME_NODE_PLUGIN(textpath, textpath::TextPath)
