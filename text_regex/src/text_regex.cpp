#include "text_regex/text_regex.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "boost_regex.h"
#include "boost_search.h"
#include "engine.h"
#include "syntax.h"
#include "text_unicode/characters.h"
#include "text_unicode/small_vector.h"

namespace text_regex {

// A pattern the automata take has an engine; any other, Boost's compiled form and its bound.
struct Pattern::Compiled {
  std::unique_ptr<detail::Engine> engine;
  std::optional<detail::Regex> regex;
  std::size_t length;  // of the pattern as written, in characters
};

namespace {

using detail::is_digit;
using detail::Searches;

// Appends with to out, $& as the match, $1 to $99 as its groups, $$ as $; each part as
// text_unicode::append_joined joins them.
template <class Groups>
void expand(std::wstring& out, std::wstring_view with, Groups& searches) {
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

}  // namespace

// One text's searches, by the engine the pattern has: the automata, or Boost with the text's
// bound (whose giving up throws std::runtime_error out of from).
class Matches::Search {
 public:
  Search(const Pattern::Compiled& compiled, std::wstring_view text)
      : engine_(compiled.engine.get()), text_(text) {
    if (engine_) {
      count_ = engine_->slots();
      slots_ = slots_room_.resize(count_);
      std::fill(slots_, slots_ + count_, detail::kUnset);
      steps_before_ = engine_->steps();
    } else {
      boost_.emplace(*compiled.regex, compiled.length, text);
    }
  }

  // Never copied: its slots may lie in the object itself.
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;

  // The first match at or after position; its groups found when asked for.
  bool from(std::size_t position, bool groups) {
    if (!engine_) return boost_->from(boost_->index_of(position));
    grouped_ = groups;
    return engine_->find(text_, position, groups, slots_);
  }

  // The first match by priority that starts at position and is not empty, with its groups.
  bool not_empty_at(std::size_t position) {
    if (!engine_) return boost_->not_empty_at(boost_->index_of(position));
    grouped_ = true;
    return engine_->find_not_empty(text_, position, slots_);
  }

  std::size_t start() const { return engine_ ? slots_[0] : boost_->position(boost_->start()); }
  std::size_t end() const { return engine_ ? slots_[1] : boost_->position(boost_->end()); }
  std::size_t groups() const { return engine_ ? count_ / 2 : boost_->groups(); }

  std::wstring_view group(std::size_t g) {
    if (!engine_) return boost_->group(g);
    if (g >= count_ / 2) return {};
    if (g > 0 && !grouped_) {
      // The groups of the match found: the Pike VM over the match alone.
      engine_->find(text_, slots_[0], true, slots_);
      grouped_ = true;
    }
    if (slots_[2 * g] == detail::kUnset || slots_[2 * g + 1] == detail::kUnset) return {};
    return text_.substr(slots_[2 * g], slots_[2 * g + 1] - slots_[2 * g]);
  }

  void report(Work* work, bool gave_up) const {
    if (!work) return;
    if (engine_)
      *work = {engine_->steps() - steps_before_, false};
    else
      boost_->report(work, gave_up);
  }

