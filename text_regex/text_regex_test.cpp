#include "text_regex/text_regex.h"

#include "boost_comparison.h"
#include "src/backtracker.h"
#include "src/char_classes.h"
#include "src/pike_vm.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <random>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace text_regex {
namespace {

// ---- The standard library's ECMAScript engine, the plain reference ----------------------

// The text with the first match, or every match, replaced, searched the way the nodes promise:
// after an empty match the next search starts one character further on.
std::wstring std_replace(const std::wregex& regex, const std::wstring& text,
                         const std::wstring& with, bool all) {
  std::wstring out;
  std::size_t kept = 0;
  std::wsmatch match;
  for (std::size_t position = 0; position <= text.size();) {
    const auto flags =
        position > 0 ? std::regex_constants::match_prev_avail : std::regex_constants::match_default;
    if (!std::regex_search(text.begin() + static_cast<std::ptrdiff_t>(position), text.end(), match,
                           regex, flags))
      break;
    const auto start = static_cast<std::size_t>(match[0].first - text.begin());
    out += text.substr(kept, start - kept) + match.format(with);
    kept = static_cast<std::size_t>(match[0].second - text.begin());
    if (!all) break;
    position = kept + (start == kept ? 1 : 0);
  }
  return out + text.substr(kept);
}

// A random pattern of the common part of ECMAScript's and Python's syntax, from an alphabet
// that makes matches likely; the same on every compiler, each choice made in turn. Left out:
// an assertion in a lookahead, which the standard engine runs as a search of its own that takes
// its start for the start of the text; and a repeated group that can match nothing, whose
// empty iterations the engines tell apart ((a??){2}b on "ab" leaves group 1 "a" in Python and
// in the standard engine, the empty text in Boost).
class PatternMaker {
 public:
  explicit PatternMaker(std::mt19937& random) : random_(random) {}

  // One or two branches of one to three pieces; empty: whether the pattern may match nothing.
  std::wstring alternation(int depth, bool empty = true) {
    std::wstring pattern;
    for (int branches = pick(4) == 0 ? 2 : 1; branches > 0; --branches) {
      if (!pattern.empty()) pattern += L"|";
      for (int n = 1 + pick(3); n > 0; --n) pattern += piece(depth, empty);
    }
    return pattern;
  }

 private:
  // An atom, quantified or not; an assertion never is, as the standard engine refuses that.
  std::wstring piece(int depth, bool empty) {
    static const wchar_t* const kAssertions[] = {L"^", L"$", L"\\b", L"\\B"};
    static const wchar_t* const kLookaheads[] = {L"(?=", L"(?!"};
    static const wchar_t* const kGroups[] = {L"(", L"(", L"(?:"};
    static const wchar_t* const kAtoms[] = {L"a",    L"b",   L"\u2192", L".",   L"[ab]",
                                            L"[^a]", L"\\d", L"\\w",    L"\\s", L"\\W",
                                            L"\\D",  L"\\S", L"[a-c]",  L"\\."};
    if (empty && pick(8) == 0) return kAssertions[pick(std::size(kAssertions))];
    if (depth > 0 && pick(3) == 0) {
      if (empty && pick(4) == 0) {
        const std::wstring open = kLookaheads[pick(2)];
        return open + alternation(depth - 1, false) + L")";
      }
      const std::wstring open = kGroups[pick(3)];
      const std::wstring repeat = quantifier(empty);
      return open + alternation(depth - 1, empty && repeat.empty()) + L")" + repeat;
    }
    const std::wstring atom = kAtoms[pick(std::size(kAtoms))];
    return atom + quantifier(empty);
  }
  std::wstring quantifier(bool empty) {
    static const wchar_t* const kQuantifiers[] = {L"+", L"{1,2}", L"{2}", L"+?",    L"*",
                                                  L"?", L"*?",    L"??",  L"{0,2}?"};
    if (pick(3) != 0) return L"";
    return kQuantifiers[pick(empty ? std::size(kQuantifiers) : 4)];
  }
  int pick(std::size_t n) { return static_cast<int>(random_() % n); }

