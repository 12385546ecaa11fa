// Text and value classes: CString, CStringArray, CValue.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "number_text/number_text.h"
#include "refusal.h"
#include "xsi_sdk.h"

namespace XSI {

using xsi_host::detail::or_refused;

// A text past the inline capacity: its length, whether its narrow form is made yet, then its
// characters and a terminating 0, then room for the narrow form and its 0, all in one block.
struct CString::Rep {
  ULONG length;
  bool narrowed;

  wchar_t* wide() { return reinterpret_cast<wchar_t*>(this + 1); }
  char* narrow() { return reinterpret_cast<char*>(wide() + length + 1); }

  static Rep* make(std::wstring_view text) {
    static_assert(sizeof(Rep) % alignof(wchar_t) == 0);
    const std::size_t size = sizeof(Rep) + (text.size() + 1) * (sizeof(wchar_t) + 1);
    Rep* rep = static_cast<Rep*>(::operator new(size));
    rep->length = static_cast<ULONG>(text.size());
    rep->narrowed = false;
    std::copy(text.begin(), text.end(), rep->wide());
    rep->wide()[text.size()] = L'\0';
    return rep;
  }
  static void destroy(Rep* rep) { ::operator delete(rep); }
};

namespace {

// The narrow form of a character: itself below 256, '?' otherwise.
char narrowed(wchar_t c) {
  const auto code = static_cast<std::make_unsigned_t<wchar_t>>(c);
  return code < 256 ? static_cast<char>(code) : '?';
}

// Where the first occurrence of a non-empty sep at or after from starts, or text.size() when
// there is none: a scan for its first character, then the rest compared in place. The pieces
// between separators are most often a few characters long, where the library's search (a call
// to wmemchr, then to wmemcmp) costs more than the scan.
std::size_t find_separator(std::wstring_view text, std::wstring_view sep, std::size_t from) {
  if (text.size() < sep.size() || from > text.size() - sep.size()) return text.size();
  const wchar_t* const starts_end = text.data() + (text.size() - sep.size() + 1);
  for (const wchar_t* at = std::find(text.data() + from, starts_end, sep[0]); at != starts_end;
       at = std::find(at + 1, starts_end, sep[0])) {
    std::size_t k = 1;
    while (k < sep.size() && at[k] == sep[k]) ++k;
    if (k == sep.size()) return static_cast<std::size_t>(at - text.data());
  }
  return text.size();
}

}  // namespace

void CString::clear() noexcept {
  if (rep_) Rep::destroy(rep_);
  rep_ = nullptr;
  length_ = 0;
  inline_[0] = L'\0';
}

void CString::assign(std::wstring_view text) {
  Rep* fresh = text.size() > kInline ? Rep::make(text) : nullptr;  // may throw: nothing changed
  clear();
  length_ = static_cast<ULONG>(text.size());
  rep_ = fresh;
  if (!rep_) {
    // A few characters at the most: a plain loop, where a call to memmove costs more.
    for (std::size_t i = 0; i < text.size(); ++i) inline_[i] = text[i];
    inline_[length_] = L'\0';
  }
}

// A text that cannot get its storage is the empty text, and the refusal is recorded.
void CString::assign_or_empty(std::wstring_view text) noexcept {
  or_refused("CString", [&] { assign(text); });
}

CString::CString() : length_(0), rep_(nullptr), inline_{} {}

CString::CString(const wchar_t* text) : CString() {
  if (text) assign_or_empty(std::wstring_view(text));
}

CString::CString(const wchar_t* text, ULONG length) : CString() {
  if (text) assign_or_empty(std::wstring_view(text, length));
}

CString::CString(const CValue& value) : CString() {
  wchar_t buffer[number_text::kMaxDigits];
  switch (value.GetType()) {
    case CValue::siEmpty:
      break;
    case CValue::siBool:
      assign_or_empty(static_cast<bool>(value) ? L"true" : L"false");
      break;
    case CValue::siInt4:
      assign_or_empty({buffer, number_text::format_integer(static_cast<long>(value), buffer)});
      break;
    case CValue::siFloat:
      assign_or_empty({buffer, number_text::format_float(static_cast<float>(value), buffer)});
      break;
    case CValue::siString:
      assign_or_empty({value.text_.GetWideString(), value.text_.Length()});
      break;
  }
}

// An inline text is copied with its whole room, of fixed size: a few moves, no call.
CString::CString(const CString& other) : CString() {
  if (other.rep_) {
    assign_or_empty({other.GetWideString(), other.Length()});
    return;
  }
  length_ = other.length_;
  std::memcpy(inline_, other.inline_, sizeof inline_);
}

CString::CString(CString&& other) noexcept : CString() { *this = std::move(other); }

CString& CString::operator=(const CString& other) {
  if (this != &other) assign_or_empty({other.GetWideString(), other.Length()});
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this == &other) return *this;
  clear();
  length_ = other.length_;
  rep_ = std::exchange(other.rep_, nullptr);
  if (!rep_) std::copy(other.inline_, other.inline_ + length_ + 1, inline_);
  other.clear();
  return *this;
}

