#include "text_regex/text_regex.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "boost_regex.h"

namespace text_regex {

struct Pattern::Compiled {
  detail::Regex regex;
  std::size_t length;  // of the pattern as written
};

namespace {

using detail::Budget;
using detail::Results;

bool is_digit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool is_hex(wchar_t c) {
  return is_digit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// The pattern in the engine's own spelling: ECMAScript's \uHHHH becomes \x{HHHH}; every other
// escape is kept as it is, its escaped character included, so that \\u0041 stays a backslash
// and "u0041".
std::wstring engine_spelling(std::wstring_view pattern) {
  std::wstring spelled;
  spelled.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    spelled += pattern[i];
    if (pattern[i] != L'\\' || i + 1 == pattern.size()) continue;
    const std::wstring_view rest = pattern.substr(i + 1);
    if (rest.size() >= 5 && rest[0] == L'u' &&
        std::all_of(rest.begin() + 1, rest.begin() + 5, is_hex)) {
      spelled.append(L"x{").append(rest.substr(1, 4)).append(L"}");
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

std::wstring_view group_text(const Results& results, std::size_t group) {
  if (group >= results.size() || !results[group].matched) return {};
  const auto& sub = results[group];
  return {sub.first.get(), static_cast<std::size_t>(sub.second - sub.first)};
}

// Appends with to out, $& as the match, $1 to $99 as its groups, $$ as $.
void expand(std::wstring& out, std::wstring_view with, const Results& results) {
  for (std::size_t i = 0; i < with.size(); ++i) {
    const wchar_t c = with[i];
    const wchar_t next = i + 1 < with.size() ? with[i + 1] : L'\0';
    if (c != L'$' || (next != L'$' && next != L'&' && !is_digit(next))) {
      out += c;
    } else if (next == L'$') {
      out += L'$';
      ++i;
    } else if (next == L'&') {
      out.append(group_text(results, 0));
      ++i;
    } else {
      const bool two = i + 2 < with.size() && is_digit(with[i + 2]);
      const std::size_t group = two ? (next - L'0') * 10 + (with[i + 2] - L'0') : next - L'0';
      if (group == 0) {
        out += c;  // $0 and $00 are no group: themselves
        continue;
      }
      out.append(group_text(results, group));
      i += two ? 2 : 1;
    }
  }
}

// One text's searches, charged to one budget.
class Searches {
 public:
  Searches(const detail::Regex& regex, std::size_t pattern_length, std::wstring_view text)
      : regex_(regex), text_(text) {
    budget_.allowed = budget_.left = allowance(text.size(), pattern_length);
  }

  // The first match at or after position. (Boost's match_any, which might seem to suit a mere
  // test, makes a search quadratic where the engine is otherwise linear: (\w+)_L$ over a word.)
  bool from(std::size_t position) {
    auto flags = boost::regex_constants::match_default;
    if (position > 0) flags |= boost::regex_constants::match_prev_avail;
    const wchar_t* begin = text_.data();
    return boost::regex_search(at(begin + position), at(begin + text_.size()), results_, regex_,
                               flags, at(begin));
  }

  const Results& results() const { return results_; }
  std::size_t start() const { return offset(results_[0].first); }
  std::size_t end() const { return offset(results_[0].second); }

  // Records the cost in work, when asked for.
  void report(Work* work, bool gave_up) const {
    if (work) *work = {budget_.allowed - std::max<std::ptrdiff_t>(budget_.left, 0), gave_up};
  }

 private:
  detail::Cursor at(const wchar_t* character) { return {character, &budget_}; }
  std::size_t offset(const detail::Cursor& cursor) const {
    return static_cast<std::size_t>(cursor.get() - text_.data());
  }

  const detail::Regex& regex_;
  std::wstring_view text_;
  Budget budget_;
  Results results_;
};

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
  if (pattern.size() > kMaxPatternLength) return;
  const std::wstring spelled = engine_spelling(pattern);
  try {
    auto compiled = std::make_unique<Compiled>(Compiled{
        detail::Regex(spelled.data(), spelled.data() + spelled.size(),
                      boost::regex_constants::ECMAScript | boost::regex_constants::no_mod_m |
                          boost::regex_constants::no_mod_s),
        pattern.size()});
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
    return group_text(searches.results(), static_cast<std::size_t>(group));
  });
}

Replaced Pattern::replace(std::wstring_view text, std::wstring_view with, bool all,
                          Work* work) const {
  return search(compiled_.get(), text, work, Replaced(text), [&](Searches& searches) {
    std::wstring built;
    std::size_t kept = 0;  // the text before kept is in built, replaced
    bool replaced = false;
    for (std::size_t position = 0; position <= text.size() && searches.from(position);) {
      replaced = true;
      built.append(text.substr(kept, searches.start() - kept));
      expand(built, with, searches.results());
      kept = searches.end();
      if (!all) break;
      position = kept + (searches.start() == kept ? 1 : 0);
    }
    if (!replaced) return Replaced(text);
    built.append(text.substr(kept));
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
