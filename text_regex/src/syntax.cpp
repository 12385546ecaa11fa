#include "syntax.h"

#include <string>
#include <utility>

#include "text_unicode/characters.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail {
namespace {

using Kind = Node::Kind;

// Deeper nests of groups are foreign, so that reading and compiling a pattern recurse a bounded
// depth on any thread's stack.
constexpr int kMaxDepth = 200;

struct Stop {
  Reading reading;
};
[[noreturn]] void invalid() { throw Stop{Reading::kInvalid}; }
[[noreturn]] void foreign() { throw Stop{Reading::kForeign}; }

bool is_ascii_letter(char32_t c) { return (c | 0x20) >= U'a' && (c | 0x20) <= U'z'; }
bool is_digit(char32_t c) { return c >= U'0' && c <= U'9'; }
int hex_value(char32_t c) {
  if (is_digit(c)) return static_cast<int>(c - U'0');
  if ((c | 0x20) >= U'a' && (c | 0x20) <= U'f') return static_cast<int>((c | 0x20) - U'a' + 10);
  return -1;
}

Node set_node(CharSet set, bool fold) {
  Node node;
  node.kind = Kind::kSet;
  node.set = std::move(set);
  node.fold = fold;
  return node;
}

class Parser {
 public:
  explicit Parser(std::u32string pattern) : p_(std::move(pattern)) {}

  Syntax run() {
    Syntax syntax;
    syntax.root = alternation(0);
    if (i_ != p_.size()) invalid();  // a ) that opened no group
    syntax.groups = groups_;
    syntax.reading = Reading::kParsed;
    return syntax;
  }

 private:
  bool at(char32_t c, std::size_t ahead = 0) const {
    return i_ + ahead < p_.size() && p_[i_ + ahead] == c;
  }
  bool more() const { return i_ < p_.size(); }

  Node alternation(int depth) {
    if (depth > kMaxDepth) foreign();
    Node alt;
    alt.kind = Kind::kAlternation;
    alt.children.push_back(concat(depth));
    while (at(U'|')) {
      ++i_;
      alt.children.push_back(concat(depth));
    }
    return alt.children.size() == 1 ? std::move(alt.children[0]) : alt;
  }

  Node concat(int depth) {
    Node cat;
    cat.kind = Kind::kConcat;
    while (more() && !at(U'|') && !at(U')')) {
      if (flag_group()) continue;
      Node atom_node = atom(depth);
      quantify(atom_node);
      cat.children.push_back(std::move(atom_node));
    }
    if (cat.children.empty()) return Node{};
    return cat.children.size() == 1 ? std::move(cat.children[0]) : cat;
  }

  // (?i) and (?-i): case folding on or off for the rest of the enclosing group.
  bool flag_group() {
    if (!at(U'(') || !at(U'?', 1)) return false;
    const std::size_t off = at(U'-', 2) ? 1 : 0;
    if (!at(U'i', 2 + off) || !at(U')', 3 + off)) return false;
    i_ += 4 + off;
    fold_ = off == 0;
    if (more() && (at(U'*') || at(U'+') || at(U'?') || at(U'{'))) foreign();
    return true;
  }

  Node atom(int depth) {
    const char32_t c = p_[i_];
    switch (c) {
      case U'(':
        return group(depth);
      case U'[':
        return bracket();
      case U'.':
        ++i_;
        return set_node(any_but_line_end(), false);
      case U'^':
      case U'$': {
        ++i_;
        Node node;
        node.kind = Kind::kAssertion;
        node.assertion = c == U'^' ? Assertion::kTextStart : Assertion::kTextEnd;
        return node;
      }
      case U'\\':
        return escape();
      case U'*':
      case U'+':
      case U'?':
        invalid();  // nothing to repeat
      case U'{':
        foreign();
      default:
        ++i_;
        return literal(c);
    }
  }

  Node literal(char32_t c) const {
    return set_node(CharSet::of(fold_ ? text_unicode::to_lower(c) : c), fold_);
  }