  std::mt19937& random_;
};

// Ordinary patterns answer as the standard library's ECMAScript engine answers, for every use:
// whether they match, each group of the first match, and the first and every match replaced.
// The character beyond ASCII is one no locale takes for a letter, as the standard engine asks
// the locale where this room does not.
TEST(Pattern, AnswersAsTheStandardEngineOnOrdinaryPatterns) {
  std::mt19937 random(20261208);
  PatternMaker maker(random);
  const std::wstring alphabet = L"ab \u21921_.";
  const std::wstring withs[] = {L"<$&>", L"$1", L"[$2|$1]", L"$$", L"$10x", L"-"};
  for (int round = 0; round < 3000; ++round) {
    const std::wstring source = maker.alternation(2);
    const std::wregex reference(source, std::regex_constants::ECMAScript);
    const Pattern pattern(source);
    ASSERT_TRUE(pattern.valid());
    for (int t = 0; t < 4; ++t) {
      std::wstring text(random() % 9, L'a');
      for (wchar_t& c : text) c = alphabet[random() % alphabet.size()];
      std::wsmatch first;
      const bool found = std::regex_search(text, first, reference);
      SCOPED_TRACE(testing::Message() << "pattern " << source << " text " << text);
      // A nest of repeats may pass the bound even on a short text; that is the one answer the
      // two engines may not share.
      Work work;
      const bool matched = pattern.matches(text, &work);
      if (work.gave_up) continue;
      ASSERT_EQ(matched, found);
      for (std::int32_t group = -1; group <= 3; ++group)
        ASSERT_EQ(pattern.extract(text, group),
                  found && group >= 0 && static_cast<std::size_t>(group) < first.size()
                      ? first.str(static_cast<std::size_t>(group))
                      : std::wstring())
            << "group " << group;
      const std::wstring& with = withs[random() % std::size(withs)];
      for (const bool all : {false, true})
        ASSERT_EQ(pattern.replace(text, with, all).view(), std_replace(reference, text, with, all))
            << "with " << with << (all ? ", all" : "");
    }
  }
}

// Where the engines part: the dollar forms the standard engine reads otherwise, \uHHHH, a
// character outside 16 bits (one character on Windows too, where it is a pair), ^ after a line end;
// and the first match, which Boost by itself misses after a lazy repeat that starts the pattern.
TEST(Pattern, KeepsItsRulesWhereTheEnginesPart) {
  EXPECT_EQ(Pattern(L"(a)(x)?").replace(L"ab", L"$0|$00|$2|$10|$$1|$&|$x|$", false).view(),
            L"$0|$00|||$1|a|$x|$b");
  EXPECT_EQ(Pattern(L"\\u00e9\\\\u0041").extract(L"\u00e9\\u0041", 0), L"\u00e9\\u0041");
  EXPECT_TRUE(Pattern(L"^.$").matches(L"\U0001F600"));
  EXPECT_FALSE(Pattern(L"^b").matches(L"a\nb"));
  EXPECT_EQ(Pattern(L"[ab]{0,2}?(?=1)").extract(L"aba1", 0), L"ba");
}

// A pattern that does not compile, or is too long, gives every use the no-match result, and so
// does a use whose work passes the bound: nothing is thrown.
TEST(Pattern, RefusesWhatItCannotCompileAndGivesUpPastTheBound) {
  const std::wstring text = L"abc";
  for (const std::wstring& refused :
       {std::wstring(L"("), std::wstring(L"[a"), std::wstring(L"a{2,1}"), std::wstring(L"\\"),
        std::wstring(L"*a"), std::wstring(L"\\p{Nonsense}"),
        std::wstring(kMaxPatternLength + 1, L'a')}) {
    const Pattern pattern(refused);
    EXPECT_FALSE(pattern.valid()) << refused.size();
    EXPECT_FALSE(pattern.matches(text));
    EXPECT_EQ(pattern.extract(text, 0), L"");
    EXPECT_EQ(pattern.replace(text, L"x", true).view().data(), text.data());
  }
  EXPECT_TRUE(Pattern(std::wstring(kMaxPatternLength, L'a')).valid());

  // On Boost (a lookahead keeps these there): catastrophic backtracking, a long pattern that
  // would raise the engine's own allowance, a repeat inside a lookahead that steps over the whole
  // text in one state, and a replacement whose every search is costly but within a search's
  // allowance.
  const std::wstring as(10'000, L'a');
  std::wstring long_pattern = L"(a+)+(?!x)$";
  while (long_pattern.size() < 1000) long_pattern += L"(?:)";
  std::wstring lookaheads;
  while (lookaheads.size() < 1000) lookaheads += L"(?=a*)";
  std::wstring blocks;
  while (blocks.size() < 10'000) blocks += std::wstring(20, L'a') + L"b";
  using Costly = std::pair<std::wstring, std::wstring>;  // a pattern, a text
  for (const auto& [pattern, text] :
       {Costly{L"(a+)+(?!x)$", std::wstring(40, L'a') + L"b"}, Costly{long_pattern, as + L"b"},
        Costly{lookaheads + L"b", as}, Costly{L"(a+)+(?!x)c|b", blocks}}) {
    Work work;
    EXPECT_FALSE(Pattern(pattern).automaton());
    EXPECT_EQ(Pattern(pattern).replace(text, L"x", true, &work).view(), text);
    EXPECT_TRUE(work.gave_up && work.spent <= kMaxWork + 1) << pattern.size() << " " << work.spent;
  }

  // Ordinary patterns on a text that long stay far within it, matched and replaced.
  const std::wstring name = L"piece_" + std::wstring(9'994, L'7');
  const std::wstring words = std::wstring(4'999, L'a') + L" " + std::wstring(4'998, L'b') + L"_L";
  using Ordinary = std::tuple<std::wstring, std::wstring, bool, std::wstring>;  // and replaced
  for (const auto& [source, text, all, want] : {
           Ordinary{L"^piece_\\d+$", name, false, L"x"},
           Ordinary{L"(\\w+)_L$", words, false, words.substr(0, 5'000) + L"x"},
           Ordinary{L"^(.*) (.*)$", words, false, L"x"},
           Ordinary{L"[ab]", words.substr(0, 9'999), true,
                    std::wstring(4'999, L'x') + L" " + std::wstring(4'998, L'x') + L"_"},
       }) {
    const Pattern pattern(source);
    Work matching, replacing;
    EXPECT_TRUE(pattern.matches(text, &matching)) << source;
    EXPECT_EQ(pattern.replace(text, L"x", all, &replacing).view(), want) << source;
    EXPECT_LT(std::max(matching.spent, replacing.spent), kMaxWork / 100) << source;
  }
}

// \d \w \s, the bracket classes and case do not follow the process's locale, whichever it is.
TEST(Pattern, ClassesAndCaseAreTheSameInEveryLocale) {
  for (const char* name : {"C", "de_DE.UTF-8", "tr_TR.UTF-8", "C.UTF-8"}) {
    if (!std::setlocale(LC_ALL, name)) continue;
    std::locale::global(std::locale(std::setlocale(LC_ALL, nullptr)));
    EXPECT_TRUE(Pattern(L"^\\W+$").matches(L"\u00e4\u00df")) << name;
    EXPECT_FALSE(Pattern(L"\\d").matches(L"\u0663\u00b2")) << name;
    EXPECT_TRUE(Pattern(L"^\\s+$").matches(L"\t\n\u00a0\u2028\u3000\ufeff")) << name;
    EXPECT_FALSE(Pattern(L"\\s").matches(L"\u0085\u200b")) << name;
    EXPECT_FALSE(Pattern(L"[[:alpha:]]").matches(L"\u00e9")) << name;
    EXPECT_TRUE(Pattern(L"(?i)^istanbul \u00e9$").matches(L"ISTANBUL \u00c9")) << name;
  }
  std::setlocale(LC_ALL, "C");
  std::locale::global(std::locale::classic());
}

// ---- The automata beside Boost.Regex ------------------------------------------------------

// What backtracking cannot do in time, the automata answer right, each character read a few
// times at most: nested repeats on a text that almost matches, an alternation repeated over a
// long text, and a replacement of every match where each search would be costly.
TEST(Automata, AnswerInLinearTimeWhereBacktrackingGivesUp) {
  const std::wstring as(10'000, L'a');
  std::wstring long_pattern = L"(a+)+$";
  while (long_pattern.size() < 1000) long_pattern += L"(?:)";
  std::wstring blocks;
  while (blocks.size() < 10'000) blocks += std::wstring(20, L'a') + L"b";
  struct Case {
    std::wstring pattern, text, replaced;
  };
  const std::wstring xs = std::wstring(100'000, L'x') + L"e";
  for (const Case& c : {
           Case{L"(a+)+$", std::wstring(40, L'a') + L"b", std::wstring(40, L'a') + L"b"},
           Case{L"(a+)+$", as + L"b", as + L"b"},
           Case{L"(a+)+$", as, L"x"},
           Case{long_pattern, as + L"b", as + L"b"},
           Case{L"(x|y)*e", xs, L"x"},
           Case{L"(a+)+c|b", blocks,
                [&] {
                  std::wstring want = blocks;
                  for (wchar_t& ch : want) ch = ch == L'b' ? L'x' : ch;
                  return want;
                }()},
       }) {
    const Pattern pattern(c.pattern);
    ASSERT_TRUE(pattern.automaton()) << c.pattern;
    Work work;
    EXPECT_EQ(pattern.matches(c.text, &work), c.replaced != c.text) << c.pattern;
    EXPECT_FALSE(work.gave_up);
    EXPECT_LE(work.spent, 4 * static_cast<std::int64_t>(c.text.size()) + 4) << c.pattern;
    EXPECT_EQ(pattern.replace(c.text, L"x", true, &work).view(), c.replaced) << c.pattern;
    EXPECT_LE(work.spent, 8 * static_cast<std::int64_t>(c.text.size()) + 8) << c.pattern;
  }
  EXPECT_EQ(Pattern(L"(x|y)*e").extract(xs, 1), L"x");
}

// Which engine takes a pattern: the automata their syntax, Boost whatever needs backtracking or
// is Boost's own to read (and Boost decides whether that is valid); and the patterns neither
// reads. Each row as the docs' syntax section states it.
TEST(Automata, TakeTheirSyntaxAndLeaveTheRestToBoost) {
  struct Kind {
    const wchar_t* pattern;
    bool valid, automaton;
  };
  for (const Kind& kind : {
           // The automata's: classes, assertions, a ] or } that opens nothing, empty groups.
           Kind{L"(\\w+)_L$", true, true},
           Kind{L"(?i)\\w+", true, true},
           Kind{L"[]a]", true, true},
           Kind{L"]", true, true},
           Kind{L"}", true, true},
           Kind{L"()", true, true},
           Kind{L"(?:)", true, true},
           Kind{L"\\x{1F600}", true, true},
           Kind{L"\\bx\\B", true, true},
           // Boost's: back-references, lookarounds, atomic groups, possessive quantifiers, its
           // own escapes, flags and brackets, a { that is no count, a count past 1000, a range to
           // a dash.
           Kind{L"(a)\\1", true, false},
           Kind{L"(?<name>a)\\k<name>", true, false},
           Kind{L"(?=a)a", true, false},
           Kind{L"(?<=a)b", true, false},
           Kind{L"(?>a+)b", true, false},
           Kind{L"a++", true, false},
           Kind{L"\\Z", true, false},
           Kind{L"\\cA", true, false},
           Kind{L"(?s).", true, false},
           Kind{L"[[:^alpha:]]", true, false},
           Kind{L"[[.a.]]", true, false},
           Kind{L"a{,3}", true, false},
           Kind{L"a{1001}", true, false},
           Kind{L"[+--]", true, false},
           // Neither's: Boost refuses these too.
           Kind{L"(", false, false},
           Kind{L"a)", false, false},
           Kind{L"[a", false, false},
           Kind{L"*a", false, false},
           Kind{L"a|*", false, false},
           Kind{L"a{2,1}", false, false},
           Kind{L"a**", false, false},
           Kind{L"a{2}{3}", false, false},
           Kind{L"(?i)[Z-a]", false, false},
           Kind{L"[\\d-z]", false, false},
           Kind{L"\\p{L}", false, false},
           Kind{L"\\", false, false},
       }) {
    const Pattern pattern(kind.pattern);
    EXPECT_EQ(pattern.valid(), kind.valid) << kind.pattern;
    EXPECT_EQ(pattern.automaton(), kind.automaton) << kind.pattern;
    EXPECT_EQ(Pattern::on_boost(kind.pattern).valid(), kind.valid) << kind.pattern;
  }
}

// Every match from left to right, as a node that splits a text or lists its matches will read
// them: none overlapping, one character on after an empty match, the groups of each; the same
// from either engine; and on Boost, the matches end where the bound is passed.
TEST(Automata, IterateMatchesFromLeftToRight) {
  using Spans = std::vector<std::pair<std::size_t, std::size_t>>;
  const auto spans = [](const Pattern& pattern, std::wstring_view text, std::size_t group) {
    Spans found;
    Matches each(pattern, text);
    while (each.next()) {
      const std::wstring_view g = each.group(group);
      found.emplace_back(each.start(), g.data() ? static_cast<std::size_t>(g.data() - text.data())
                                                : std::size_t{99});
    }
    return found;
  };
  const std::wstring text = L"a1bb22c";
  const Pattern digits(L"\\d*"), groups(L"(b)|(\\d)+");
  EXPECT_EQ(spans(digits, text, 0),
            (Spans{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {6, 6}, {7, 7}}));
  EXPECT_EQ(spans(Pattern::on_boost(L"\\d*"), text, 0), spans(digits, text, 0));
  // Group 2 of (\d)+ is its last iteration's digit; group 1 takes no part where b did not.
  EXPECT_EQ(spans(groups, text, 2), (Spans{{1, 1}, {2, 99}, {3, 99}, {4, 5}}));
  EXPECT_EQ(spans(Pattern::on_boost(L"(b)|(\\d)+"), text, 2), spans(groups, text, 2));
  Matches each(digits, text);
  ASSERT_TRUE(each.next());
  EXPECT_EQ(each.groups(), 1u);
  EXPECT_EQ(each.group(1), L"");

  const std::wstring as = std::wstring(30, L'a') + L"b";
  const Pattern catastrophic(L"(a+)+(?!x)$"), not_valid(L"(");
  Matches costly(catastrophic, as);
  EXPECT_FALSE(costly.next());
  EXPECT_TRUE(costly.gave_up());
  Matches refused(not_valid, as);
  EXPECT_FALSE(refused.next());
  EXPECT_FALSE(refused.gave_up());
}

// A character is a code point wherever wchar_t holds 16 bits as well: a pair is one character
// for ., classes, \x{...} and the step after an empty match, and a lone surrogate is one of its
// own; no position splits a pair. (The UTF-16 build, TEXTNODES_UTF16, reads texts so on Linux.)
TEST(Automata, ReadCodePointsOnEveryPlatform) {
  const std::wstring face = L"\U0001F600", lone = L"\xD83D";
  EXPECT_TRUE(Pattern(L"^.$").matches(face));
  EXPECT_TRUE(Pattern(L"^.$").matches(lone));
  EXPECT_TRUE(Pattern(L"^\\uD83D$").matches(lone));
  EXPECT_FALSE(Pattern(L"\\uD83D").matches(face));
  EXPECT_TRUE(Pattern(L"^[\U0001F600a]+$").matches(L"a" + face));
  EXPECT_TRUE(Pattern(L"^\\x{1F600}$").matches(face));
  EXPECT_EQ(Pattern(L"(.)x").extract(face + L"x", 1), face);
  EXPECT_EQ(Pattern(L"(?i)\u00e9.").extract(L"\u00c9" + face, 0), L"\u00c9" + face);
  EXPECT_EQ(Pattern(L".").replace(face + lone + L"z", L"-", true).view(), L"---");
  EXPECT_EQ(Pattern(L"x*").replace(face + L"a", L"-", true).view(), L"-" + face + L"-a-");
  const Pattern pattern(L"\\w*");
  const std::wstring text = face + L"ab" + face;
  Matches each(pattern, text);
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  while (each.next()) spans.emplace_back(each.start(), each.end());
  const std::size_t pair = face.size();  // 2 where wchar_t holds 16 bits, else 1
  EXPECT_EQ(spans,
            (std::vector<std::pair<std::size_t, std::size_t>>{
                {0, 0}, {pair, pair + 2}, {pair + 2, pair + 2}, {2 * pair + 2, 2 * pair + 2}}));
}

// The two ways to a match's groups give one answer: the bounded backtracker, which the search
// prefers where its bits fit, and the Pike VM, each over the same match and each searching the
// text, on random patterns whose loops cannot match nothing (the backtracker takes no other).
TEST(Automata, BacktrackerAndPikeVmGiveTheSameGroups) {
  std::mt19937 random(20261209);
  auto choose = [&random](auto n) {
    return static_cast<int>(random() % static_cast<std::uint32_t>(n));
  };
  comparison::PatternMaker maker(choose);
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::wstring source = maker.alternation(2);
    const detail::Syntax syntax = detail::parse(source);
    if (syntax.reading != detail::Reading::kParsed) continue;
    const detail::Program program = detail::compile(syntax, detail::Direction::kForward);
    const detail::CharClasses classes(program);
    detail::Backtracker backtracker(program, classes);
    detail::PikeVm pike(program, classes);
    std::vector<std::size_t> by_pike(static_cast<std::size_t>(program.slots));
    std::vector<std::size_t> by_backtracker(by_pike.size());
    for (int t = 0; t < 4; ++t) {
      const std::wstring text = comparison::random_text(choose, 12);
      const bool found = pike.search(text, 0, text.size(), false, by_pike.data());
      if (!backtracker.fits(text.size())) continue;
      if (!found) {
        ASSERT_FALSE(backtracker.search(text, 0, text.size(), false, false, by_backtracker.data()));
        continue;
      }
      ++compared;
      ASSERT_TRUE(
          backtracker.search(text, by_pike[0], by_pike[1], true, true, by_backtracker.data()))
          << "pattern " << source << " text " << text;
      ASSERT_EQ(by_backtracker, by_pike) << "pattern " << source << " text " << text;
      ASSERT_TRUE(backtracker.search(text, 0, text.size(), false, false, by_backtracker.data()));
      ASSERT_EQ(by_backtracker, by_pike) << "searching, pattern " << source << " text " << text;
      ASSERT_TRUE(backtracker.search(text, 0, by_pike[1], false, true, by_backtracker.data()));
      ASSERT_EQ(by_backtracker, by_pike) << "searching, pattern " << source << " text " << text;
    }
  }
  EXPECT_GT(compared, 3000);
}

// Where a DFA's states fill their memory again and again, the search goes on, by the Pike VM if
// need be, with the same answer: [ab]*a[ab]{12} needs a state for each of the last 13
// characters' 8,192 forms, more than the memory holds. The match runs from the start to the last
// position 13 characters past an a.
TEST(Automata, AnswerTheSameWhereTheStatesFillTheirMemory) {
  std::mt19937 random(7);
  std::wstring text(60'000, L'a');
  for (wchar_t& c : text) c = random() % 2 == 0 ? L'a' : L'b';
  text += L"bbbbbbbbbbbbb";
  std::size_t end = text.size();
  while (text[end - 13] != L'a') --end;
  const Pattern pattern(L"[ab]*a([ab]{12})");
  ASSERT_TRUE(pattern.automaton());
  for (int pass = 0; pass < 2; ++pass) {  // the second on the states the first left
    EXPECT_EQ(pattern.extract(text, 0).size(), end);
    EXPECT_EQ(pattern.extract(text, 1), std::wstring_view(text).substr(end - 12, 12));
    EXPECT_TRUE(pattern.matches(text));
  }
}

// Random patterns of the syntax the automata take answer as Boost answers them, wherever Boost
// finishes within its bound: validity, each match from left to right and its groups, extract
// and replace (boost_comparison.h).
TEST(Automata, AnswerAsBoostOnRandomPatterns) {
  std::mt19937 random(20261208);
  auto choose = [&random](auto n) {
    return static_cast<int>(random() % static_cast<std::uint32_t>(n));
  };
  comparison::PatternMaker maker(choose);
  int taken = 0;
  for (int round = 0; round < 4000; ++round) {
    const std::wstring source = maker.alternation(2);
    taken += Pattern(source).automaton() ? 1 : 0;
    for (int t = 0; t < 4; ++t) {
      const std::wstring text = comparison::random_text(choose, 10);
      ASSERT_EQ(comparison::difference(source, text), "")
          << "pattern " << source << " text " << text;
    }
  }
  EXPECT_GT(taken, 3800);
}

}  // namespace
}  // namespace text_regex
