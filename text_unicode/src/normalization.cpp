#include "text_unicode/normalization.h"

#include <algorithm>
#include <span>

#include "normalization_tables.h"
#include "text_unicode/characters.h"
#include "text_unicode/small_vector.h"

namespace text_unicode {

namespace {

using detail::kComposesBack;
using detail::NormalizationProperties;

NormalizationProperties properties_of(char32_t code) {
  return detail::kProperties[detail::kPropertyIndex.at(code)];
}

// Hangul syllables: 19 leading consonants by 21 vowels by 28 trailing consonants (the first of
// which is none), each syllable its leading consonant, its vowel and its trailing consonant.
constexpr char32_t kSyllableBase = 0xAC00, kLeadingBase = 0x1100, kVowelBase = 0x1161,
                   kTrailingBase = 0x11A7;
constexpr char32_t kLeadings = 19, kVowels = 21, kTrailings = 28;
constexpr char32_t kSyllables = kLeadings * kVowels * kTrailings;

bool is_syllable(char32_t code) { return code - kSyllableBase < kSyllables; }

// The primary composite of first and second, or 0 where they make none.
char32_t composite_of(char32_t first, char32_t second) {
  if (first - kLeadingBase < kLeadings && second - kVowelBase < kVowels)
    return kSyllableBase + ((first - kLeadingBase) * kVowels + second - kVowelBase) * kTrailings;
  if (is_syllable(first) && (first - kSyllableBase) % kTrailings == 0 &&
      second - kTrailingBase - 1 < kTrailings - 1)
    return first + (second - kTrailingBase);
  const std::uint16_t place = detail::kCompositionIndex.at(first);
  if (place == 0) return 0;
  const char32_t* pairs = detail::kCompositions + place + 1;
  const char32_t* const end = pairs + 2 * detail::kCompositions[place];
  for (; pairs != end && pairs[0] <= second; pairs += 2)
    if (pairs[0] == second) return pairs[1];
  return 0;
}

// What each form asks of a character. The flags of a character that makes a text fail the
// form's quick check, and of one that decomposes in it.
struct Form {
  bool composes;
  bool compatibility;
  std::uint8_t fails_quick_check;
  std::uint8_t decomposes;
};

constexpr Form form_of(NormalForm form) {
  switch (form) {
    case NormalForm::nfc:
      return {true, false, detail::kNotNfc, detail::kCanonical};
    case NormalForm::nfd:
      return {false, false, detail::kCanonical, detail::kCanonical};
    case NormalForm::nfkc:
      return {true, true, detail::kNotNfkc, detail::kCompatibility};
    case NormalForm::nfkd:
      break;
  }
  return {false, true, detail::kCompatibility, detail::kCompatibility};
}

// Where a text first fails a form's quick check (its size when it never does), and the last
// starter before that which passes it. The text before that starter is in the form already, and
// normalizing the rest from it gives the rest of the text's normal form: it begins with a
// starter, which the marks after it cannot be reordered across, and its decomposition begins with
// a starter that composes with nothing before it (generate_normalization.py checks this of every
// such character).
struct QuickCheck {
  std::size_t failed;
  std::size_t restart;
};

template <NormalForm F>
QuickCheck quick_check(std::wstring_view text) {
  std::size_t i = 0, restart = 0;
  std::uint8_t last_class = 0;
  while (i < text.size()) {
    if (unit_value(text[i]) < 0x80) {
      while (++i < text.size() && unit_value(text[i]) < 0x80) {
      }
      restart = i - 1;
      last_class = 0;
      continue;
    }
    const Character c = character_at(text, i);
    const NormalizationProperties p = properties_of(c.code);
    if ((p.flags & form_of(F).fails_quick_check) != 0 ||
        (p.combining_class != 0 && last_class > p.combining_class))
      return {i, restart};
    if (p.combining_class == 0) restart = i;
    last_class = p.combining_class;
    i += c.units;
  }
  return {text.size(), restart};
}

// A combining mark waiting for the marks after it, to be put in order of class.
struct Mark {
  char32_t code;
  NormalizationProperties properties;
};

// Orders the marks by class, stably: insertion for the few that follow a starter in any
// language, a merge sort (n log n) for the long runs a made-up text may hold.
void order_by_class(Mark* marks, std::size_t count) {
  const auto by_class = [](const Mark& a, const Mark& b) {
    return a.properties.combining_class < b.properties.combining_class;
  };
  if (count > 16) {
    std::stable_sort(marks, marks + count, by_class);
    return;
  }
  for (std::size_t i = 1; i < count; ++i) {
    const Mark mark = marks[i];
    std::size_t j = i;
    for (; j > 0 && by_class(mark, marks[j - 1]); --j) marks[j] = marks[j - 1];
    marks[j] = mark;
  }
}

}  // namespace

// The normal form written into a Normalized, which then holds its own characters.
class NormalizedWriter {
 public:
  NormalizedWriter(Normalized& into, std::size_t expected) : into_(into) {
    into_.clear_for(expected);
  }