  Node group(int depth) {
    ++i_;
    int number = 0;
    const bool saved_fold = fold_;
    if (at(U'?')) {
      if (at(U':', 1)) {
        i_ += 2;
      } else if (at(U'<', 1) && i_ + 2 < p_.size() &&
                 (is_ascii_letter(p_[i_ + 2]) || p_[i_ + 2] == U'_')) {
        i_ += 2;  // a named group, numbered as any other
        while (more() && (is_ascii_letter(p_[i_]) || is_digit(p_[i_]) || p_[i_] == U'_')) ++i_;
        if (!at(U'>')) foreign();
        ++i_;
        number = ++groups_;
      } else if (at(U'i', 1) && at(U':', 2)) {
        i_ += 3;
        fold_ = true;
      } else if (at(U'-', 1) && at(U'i', 2) && at(U':', 3)) {
        i_ += 4;
        fold_ = false;
      } else {
        foreign();  // lookarounds, atomic groups, other flags, conditions, comments
      }
    } else {
      number = ++groups_;
    }
    Node inside = alternation(depth + 1);
    if (!at(U')')) invalid();
    ++i_;
    fold_ = saved_fold;
    if (number == 0) return inside;
    Node node;
    node.kind = Kind::kGroup;
    node.group = number;
    node.children.push_back(std::move(inside));
    return node;
  }

  // A quantifier after the atom, if any: the atom becomes its repeat.
  void quantify(Node& node) {
    if (!more()) return;
    int min = 0, max = 0;
    switch (p_[i_]) {
      case U'*':
        min = 0, max = -1, ++i_;
        break;
      case U'+':
        min = 1, max = -1, ++i_;
        break;
      case U'?':
        min = 0, max = 1, ++i_;
        break;
      case U'{':
        counted(min, max);
        break;
      default:
        return;
    }
    if (node.kind == Kind::kAssertion) foreign();
    bool greedy = true;
    if (at(U'?')) {
      greedy = false;
      ++i_;
    }
    // A possessive or a second quantifier: Boost's to read or refuse.
    if (at(U'+') || at(U'*') || at(U'?') || at(U'{')) foreign();
    Node repeat;
    repeat.kind = Kind::kRepeat;
    repeat.min = min;
    repeat.max = max;
    repeat.greedy = greedy;
    repeat.children.push_back(std::move(node));
    node = std::move(repeat);
  }

  // {n}, {n,} or {n,m}; any other use of { is foreign.
  void counted(int& min, int& max) {
    ++i_;
    min = number();
    max = min;
    if (at(U',')) {
      ++i_;
      max = at(U'}') ? -1 : number();
    }
    if (!at(U'}')) foreign();
    ++i_;
    if (max >= 0 && max < min) invalid();
  }
  int number() {
    int value = 0, digits = 0;
    for (; more() && is_digit(p_[i_]); ++i_, ++digits) {
      value = value * 10 + static_cast<int>(p_[i_] - U'0');
      if (value > kMaxCount) foreign();
    }
    if (digits == 0) foreign();
    return value;
  }

  Node escape() {
    ++i_;
    if (!more()) invalid();
    const char32_t c = p_[i_];
    Node node;
    node.kind = Kind::kAssertion;
    switch (c) {
      case U'b':
        node.assertion = Assertion::kWordBoundary;
        break;
      case U'B':
        node.assertion = Assertion::kNotWordBoundary;
        break;
      case U'A':
      case U'`':
        node.assertion = Assertion::kTextStart;
        break;
      case U'z':
      case U'\'':
        node.assertion = Assertion::kTextEnd;
        break;
      default: {
        CharSet set;
        if (class_escape(set)) return set_node(std::move(set), fold_);
        return literal(escaped_character());
      }
    }
    ++i_;
    return node;
  }

  // \d \w \s and their complements, at i_ (past the backslash).
  bool class_escape(CharSet& set) {
    const char32_t c = p_[i_];
    const char32_t lower = c | 0x20;
    if (lower != U'd' && lower != U'w' && lower != U's') return false;
    named_class(std::u32string(1, lower), set);
    if (c != lower) set = set.complement();
    ++i_;
    return true;
  }