CString::~CString() { clear(); }

CString& CString::operator=(const char* narrow) {
  or_refused("CString", [&] {
    std::wstring wide;
    if (narrow) {
      const std::size_t length = std::strlen(narrow);
      wide.resize(length);
      for (std::size_t i = 0; i < length; ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
    }
    assign(wide);
  });
  return *this;
}

CString CString::operator+(const CString& other) const {
  CString sum;
  or_refused("CString", [&] {
    std::wstring joined;
    joined.reserve(std::size_t{Length()} + other.Length());
    joined.append(GetWideString(), Length()).append(other.GetWideString(), other.Length());
    sum.assign(joined);
  });
  return sum;
}

CString& CString::operator+=(const CString& other) {
  if (!other.IsEmpty()) *this = *this + other;
  return *this;
}

bool CString::operator==(const CString& other) const {
  return std::wstring_view(GetWideString(), Length()) ==
         std::wstring_view(other.GetWideString(), other.Length());
}

ULONG CString::Length() const { return length_; }

bool CString::IsEmpty() const { return length_ == 0; }

const wchar_t* CString::GetWideString() const { return rep_ ? rep_->wide() : inline_; }

// The narrow form is made when first asked for, into room the text already holds: asking for
// it allocates nothing and cannot fail.
const char* CString::GetAsciiString() const {
  const wchar_t* wide = GetWideString();
  char* narrow = rep_ ? rep_->narrow() : inline_narrow_;
  if (rep_ && rep_->narrowed) return narrow;
  for (ULONG i = 0; i <= length_; ++i) narrow[i] = narrowed(wide[i]);
  if (rep_) rep_->narrowed = true;
  return narrow;
}

ULONG CString::FindString(const CString& sub, ULONG start) const {
  if (sub.IsEmpty() || start > Length()) return kNotFound;
  const std::wstring_view text(GetWideString(), Length());
  const std::size_t position =
      text.find(std::wstring_view(sub.GetWideString(), sub.Length()), start);
  return position == std::wstring_view::npos ? kNotFound : static_cast<ULONG>(position);
}

// ---- CStringArray ------------------------------------------------------------------------

// The texts of an array, in one block: their count, the room for them, then the texts.
struct CStringArray::Rep {
  std::size_t count;
  std::size_t capacity;

  CString* items() { return reinterpret_cast<CString*>(this + 1); }
  const CString* items() const { return reinterpret_cast<const CString*>(this + 1); }

  static Rep* make(std::size_t capacity) {
    static_assert(sizeof(Rep) % alignof(CString) == 0);
    Rep* rep = static_cast<Rep*>(::operator new(sizeof(Rep) + capacity * sizeof(CString)));
    rep->count = 0;
    rep->capacity = capacity;
    return rep;
  }
  static void destroy(Rep* rep) {
    if (!rep) return;
    for (std::size_t i = rep->count; i-- > 0;) rep->items()[i].~CString();
    ::operator delete(rep);
  }
  // A block of the given capacity, filled by fill(block); when filling throws, the block and
  // every text in it are let go before the exception goes on.
  template <class Fill>
  static Rep* make_filled(std::size_t capacity, Fill&& fill) {
    Rep* rep = make(capacity);
    try {
      fill(*rep);
    } catch (...) {
      destroy(rep);
      throw;
    }
    return rep;
  }
  // Adds a copy of text, which must fit; throws std::bad_alloc when its storage does not.
  void add(std::wstring_view text) {
    CString* item = new (items() + count) CString();
    ++count;
    item->assign(text);
  }
  void add(const CString& text) { add(std::wstring_view(text.GetWideString(), text.Length())); }
  // Adds a copy of every text of other, which must fit.
  void add_all(const Rep& other) {
    for (std::size_t i = 0; i < other.count; ++i) add(other.items()[i]);
  }
};

CStringArray::CStringArray() : rep_(nullptr) {}
CStringArray::CStringArray(const CStringArray& other) : rep_(nullptr) { *this = other; }

// The empty array holds no storage; an array that cannot get it stays as it was.
CStringArray& CStringArray::operator=(const CStringArray& other) {
  if (this == &other) return *this;
  or_refused("CStringArray", [&] {
    Rep* fresh = nullptr;
    if (other.rep_ && other.rep_->count > 0)
      fresh = Rep::make_filled(other.rep_->count, [&](Rep& copy) { copy.add_all(*other.rep_); });
    Rep::destroy(rep_);
    rep_ = fresh;
  });
  return *this;
}

CStringArray::~CStringArray() { Rep::destroy(rep_); }

long CStringArray::GetCount() const { return rep_ ? static_cast<long>(rep_->count) : 0; }

const CString& CStringArray::operator[](long index) const {
  static const CString empty;  // immutable, so safe to share between threads
  if (!rep_ || index < 0 || static_cast<std::size_t>(index) >= rep_->count) return empty;
  return rep_->items()[static_cast<std::size_t>(index)];
}

void CStringArray::Add(const CString& text) {
  or_refused("CStringArray", [&] {
    if (!rep_ || rep_->count == rep_->capacity) {
      // Room for twice as many, the texts so far copied over; the old block only then let go.
      Rep* grown = Rep::make_filled(rep_ ? 2 * rep_->capacity : 4, [&](Rep& block) {
        if (rep_) block.add_all(*rep_);
        block.add(text);
      });
      Rep::destroy(rep_);
      rep_ = grown;
      return;
    }
    try {
      rep_->add(text);
    } catch (...) {
      rep_->items()[--rep_->count].~CString();
      throw;
    }
  });
}

// The pieces, found in one pass and stored in a second, in one block; or no pieces at all when
// there is not the memory for every one of them.
CStringArray CString::Split(const CString& separator) const {
  CStringArray pieces;
  const std::wstring_view text(GetWideString(), Length());
  const std::wstring_view sep(separator.GetWideString(), separator.Length());
  auto for_each_piece = [&](auto&& visit) {
    if (sep.empty()) {
      if (!text.empty()) visit(text);
      return;
    }
    std::size_t begin = 0;
    for (std::size_t at = find_separator(text, sep, 0); at < text.size();
         at = find_separator(text, sep, begin)) {
      if (at > begin) visit(std::wstring_view(text.data() + begin, at - begin));
      begin = at + sep.size();
    }
    if (begin < text.size()) visit(std::wstring_view(text.data() + begin, text.size() - begin));
  };
  std::size_t count = 0;
  for_each_piece([&count](std::wstring_view) { ++count; });
  if (count == 0) return pieces;
  or_refused("Split", [&] {
    pieces.rep_ = CStringArray::Rep::make_filled(count, [&](CStringArray::Rep& block) {
      for_each_piece([&block](std::wstring_view piece) { block.add(piece); });
    });
  });
  return pieces;
}

// ---- CValue ------------------------------------------------------------------------------

CValue::CValue() : type_(siEmpty), number_{} {}
CValue::CValue(bool value) : type_(siBool), number_{} { number_.boolean = value; }
CValue::CValue(int value) : type_(siInt4), number_{} { number_.integer = value; }
CValue::CValue(long value) : type_(siInt4), number_{} {
  number_.integer = static_cast<std::int32_t>(std::clamp<long long>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}
CValue::CValue(float value) : type_(siFloat), number_{} { number_.real = value; }
CValue::CValue(const CString& value) : type_(siString), number_{}, text_(value) {}
CValue::CValue(const wchar_t* value) : type_(siString), number_{}, text_(value) {}
CValue::CValue(const CValue& other) = default;
CValue& CValue::operator=(const CValue& other) = default;
CValue::~CValue() = default;

CValue::DataType CValue::GetType() const { return type_; }

CValue::operator float() const {
  switch (type_) {
    case siBool:
      return number_.boolean ? 1.0f : 0.0f;
    case siInt4:
      return static_cast<float>(number_.integer);
    case siFloat:
      return number_.real;
    case siString:
      return or_refused("CValue", 0.0f, [&] {
        return number_text::read_float(std::wstring_view(text_.GetWideString(), text_.Length()));
      });
    case siEmpty:
      break;
  }
  return 0.0f;
}

CValue::operator long() const {
  switch (type_) {
    case siBool:
      return number_.boolean ? 1 : 0;
    case siInt4:
      return number_.integer;
    case siFloat:
      return number_text::truncate_to_int32(number_.real);
    case siString:
      return or_refused("CValue", 0L, [&] {
        return static_cast<long>(
            number_text::read_integer(std::wstring_view(text_.GetWideString(), text_.Length())));
      });
    case siEmpty:
      break;
  }
  return 0;
}

CValue::operator bool() const {
  switch (type_) {
    case siBool:
      return number_.boolean;
    case siInt4:
      return number_.integer != 0;
    case siFloat:
      return number_.real != 0.0f;
    case siString:
      return or_refused("CValue", false, [&] {
        const std::wstring_view text(text_.GetWideString(), text_.Length());
        return text == L"true" || number_text::read_float(text) != 0.0f;
      });
    case siEmpty:
      break;
  }
  return false;
}

}  // namespace XSI