  void put(char32_t code) {
    // A code that is no character is written back as the one wchar_t it was read from.
    wchar_t units[2] = {static_cast<wchar_t>(code)};
    const std::size_t count = code > kLastCodePoint ? 1 : encode(code, units);
    wchar_t* out = into_.append_for_overwrite(count);
    out[0] = units[0];
    if (count == 2) out[1] = units[1];
  }

  void put(std::wstring_view units) {
    std::copy(units.begin(), units.end(), into_.append_for_overwrite(units.size()));
  }

 private:
  Normalized& into_;
};

namespace {

// The characters of a text in, its normal form out: each decomposed in full, its marks put in
// order of class when the next starter comes, and, in NFC and NFKC, each composed with the
// last starter it is not blocked from.
template <NormalForm F>
class Normalizer {
 public:
  explicit Normalizer(NormalizedWriter& out) : out_(out) {}

  void add(char32_t code) {
    if (code < 0x80) return decomposed(code, {0, 0});
    const NormalizationProperties p = properties_of(code);
    if ((p.flags & kForm.decomposes) == 0) return decomposed(code, p);
    if (is_syllable(code)) {
      const char32_t s = code - kSyllableBase;
      const char32_t parts[] = {kLeadingBase + s / (kVowels * kTrailings),
                                kVowelBase + s / kTrailings % kVowels,
                                kTrailingBase + s % kTrailings};
      for (const char32_t part : std::span(parts, s % kTrailings == 0 ? 2 : 3))
        decomposed(part, properties_of(part));
      return;
    }
    const char32_t* entry = detail::kDecompositions + detail::kDecompositionIndex.at(code);
    const std::size_t canonical = entry[0] & 0xFF;
    const char32_t* parts = entry + 1;
    std::size_t count = canonical;
    if (kForm.compatibility) {
      count = entry[0] >> 8 & 0xFF;
      if ((entry[0] >> 16 & 1) == 0) parts += canonical;
    }
    for (const char32_t part : std::span(parts, count)) decomposed(part, properties_of(part));
  }

  void finish() {
    pass_on_marks();
    if (kForm.composes) flush_segment();
  }

 private:
  static constexpr Form kForm = form_of(F);

  void decomposed(char32_t code, NormalizationProperties p) {
    if (p.combining_class != 0) return marks_.push_back({code, p});
    pass_on_marks();
    pass_on(code, p);
  }

  void pass_on_marks() {
    if (marks_.empty()) return;
    order_by_class(marks_.begin(), marks_.size());
    for (const Mark& mark : marks_) pass_on(mark.code, mark.properties);
    marks_.clear();
  }

  // The next character in canonical order.
  void pass_on(char32_t code, NormalizationProperties p) {
    if (!kForm.composes) return out_.put(code);
    // Blocked from the starter by a character between them of class 0 or of its own class or
    // above; the marks between are in order, so the last of them tells.
    if (!segment_.empty() && (p.flags & kComposesBack) != 0 &&
        (last_class_ == 0 || last_class_ < p.combining_class)) {
      if (const char32_t composite = composite_of(segment_.front(), code)) {
        segment_.front() = composite;
        return;
      }
    }
    if (p.combining_class == 0) {
      flush_segment();
    } else if (segment_.empty()) {
      // Marks before the text's first starter compose with nothing.
      return out_.put(code);
    }
    segment_.push_back(code);
    last_class_ = p.combining_class;
  }

  void flush_segment() {
    for (const char32_t code : segment_) out_.put(code);
    segment_.clear();
  }

  NormalizedWriter& out_;
  SmallVector<Mark, 32> marks_;  // since the last starter, in the text's order
  // In NFC and NFKC, the last starter, which may yet compose, and the characters after it that
  // did not; last_class_ the class of the last of them, 0 while there are none.
  SmallVector<char32_t, 32> segment_;
  std::uint8_t last_class_ = 0;
};

template <NormalForm F>
void normalize(std::wstring_view text, Normalized& into) {
  const QuickCheck check = quick_check<F>(text);
  if (check.failed == text.size()) return;
  NormalizedWriter out(into, text.size());
  out.put(text.substr(0, check.restart));
  Normalizer<F> normalizer(out);
  for (std::size_t i = check.restart; i < text.size();) {
    const Character c = character_at(text, i);
    normalizer.add(c.code);
    i += c.units;
  }
  normalizer.finish();
}

}  // namespace

std::uint8_t combining_class(char32_t code) { return properties_of(code).combining_class; }

Normalized::Normalized(std::wstring_view text, NormalForm form) : SmallText(text) {
  switch (form) {
    case NormalForm::nfc:
      normalize<NormalForm::nfc>(text, *this);
      break;
    case NormalForm::nfd:
      normalize<NormalForm::nfd>(text, *this);
      break;
    case NormalForm::nfkc:
      normalize<NormalForm::nfkc>(text, *this);
      break;
    case NormalForm::nfkd:
      normalize<NormalForm::nfkd>(text, *this);
      break;
  }
}

}  // namespace text_unicode