 private:
  detail::Engine* engine_;
  std::wstring_view text_;
  // The slots of the match found, in the object for a pattern of a few groups, as most are.
  text_unicode::SmallVector<std::size_t, 20> slots_room_;
  std::size_t* slots_ = nullptr;
  std::size_t count_ = 0;
  bool grouped_ = false;
  std::int64_t steps_before_ = 0;
  std::optional<Searches> boost_;
};

namespace {

using Search = Matches::Search;

// Runs use on a text's searches; gives instead when Boost gives up (past its bound, or out of
// backtracking room). Memory running out is not giving up: std::bad_alloc goes on.
template <class Result, class Use>
Result search(const Pattern::Compiled* compiled, std::wstring_view text, Work* work, Result instead,
              Use&& use) {
  if (!compiled) {
    if (work) *work = {};
    return instead;
  }
  Search searches(*compiled, text);
  try {
    Result result = use(searches);
    searches.report(work, false);
    return result;
  } catch (const std::runtime_error&) {
    searches.report(work, true);
    return instead;
  }
}

// Where the search after a match [start, end) begins: at its end, or one character further on
// after an empty match, so that no match is found twice.
std::size_t resume_at(std::wstring_view text, std::size_t start, std::size_t end) {
  if (start != end) return end;
  return end < text.size() ? end + text_unicode::character_at(text, end).units : end + 1;
}

}  // namespace

Pattern::Pattern(std::wstring_view pattern) {
  if (text_unicode::count_characters(pattern) > kMaxPatternLength) return;
  detail::Syntax syntax = detail::parse(pattern);
  if (syntax.reading == detail::Reading::kInvalid) return;
  if (syntax.reading == detail::Reading::kParsed) {
    if (auto engine = detail::Engine::make(std::move(syntax))) {
      compiled_ = std::make_unique<Compiled>(
          Compiled{std::move(engine), std::nullopt, text_unicode::count_characters(pattern)});
      return;
    }
  }
  compile_for_boost(pattern);
}

Pattern Pattern::on_boost(std::wstring_view pattern) {
  Pattern boost;
  if (text_unicode::count_characters(pattern) <= kMaxPatternLength)
    boost.compile_for_boost(pattern);
  return boost;
}

void Pattern::compile_for_boost(std::wstring_view pattern) {
  const detail::CodePoints read(pattern);
  const detail::String spelled = detail::engine_spelling(read.codes());
  try {
    auto compiled = std::make_unique<Compiled>(Compiled{
        nullptr,
        detail::Regex(spelled.data(), spelled.data() + spelled.size(),
                      boost::regex_constants::ECMAScript | boost::regex_constants::no_mod_m |
                          boost::regex_constants::no_mod_s),
        read.codes().size()});
    detail::keep_lazy_repeats_from_skipping(*compiled->regex);
    compiled_ = std::move(compiled);
  } catch (const std::runtime_error&) {
    compiled_.reset();
  }
}

Pattern::~Pattern() = default;
Pattern::Pattern(Pattern&&) noexcept = default;
Pattern& Pattern::operator=(Pattern&&) noexcept = default;

bool Pattern::automaton() const { return compiled_ && compiled_->engine; }

bool Pattern::matches(std::wstring_view text, Work* work) const {
  if (automaton()) {
    const std::int64_t before = compiled_->engine->steps();
    const bool found = compiled_->engine->matches(text);
    if (work) *work = {compiled_->engine->steps() - before, false};
    return found;
  }
  return search(compiled_.get(), text, work, false,
                [](Search& searches) { return searches.from(0, false); });
}

std::wstring_view Pattern::extract(std::wstring_view text, std::int32_t group, Work* work) const {
  return search(compiled_.get(), text, work, std::wstring_view(), [&](Search& searches) {
    if (group < 0 || !searches.from(0, group > 0)) return std::wstring_view();
    return searches.group(static_cast<std::size_t>(group));
  });
}

Replaced Pattern::replace(std::wstring_view text, std::wstring_view with, bool all,
                          Work* work) const {
  return search(compiled_.get(), text, work, Replaced(text), [&](Search& searches) {
    std::wstring built;
    std::size_t kept = 0;  // the text before kept is in built, replaced
    bool replaced = false;
    for (std::size_t position = 0; position <= text.size() && searches.from(position, false);) {
      replaced = true;
      text_unicode::append_joined(built, text.substr(kept, searches.start() - kept));
      expand(built, with, searches);
      kept = searches.end();
      if (!all) break;
      position = resume_at(text, searches.start(), kept);
    }
    if (!replaced) return Replaced(text);
    text_unicode::append_joined(built, text.substr(kept));
    return Replaced(std::move(built));
  });
}

Matches::Matches(const Pattern& pattern, std::wstring_view text) : text_(text) {
  if (pattern.compiled_) search_ = std::make_unique<Search>(*pattern.compiled_, text);
}
Matches::~Matches() = default;

bool Matches::next() {
  if (!search_ || position_ > text_.size()) return false;
  try {
    if (after_empty_) {
      // After an empty match, the first match there that is not empty, else the search goes
      // on one character further.
      after_empty_ = false;
      if (search_->not_empty_at(position_)) {
        position_ = search_->end();
        return true;
      }
      position_ = resume_at(text_, position_, position_);
      if (position_ > text_.size()) return false;
    }
    if (!search_->from(position_, false)) {
      position_ = text_.size() + 1;
      return false;
    }
  } catch (const std::runtime_error&) {
    gave_up_ = true;
    position_ = text_.size() + 1;
    return false;
  }
  position_ = search_->end();
  after_empty_ = search_->start() == position_;
  return true;
}

std::size_t Matches::start() const { return search_->start(); }
std::size_t Matches::end() const { return search_->end(); }
std::size_t Matches::groups() const { return search_->groups(); }
std::wstring_view Matches::group(std::size_t g) const { return search_->group(g); }

const Pattern& PatternCache::operator()(std::wstring_view text) {
  if (!pattern_ || text != text_) {
    text_.assign(text);
    pattern_.emplace(text);
  }
  return *pattern_;
}

}  // namespace text_regex
