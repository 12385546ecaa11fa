// The reader of a pattern's syntax, in two parts: the structure (alternation, groups,
// repeats: syntax.cpp) and the characters (escapes, classes, brackets: syntax_characters.cpp).
// Seen by those two files alone.
#pragma once

#include <string>
#include <utility>

#include "syntax.h"

namespace text_regex::detail::reading {

// A reading stops where the pattern is not valid, or is foreign to the automata.
struct Stop {
  Reading reading;
};
[[noreturn]] inline void invalid() { throw Stop{Reading::kInvalid}; }
[[noreturn]] inline void foreign() { throw Stop{Reading::kForeign}; }

inline bool is_ascii_letter(char32_t c) { return (c | 0x20) >= U'a' && (c | 0x20) <= U'z'; }
inline bool is_digit(char32_t c) { return c >= U'0' && c <= U'9'; }

inline Node set_node(CharSet set, bool fold) {
  Node node;
  node.kind = Node::Kind::kSet;
  node.set = std::move(set);
  node.fold = fold;
  return node;
}

class Parser {
 public:
  explicit Parser(std::u32string pattern) : p_(std::move(pattern)) {}

  Syntax run();

 private:
  bool at(char32_t c, std::size_t ahead = 0) const;
  Node alternation(int depth);
  Node concat(int depth);
  // (?i) and (?-i): case folding on or off for the rest of the enclosing group.
  bool flag_group();
  Node atom(int depth);
  Node literal(char32_t c) const;
  Node group(int depth);
  // A quantifier after the atom, if any: the atom becomes its repeat.
  void quantify(Node& node);
  // {n}, {n,} or {n,m}; any other use of { is foreign.
  void counted(int& min, int& max);
  int number();
  Node escape();
  // \d \w \s and their complements, at i_ (past the backslash).
  bool class_escape(CharSet& set);
  // The character an escape at i_ (past the backslash) stands for, i_ left past it.
  char32_t escaped_character();
  char32_t hex(int digits);
  char32_t braced_hex();
  Node bracket();
  // A class inside brackets at i_: \d \w \s, their complements, [:name:].
  bool bracket_class(CharSet& set);
  char32_t bracket_character();

  bool more() const { return i_ < p_.size(); }
  std::u32string p_;
  std::size_t i_ = 0;
  int groups_ = 0;
  bool fold_ = false;
};

}  // namespace text_regex::detail::reading
