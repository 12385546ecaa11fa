#include "textmatch.h"

#include "frame/plugin.h"
#include "text_search/text_search.h"
#include "text_unicode/text_unicode.h"
#include "wildcard.h"

namespace textmatch {
namespace {

bool same(std::wstring_view a, std::wstring_view b, bool ignore_case) {
  return ignore_case ? text_unicode::equal_ignoring_case(a, b) : a == b;
}

bool contains(std::wstring_view text, std::wstring_view key, bool ignore_case) {
  if (key.empty()) return true;
  if (key.size() > text.size()) return false;
  if (!ignore_case) return text_search::find_first(text, key) != text_search::npos;
  // A simple case mapping keeps every character in its place and its width: an occurrence in
  // the mapped text is one in the text.
  const text_unicode::CaseMapped lower_text(text, text_unicode::Case::lower);
  const text_unicode::CaseMapped lower_key(key, text_unicode::Case::lower);
  return text_search::find_first(lower_text.view(), lower_key.view()) != text_search::npos;
}

}  // namespace

bool TextMatch::compute(std::wstring_view text, std::wstring_view key, std::int32_t mode,
                        bool ignore_case) {
  constexpr std::int32_t kStartsWith = 1;
  constexpr std::int32_t kEndsWith = 2;
  constexpr std::int32_t kEquals = 3;
  constexpr std::int32_t kWildcard = 4;
  switch (mode) {
    // The part compared begins and ends between the text's characters, not inside a pair.
    case kStartsWith:
      return key.size() <= text.size() && same(text.substr(0, key.size()), key, ignore_case) &&
             !text_unicode::inside_pair(text, key.size());
    case kEndsWith:
      return key.size() <= text.size() &&
             same(text.substr(text.size() - key.size()), key, ignore_case) &&
             !text_unicode::inside_pair(text, text.size() - key.size());
    case kEquals:
      return same(text, key, ignore_case);
    case kWildcard: {
      if (!ignore_case) return matches_wildcard(text, key);
      const text_unicode::CaseMapped lower_text(text, text_unicode::Case::lower);
      const text_unicode::CaseMapped lower_key(key, text_unicode::Case::lower);
      return matches_wildcard(lower_text.view(), lower_key.view());
    }
    default:
      return contains(text, key, ignore_case);
  }
}

}  // namespace textmatch

FRAME_NODE_PLUGIN(textmatch, textmatch::TextMatch)
