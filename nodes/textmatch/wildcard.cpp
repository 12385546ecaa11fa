#include "wildcard.h"

#include <cstddef>
#include <string>
#include <vector>

#include "text_unicode/characters.h"

namespace textmatch {
namespace {

struct Range {
  char32_t first, last;
};

// What one place of a pattern stands for.
struct Token {
  enum class Kind { character, any, set, star } kind;
  char32_t character = 0;
  // A set: its ranges in ranges[begin, end), negated or not.
  std::size_t begin = 0, end = 0;
  bool negated = false;
};

// A pattern read into its tokens, the sets' ranges beside them.
struct Tokens {
  std::vector<Token> tokens;
  std::vector<Range> ranges;
};

// The set of the pattern's characters [open + 1, close), read as Python's translation reads it:
// the characters cut at each '-' that may make a range (not the first, nor one right after a
// range), an empty last piece giving its '-' back, and a range of ends in the wrong order
// dropped with both its ends; then each '-' left between two pieces is a range of the characters
// either side.
Token read_set(const std::u32string& p, std::size_t open, std::size_t close, Tokens& read) {
  std::size_t i = open + 1;
  std::vector<std::u32string> pieces;
  for (std::size_t k = p[i] == U'!' ? i + 2 : i + 1;;) {
    while (k < close && p[k] != U'-') ++k;
    if (k >= close) break;
    pieces.push_back(p.substr(i, k - i));
    i = k + 1;
    k += 3;
  }
  const std::u32string last = p.substr(i, close - i);
  if (!last.empty())
    pieces.push_back(last);
  else if (!pieces.empty())
    pieces.back() += U'-';
  for (std::size_t k = pieces.empty() ? 0 : pieces.size() - 1; k > 0; --k) {
    if (pieces[k - 1].back() > pieces[k].front()) {
      pieces[k - 1] = pieces[k - 1].substr(0, pieces[k - 1].size() - 1) + pieces[k].substr(1);
      pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(k));
    }
  }
  std::u32string stuff;  // the pieces joined again, ranges marked by their place
  std::vector<bool> range_after;
  Token set{Token::Kind::set};
  set.begin = read.ranges.size();
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    for (std::size_t c = 0; c < pieces[k].size(); ++c) {
      stuff += pieces[k][c];
      range_after.push_back(k + 1 < pieces.size() && c + 1 == pieces[k].size());
    }
  }
  std::size_t c = 0;
  if (stuff.empty()) {
    set.end = set.begin;  // holds nothing
    return set;
  }
  if (stuff == U"!") return {Token::Kind::any};
  if (stuff[0] == U'!') {
    set.negated = true;
    c = 1;
  }
  for (; c < stuff.size(); ++c) {
    if (range_after[c] && c + 1 < stuff.size()) {
      read.ranges.push_back({stuff[c], stuff[c + 1]});
      ++c;
    } else {
      read.ranges.push_back({stuff[c], stuff[c]});
    }
  }
  set.end = read.ranges.size();
  return set;
}

Tokens tokens_of(std::wstring_view pattern) {
  std::u32string p;
  for (std::size_t i = 0; i < pattern.size();) {
    const text_unicode::Character c = text_unicode::character_at(pattern, i);
    p += c.code;
    i += c.units;
  }
  Tokens read;
  for (std::size_t i = 0; i < p.size();) {
    const char32_t c = p[i++];
    if (c == U'*') {
      if (read.tokens.empty() || read.tokens.back().kind != Token::Kind::star)
        read.tokens.push_back({Token::Kind::star});
      continue;
    }
    if (c == U'?') {
      read.tokens.push_back({Token::Kind::any});
      continue;
    }
    if (c == U'[') {
      std::size_t close = i;
      if (close < p.size() && p[close] == U'!') ++close;
      if (close < p.size() && p[close] == U']') ++close;
      while (close < p.size() && p[close] != U']') ++close;
      if (close < p.size()) {
        read.tokens.push_back(read_set(p, i - 1, close, read));
        i = close + 1;
        continue;
      }
    }
    read.tokens.push_back({Token::Kind::character, c});
  }
  return read;
}

bool takes(const Token& token, const Tokens& read, char32_t c) {
  switch (token.kind) {
    case Token::Kind::character:
      return c == token.character;
    case Token::Kind::any:
      return true;
    case Token::Kind::set: {
      bool in = false;
      for (std::size_t r = token.begin; r < token.end && !in; ++r)
        in = c >= read.ranges[r].first && c <= read.ranges[r].last;
      return in != token.negated;
    }
    case Token::Kind::star:
      break;
  }
  return false;
}

}  // namespace

// Every token but a star takes one character, so the first way the text can go on past a star
// is as good as any: on a mismatch, the last star takes one character more and the tokens after
// it start again there. Each restart moves the star's end on, so the text is read at most once
// per token.
bool matches_wildcard(std::wstring_view text, std::wstring_view pattern) {
  const Tokens read = tokens_of(pattern);
  const std::vector<Token>& tokens = read.tokens;
  std::size_t t = 0;                 // where in the text
  std::size_t k = 0;                 // which token
  std::size_t star = tokens.size();  // the last star met, or none
  std::size_t resume = 0;            // where the text goes on after it
  while (t < text.size()) {
    const text_unicode::Character c = text_unicode::character_at(text, t);
    if (k < tokens.size() && tokens[k].kind == Token::Kind::star) {
      star = k++;
      resume = t;
    } else if (k < tokens.size() && takes(tokens[k], read, c.code)) {
      ++k;
      t += c.units;
    } else if (star < tokens.size()) {
      k = star + 1;
      resume += text_unicode::character_at(text, resume).units;
      t = resume;
    } else {
      return false;
    }
  }
  while (k < tokens.size() && tokens[k].kind == Token::Kind::star) ++k;
  return k == tokens.size();
}

}  // namespace textmatch
