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
#include <memory>
#include <string_view>

namespace text_unicode {

// The canonical combining class of a code point: 0 for a starter, and for every code that is
// no character.
std::uint8_t combining_class(char32_t code);

// NFC and NFKC compose what NFD and NFKD decompose; NFKC and NFKD also replace each character
// that has a compatibility decomposition (a ligature, a full-width letter) by it.
enum class NormalForm { nfc, nfd, nfkc, nfkd };

// A text in a normal form. Time linear in the text's length, but for the combining marks that
// follow one starter, which are ordered by class in time n log n for n of them. A text that
// passes the form's quick check (ASCII among such texts) is its own normal form: it is given
// back as it is, a view of the text, valid while it is, after one lookup of each character
// beyond ASCII. Else the text built, held in the object up to kInline wchar_t, so that the short
// texts most elements hold allocate nothing, and on the heap beyond. Neither copied nor moved,
// since it may view itself: made where it is used (a function may return one made in its return
// statement). Throws std::bad_alloc when memory runs out.
class Normalized {
 public:
  static constexpr std::size_t kInline = 64;

  Normalized(std::wstring_view text, NormalForm form);
  Normalized(const Normalized&) = delete;
  Normalized& operator=(const Normalized&) = delete;
  ~Normalized() = default;

  // The text as it is, in no particular form.
  static Normalized unchanged(std::wstring_view text) { return Normalized(text); }

  std::wstring_view view() const { return view_; }

 private:
  explicit Normalized(std::wstring_view text) : view_(text) {}
  friend class NormalizedWriter;

  std::wstring_view view_;
  std::unique_ptr<wchar_t[]> heap_;
  wchar_t inline_[kInline];
};

}  // namespace text_unicode
