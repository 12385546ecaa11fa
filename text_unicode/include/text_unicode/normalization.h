// Unicode's normalization of texts: the four normal forms, from the Unicode Character Database
// (its version stands at the head of src/normalization_tables.cpp, which
// generate_normalization.py makes from it). Host-free, the same under every locale and on every
// platform: a character is what characters.h reads, a surrogate pair one character where
// wchar_t holds 16 bits. A lone surrogate, and a code that is no character (past U+10FFFF, or a
// negative wchar_t), is a starter that neither decomposes nor composes: it stays as it is.
//
//   Normalized(L"Cafe\u0301", NormalForm::nfc).view()    == L"Caf\u00e9"
//   Normalized(L"Caf\u00e9", NormalForm::nfd).view()     == L"Cafe\u0301"
//   Normalized(L"\ufb01", NormalForm::nfkc).view()       == L"fi"     (the ligature)
//   Normalized(L"\u212b", NormalForm::nfc).view()        == L"\u00c5"  (the angstrom sign)
//   Normalized(L"\uac01", NormalForm::nfd).view()        == L"\u1100\u1161\u11a8"
//   Normalized(L"a\u0301\u0316", NormalForm::nfd).view() == L"a\u0316\u0301"  (by class)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "text_unicode/small_text.h"

namespace text_unicode {

// The canonical combining class of a code point: 0 for a starter, and for every code that is
// no character.
std::uint8_t combining_class(char32_t code);

// NFC and NFKC compose what NFD and NFKD decompose; NFKC and NFKD also replace each character
// that has a compatibility decomposition (a ligature, a full-width letter) by it.
enum class NormalForm { nfc, nfd, nfkc, nfkd };

// A text in a normal form. Time linear in the text's length, but for the combining marks that
// follow one starter, which are ordered by class in time n log n for n of them. A text that
// passes the form's quick check (ASCII among such texts) is its own normal form: given back
// viewed, after one lookup of each character beyond ASCII. Throws std::bad_alloc when memory
// runs out.
class Normalized : public SmallText<64> {
 public:
  Normalized(std::wstring_view text, NormalForm form);

  // The text as it is, in no particular form.
  static Normalized unchanged(std::wstring_view text) { return Normalized(text); }

 private:
  explicit Normalized(std::wstring_view text) : SmallText(text) {}
};

}  // namespace text_unicode
