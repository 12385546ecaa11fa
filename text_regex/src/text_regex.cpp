#include "text_regex/text_regex.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "boost_regex.h"
#include "text_unicode/characters.h"

namespace text_regex {

struct Pattern::Compiled {
  detail::Regex regex;
  std::size_t length;  // of the pattern as written, in characters
};

namespace {

using detail::Budget;
using detail::Char;
using detail::Results;
using detail::String;
using Codes = std::basic_string_view<Char>;

// A text as the engine reads it: its code points, and where each begins in the text. Where each
// wchar_t is a code point, the text itself.
class TextInPlace {
 public:
  explicit TextInPlace(std::wstring_view text) : text_(text) {}
  std::wstring_view codes() const { return text_; }
  std::size_t position(std::size_t index) const { return index; }

 private:
  std::wstring_view text_;
};

// Where texts are UTF-16, the code points read into a buffer of their own, a surrogate pair one
// code point, so that the engine never matches half of one.
class TextDecoded {
 public:
  explicit TextDecoded(std::wstring_view text) {
    codes_.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
      const text_unicode::Character c = text_unicode::character_at(text, i);
      if (c.units == 2) pairs_.push_back(codes_.size());
      codes_.push_back(static_cast<Char>(c.code));
      i += c.units;
    }
  }
  Codes codes() const { return codes_; }
  // Where the code point at index (up to the count of them) begins in the text: past every pair
  // before it, one wchar_t more.
  std::size_t position(std::size_t index) const {
    return index + static_cast<std::size_t>(std::lower_bound(pairs_.begin(), pairs_.end(), index) -
                                            pairs_.begin());
  }

 private:
  String codes_;
  std::vector<std::size_t> pairs_;  // the indices of the code points read from a pair, ascending
};

using CodePoints = std::conditional_t<text_unicode::kUtf16, TextDecoded, TextInPlace>;

bool is_digit(Char c) { return c >= L'0' && c <= L'9'; }
bool is_hex(Char c) { return is_digit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// The pattern in the engine's own spelling: ECMAScript's \uHHHH becomes \x{HHHH}; every other
// escape is kept as it is, its escaped character included, so that \\u0041 stays a backslash
// and "u0041".
String engine_spelling(Codes pattern) {
  String spelled;
  spelled.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    spelled += pattern[i];
    if (pattern[i] != L'\\' || i + 1 == pattern.size()) continue;
    const Codes rest = pattern.substr(i + 1);
    if (rest.size() >= 5 && rest[0] == L'u' &&
        std::all_of(rest.begin() + 1, rest.begin() + 5, is_hex)) {
      spelled += Char{'x'};
      spelled += Char{'{'};
      spelled.append(rest.substr(1, 4));
      spelled += Char{'}'};
      i += 5;
    } else {
      spelled += pattern[++i];
    }
  }
  return spelled;
}

// The work one text may cost: the engine's own allowance of states, the square of the text's
// length or of the pattern's times the text's, whichever is greater, plus 100,000; at most
// kMaxWork.
std::ptrdiff_t allowance(std::size_t text_length, std::size_t pattern_length) {
  const double n = static_cast<double>(std::max<std::size_t>(text_length, 1));
  const double s = static_cast<double>(std::max<std::size_t>(pattern_length, 1));
  const double work = std::max(s * s * n, n * n) + 100'000;
  return work >= static_cast<double>(kMaxWork) ? static_cast<std::ptrdiff_t>(kMaxWork)
                                               : static_cast<std::ptrdiff_t>(work);
}

// One text's searches, charged to one budget.
class Searches {
 public:
  Searches(const detail::Regex& regex, std::size_t pattern_length, std::wstring_view text)
      : regex_(regex), text_(text), read_(text), codes_(read_.codes()) {
    budget_.allowed = budget_.left = allowance(codes_.size(), pattern_length);
  }

  // The count of code points, the positions a search may start at being 0 to it.
  std::size_t length() const { return codes_.size(); }

  // The first match at or after the code point at position. (Boost's match_any, which might
  // seem to suit a mere test, makes a search quadratic where the engine is otherwise linear:
  // (\w+)_L$ over a word.)
  bool from(std::size_t position) {
    auto flags = boost::regex_constants::match_default;
    if (position > 0) flags |= boost::regex_constants::match_prev_avail;
    const Char* begin = codes_.data();
    return boost::regex_search(at(begin + position), at(begin + codes_.size()), results_, regex_,
                               flags, at(begin));
  }

  // The match's start and end, in code points.
  std::size_t start() const { return index(results_[0].first); }
  std::size_t end() const { return index(results_[0].second); }

  // Where the code point at index begins in the text.
  std::size_t position(std::size_t index) const { return read_.position(index); }

  // The text of a group of the match, a view into the text; empty when there is no such group
  // or it did not take part.
  std::wstring_view group(std::size_t group) const {
    if (group >= results_.size() || !results_[group].matched) return {};
    const std::size_t first = position(index(results_[group].first));
    return text_.substr(first, position(index(results_[group].second)) - first);
  }

  std::size_t groups() const { return results_.size(); }

