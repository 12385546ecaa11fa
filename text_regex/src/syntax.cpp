#include <string>
#include <utility>

#include "parser.h"
#include "syntax.h"
#include "text_unicode/characters.h"

namespace text_regex::detail {
namespace reading {

using Kind = Node::Kind;

// Deeper nests of groups are foreign, so that reading and compiling a pattern recurse a bounded
// depth on any thread's stack.
constexpr int kMaxDepth = 200;

Syntax Parser::run() {
  Syntax syntax;
  syntax.root = alternation(0);
  if (i_ != p_.size()) invalid();  // a ) that opened no group
  syntax.groups = groups_;
  syntax.reading = Reading::kParsed;
  return syntax;
}

bool Parser::at(char32_t c, std::size_t ahead) const {
  return i_ + ahead < p_.size() && p_[i_ + ahead] == c;
}

Node Parser::alternation(int depth) {
  if (depth > kMaxDepth) foreign();
  Node alt;
  alt.kind = Kind::kAlternation;
  alt.children.push_back(concat(depth));
  while (at(U'|')) {
    ++i_;
    alt.children.push_back(concat(depth));
  }
  if (alt.children.size() == 1) return std::move(alt.children[0]);
  return alt;
}

Node Parser::concat(int depth) {
  Node cat;
  cat.kind = Kind::kConcat;
  while (more() && !at(U'|') && !at(U')')) {
    if (flag_group()) continue;
    Node atom_node = atom(depth);
    quantify(atom_node);
    cat.children.push_back(std::move(atom_node));
  }
  if (cat.children.empty()) return Node{};
  if (cat.children.size() == 1) return std::move(cat.children[0]);
  return cat;
}

// (?i) and (?-i): case folding on or off for the rest of the enclosing group.
bool Parser::flag_group() {
  if (!at(U'(') || !at(U'?', 1)) return false;
  const std::size_t off = at(U'-', 2) ? 1 : 0;
  if (!at(U'i', 2 + off) || !at(U')', 3 + off)) return false;
  i_ += 4 + off;
  fold_ = off == 0;
  if (more() && (at(U'*') || at(U'+') || at(U'?') || at(U'{'))) foreign();
  return true;
}

Node Parser::atom(int depth) {
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

Node Parser::group(int depth) {
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
void Parser::quantify(Node& node) {
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
void Parser::counted(int& min, int& max) {
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

int Parser::number() {
  int value = 0, digits = 0;
  for (; more() && is_digit(p_[i_]); ++i_, ++digits) {
    value = value * 10 + static_cast<int>(p_[i_] - U'0');
    if (value > kMaxCount) foreign();
  }
  if (digits == 0) foreign();
  return value;
}

}  // namespace reading

Syntax parse(std::wstring_view pattern) {
  std::u32string characters;
  characters.reserve(pattern.size());
  for (std::size_t at = 0; at < pattern.size();) {
    const text_unicode::Character c = text_unicode::character_at(pattern, at);
    characters.push_back(c.code);
    at += c.units;
  }
  try {
    return reading::Parser(std::move(characters)).run();
  } catch (const reading::Stop& stop) {
    Syntax syntax;
    syntax.reading = stop.reading;
    return syntax;
  }
}

}  // namespace text_regex::detail