  // The character an escape at i_ (past the backslash) stands for, i_ left past it.
  char32_t escaped_character() {
    const char32_t c = p_[i_++];
    switch (c) {
      case U'n':
        return U'\n';
      case U't':
        return U'\t';
      case U'r':
        return U'\r';
      case U'f':
        return U'\f';
      case U'0':
        if (more() && is_digit(p_[i_])) foreign();
        return 0;
      case U'x':
        if (at(U'{')) return braced_hex();
        return hex(2);
      case U'u':
        return hex(4);
      default:
        // Letters and digits escape what Boost alone knows (back-references, \Z, \Q, \p, ...);
        // \< and \> are its word edges. Any other escaped character is itself.
        if (c < 0x80 && (is_ascii_letter(c) || is_digit(c) || c == U'<' || c == U'>')) foreign();
        return c;
    }
  }
  char32_t hex(int digits) {
    char32_t value = 0;
    for (int k = 0; k < digits; ++k, ++i_) {
      const int v = more() ? hex_value(p_[i_]) : -1;
      if (v < 0) foreign();
      value = value * 16 + static_cast<char32_t>(v);
    }
    return value;
  }
  char32_t braced_hex() {
    ++i_;
    char32_t value = 0;
    int digits = 0;
    for (; more() && hex_value(p_[i_]) >= 0; ++i_, ++digits)
      value = value * 16 + static_cast<char32_t>(hex_value(p_[i_]));
    if (!at(U'}') || digits == 0 || digits > 6 || value > text_unicode::kLastCodePoint) foreign();
    ++i_;
    return value;
  }

  Node bracket() {
    ++i_;
    const bool negated = at(U'^');
    if (negated) ++i_;
    CharSet set;
    for (bool first = true;; first = false) {
      if (!more()) invalid();
      if (at(U']') && !first) {
        ++i_;
        break;
      }
      CharSet members;
      if (bracket_class(members)) {
        if (at(U'-') && !at(U']', 1)) foreign();
        set.add(members);
        continue;
      }
      char32_t low = bracket_character();
      if (at(U'-') && i_ + 1 < p_.size() && !at(U']', 1)) {
        ++i_;
        CharSet unused;
        if (bracket_class(unused)) foreign();
        char32_t high = bracket_character();
        if (fold_) low = text_unicode::to_lower(low), high = text_unicode::to_lower(high);
        if (high < low) invalid();
        if (at(U'-') && !at(U']', 1)) foreign();
        set.add(low, high);
      } else {
        set.add(fold_ ? text_unicode::to_lower(low) : low,
                fold_ ? text_unicode::to_lower(low) : low);
      }
    }
    return set_node(negated ? set.complement() : set, fold_);
  }

  // A class inside brackets at i_: \d \w \s, their complements, [:name:].
  bool bracket_class(CharSet& set) {
    if (at(U'\\') && i_ + 1 < p_.size()) {
      ++i_;
      if (class_escape(set)) return true;
      --i_;
      return false;
    }
    if (!at(U'[') || !(at(U':', 1) || at(U'.', 1) || at(U'=', 1))) return false;
    if (!at(U':', 1)) foreign();  // collating elements and equivalence classes
    const std::size_t end = p_.find(U":]", i_ + 2);
    if (end == std::u32string::npos) foreign();
    std::u32string name = p_.substr(i_ + 2, end - i_ - 2);
    // Under (?i) a case's class holds both cases, as Boost reads it.
    if (fold_ && (name == U"upper" || name == U"lower")) name = U"alpha";
    if (!named_class(name, set)) foreign();
    i_ = end + 2;
    return true;
  }

  char32_t bracket_character() {
    if (!at(U'\\')) return p_[i_++];
    ++i_;
    if (!more()) invalid();
    if (at(U'b')) foreign();  // the backspace, in Boost's reading
    return escaped_character();
  }

  std::u32string p_;
  std::size_t i_ = 0;
  int groups_ = 0;
  bool fold_ = false;
};

}  // namespace

Syntax parse(std::wstring_view pattern) {
  std::u32string characters;
  characters.reserve(pattern.size());
  for (std::size_t at = 0; at < pattern.size();) {
    const text_unicode::Character c = text_unicode::character_at(pattern, at);
    characters.push_back(c.code);
    at += c.units;
  }
  try {
    return Parser(std::move(characters)).run();
  } catch (const Stop& stop) {
    Syntax syntax;
    syntax.reading = stop.reading;
    return syntax;
  }
}

}  // namespace text_regex::detail