  // Records the cost in work, when asked for.
  void report(Work* work, bool gave_up) const {
    if (work) *work = {budget_.allowed - std::max<std::ptrdiff_t>(budget_.left, 0), gave_up};
  }

 private:
  detail::Cursor at(const Char* character) { return {character, &budget_}; }
  std::size_t index(const detail::Cursor& cursor) const {
    return static_cast<std::size_t>(cursor.get() - codes_.data());
  }

  const detail::Regex& regex_;
  std::wstring_view text_;
  CodePoints read_;
  Codes codes_;
  Budget budget_;
  Results results_;
};

// Appends with to out, $& as the match, $1 to $99 as its groups, $$ as $; each part as
// text_unicode::append_joined joins them.
void expand(std::wstring& out, std::wstring_view with, const Searches& searches) {
  std::size_t literal = 0;  // where the text of with not yet appended begins
  const auto take = [&](std::size_t end, std::wstring_view part, std::size_t next) {
    text_unicode::append_joined(out, with.substr(literal, end - literal));
    text_unicode::append_joined(out, part);
    literal = next;
  };
  for (std::size_t i = 0; i + 1 < with.size(); ++i) {
    const wchar_t next = with[i + 1];
    if (with[i] != L'$') continue;
    if (next == L'$') {
      take(i, L"$", i + 2);
      ++i;
    } else if (next == L'&') {
      take(i, searches.group(0), i + 2);
      ++i;
    } else if (is_digit(next)) {
      const bool two = i + 2 < with.size() && is_digit(with[i + 2]);
      const auto group =
          static_cast<std::size_t>(two ? (next - L'0') * 10 + (with[i + 2] - L'0') : next - L'0');
      if (group == 0) continue;  // $0 and $00 are no group: themselves
      const std::size_t skip = two ? 3 : 2;
      take(i, searches.group(group), i + skip);
      i += skip - 1;
    }
  }
  text_unicode::append_joined(out, with.substr(literal));
}

// Runs use on a text's searches; gives instead when the engine gives up (past its bound, or out
// of backtracking room). Memory running out is not giving up: std::bad_alloc goes on.
template <class Result, class Use>
Result search(const Pattern::Compiled* compiled, std::wstring_view text, Work* work, Result instead,
              Use&& use) {
  if (!compiled) {
    if (work) *work = {};
    return instead;
  }
  Searches searches(compiled->regex, compiled->length, text);
  try {
    Result result = use(searches);
    searches.report(work, false);
    return result;
  } catch (const std::runtime_error&) {
    searches.report(work, true);
    return instead;
  }
}

}  // namespace

Pattern::Pattern(std::wstring_view pattern) {
  const CodePoints read(pattern);
  if (read.codes().size() > kMaxPatternLength) return;
  const String spelled = engine_spelling(read.codes());
  try {
    auto compiled = std::make_unique<Compiled>(Compiled{
        detail::Regex(spelled.data(), spelled.data() + spelled.size(),
                      boost::regex_constants::ECMAScript | boost::regex_constants::no_mod_m |
                          boost::regex_constants::no_mod_s),
        read.codes().size()});
    detail::keep_lazy_repeats_from_skipping(compiled->regex);
    compiled_ = std::move(compiled);
  } catch (const std::runtime_error&) {
    compiled_.reset();
  }
}

Pattern::~Pattern() = default;
Pattern::Pattern(Pattern&&) noexcept = default;
Pattern& Pattern::operator=(Pattern&&) noexcept = default;

bool Pattern::matches(std::wstring_view text, Work* work) const {
  return search(compiled_.get(), text, work, false,
                [](Searches& searches) { return searches.from(0); });
}

std::wstring_view Pattern::extract(std::wstring_view text, std::int32_t group, Work* work) const {
  return search(compiled_.get(), text, work, std::wstring_view(), [&](Searches& searches) {
    if (group < 0 || !searches.from(0)) return std::wstring_view();
    return searches.group(static_cast<std::size_t>(group));
  });
}

Replaced Pattern::replace(std::wstring_view text, std::wstring_view with, bool all,
                          Work* work) const {
  return search(compiled_.get(), text, work, Replaced(text), [&](Searches& searches) {
    std::wstring built;
    std::size_t kept = 0;  // the text before kept is in built, replaced
    bool replaced = false;
    for (std::size_t from = 0; from <= searches.length() && searches.from(from);) {
      replaced = true;
      const std::size_t start = searches.position(searches.start());
      text_unicode::append_joined(built, text.substr(kept, start - kept));
      expand(built, with, searches);
      kept = searches.position(searches.end());
      if (!all) break;
      from = searches.end() + (searches.start() == searches.end() ? 1 : 0);
    }
    if (!replaced) return Replaced(text);
    text_unicode::append_joined(built, text.substr(kept));
    return Replaced(std::move(built));
  });
}

const Pattern& PatternCache::operator()(std::wstring_view text) {
  if (!pattern_ || text != text_) {
    text_.assign(text);
    pattern_.emplace(text);
  }
  return *pattern_;
}

}  // namespace text_regex
