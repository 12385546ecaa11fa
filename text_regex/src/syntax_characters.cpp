#include <string>
#include <utility>

#include "parser.h"
#include "text_unicode/text_unicode.h"

namespace text_regex::detail::reading {
namespace {

using Kind = Node::Kind;

int hex_value(char32_t c) {
  if (is_digit(c)) return static_cast<int>(c - U'0');
  if ((c | 0x20) >= U'a' && (c | 0x20) <= U'f') return static_cast<int>((c | 0x20) - U'a' + 10);
  return -1;
}

}  // namespace

Node Parser::literal(char32_t c) const {
  return set_node(CharSet::of(fold_ ? text_unicode::to_lower(c) : c), fold_);
}

Node Parser::escape() {
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
bool Parser::class_escape(CharSet& set) {
  const char32_t c = p_[i_];
  const char32_t lower = c | 0x20;
  if (lower != U'd' && lower != U'w' && lower != U's') return false;
  named_class(std::u32string(1, lower), set);
  if (c != lower) set = set.complement();
  ++i_;
  return true;
}

// The character an escape at i_ (past the backslash) stands for, i_ left past it.
char32_t Parser::escaped_character() {
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

char32_t Parser::hex(int digits) {
  char32_t value = 0;
  for (int k = 0; k < digits; ++k, ++i_) {
    const int v = more() ? hex_value(p_[i_]) : -1;
    if (v < 0) foreign();
    value = value * 16 + static_cast<char32_t>(v);
  }
  return value;
}

char32_t Parser::braced_hex() {
  ++i_;
  char32_t value = 0;
  int digits = 0;
  for (; more() && hex_value(p_[i_]) >= 0; ++i_, ++digits)
    value = value * 16 + static_cast<char32_t>(hex_value(p_[i_]));
  if (!at(U'}') || digits == 0 || digits > 6 || value > text_unicode::kLastCodePoint) foreign();
  ++i_;
  return value;
}

Node Parser::bracket() {
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
    const bool low_is_dash = at(U'-');
    char32_t low = bracket_character();
    if (at(U'-') && i_ + 1 < p_.size() && !at(U']', 1)) {
      ++i_;
      // A range from or to an unescaped -: Boost's reading of the dashes is its own.
      if (low_is_dash || at(U'-')) foreign();
      CharSet unused;
      if (bracket_class(unused)) foreign();
      char32_t high = bracket_character();
      if (fold_) low = text_unicode::to_lower(low), high = text_unicode::to_lower(high);
      if (high < low) invalid();
      if (at(U'-') && !at(U']', 1)) foreign();
      set.add(low, high);
    } else {
      set.add(fold_ ? text_unicode::to_lower(low) : low, fold_ ? text_unicode::to_lower(low) : low);
    }
  }
  return set_node(negated ? set.complement() : set, fold_);
}

// A class inside brackets at i_: \d \w \s, their complements, [:name:].
bool Parser::bracket_class(CharSet& set) {
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

char32_t Parser::bracket_character() {
  if (!at(U'\\')) return p_[i_++];
  ++i_;
  if (!more()) invalid();
  if (at(U'b')) foreign();  // the backspace, in Boost's reading
  return escaped_character();
}

}  // namespace text_regex::detail::reading
