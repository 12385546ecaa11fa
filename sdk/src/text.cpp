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
#include "state.h"
#include "xsi_sdk.h"

namespace XSI {

using xsi_host::detail::or_refused;

struct CString::Rep {
  std::wstring text;
  mutable std::string narrow;
};

namespace {
const wchar_t kEmptyWide[1] = {0};
}  // namespace

// Texts share no storage; the empty text holds none at all. A text that cannot get its storage
// is the empty text, and the refusal is recorded.
CString::Rep* CString::make_rep(std::wstring_view text) {
  if (text.empty()) return nullptr;
  return or_refused("CString", static_cast<Rep*>(nullptr), [&] {
    return new Rep{std::wstring(text), {}};
  });
}

CString::CString() : rep_(nullptr) {}

CString::CString(const wchar_t* text) : rep_(text ? make_rep(std::wstring_view(text)) : nullptr) {}

CString::CString(const wchar_t* text, ULONG length)
    : rep_(text ? make_rep(std::wstring_view(text, length)) : nullptr) {}

CString::CString(const CValue& value) : rep_(nullptr) {
  wchar_t buffer[number_text::kMaxDigits];
  switch (value.GetType()) {
    case CValue::siEmpty:
      break;
    case CValue::siBool:
      rep_ = make_rep(static_cast<bool>(value) ? L"true" : L"false");
      break;
    case CValue::siInt4: {
      const auto length = number_text::format_integer(static_cast<long>(value), buffer);
      rep_ = make_rep(std::wstring_view(buffer, length));
      break;
    }
    case CValue::siFloat: {
      const auto length = number_text::format_float(static_cast<float>(value), buffer);
      rep_ = make_rep(std::wstring_view(buffer, length));
      break;
    }
    case CValue::siString:
      rep_ = make_rep(std::wstring_view(value.text_.GetWideString(), value.text_.Length()));
      break;
  }
}

CString::CString(const CString& other) : rep_(other.rep_ ? make_rep(other.rep_->text) : nullptr) {}

CString::CString(CString&& other) noexcept : rep_(std::exchange(other.rep_, nullptr)) {}

CString& CString::operator=(const CString& other) {
  if (this != &other) {
    CString copy(other);
    std::swap(rep_, copy.rep_);
  }
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  std::swap(rep_, other.rep_);
  return *this;
}

CString::~CString() { delete rep_; }

CString& CString::operator=(const char* narrow) {
  or_refused("CString", [&] {
    std::wstring wide;
    if (narrow) {
      const std::size_t length = std::strlen(narrow);
      wide.resize(length);
      for (std::size_t i = 0; i < length; ++i)
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
    }
    Rep* fresh = wide.empty() ? nullptr : new Rep{std::move(wide), {}};
    delete rep_;
    rep_ = fresh;
  });
  return *this;
}

CString CString::operator+(const CString& other) const {
  CString sum;
  or_refused("CString", [&] {
    std::wstring joined;
    joined.reserve(std::size_t{Length()} + other.Length());
    joined.append(GetWideString(), Length()).append(other.GetWideString(), other.Length());
    if (!joined.empty()) sum.rep_ = new Rep{std::move(joined), {}};
  });
  return sum;
}

CString& CString::operator+=(const CString& other) {
  if (!other.rep_) return *this;
  if (!rep_) return *this = other;
  or_refused("CString", [&] {
    rep_->text += other.rep_->text;
    rep_->narrow.clear();
  });
  return *this;
}

bool CString::operator==(const CString& other) const {
  return std::wstring_view(GetWideString(), Length()) ==
         std::wstring_view(other.GetWideString(), other.Length());
}

ULONG CString::Length() const { return rep_ ? static_cast<ULONG>(rep_->text.size()) : 0; }

bool CString::IsEmpty() const { return Length() == 0; }

const wchar_t* CString::GetWideString() const { return rep_ ? rep_->text.c_str() : kEmptyWide; }

const char* CString::GetAsciiString() const {
  if (!rep_) return "";
  return or_refused("GetAsciiString", static_cast<const char*>(nullptr), [&] {
    std::string& narrow = rep_->narrow;
    narrow.resize(rep_->text.size());
    std::transform(rep_->text.begin(), rep_->text.end(), narrow.begin(), [](wchar_t c) {
      const auto code = static_cast<std::make_unsigned_t<wchar_t>>(c);
      return code < 256 ? static_cast<char>(code) : '?';
    });
    return narrow.c_str();
  });
}

ULONG CString::FindString(const CString& sub, ULONG start) const {
  if (sub.IsEmpty() || start > Length()) return kNotFound;
  const std::wstring_view text(GetWideString(), Length());
  const std::size_t position =
      text.find(std::wstring_view(sub.GetWideString(), sub.Length()), start);
  return position == std::wstring_view::npos ? kNotFound : static_cast<ULONG>(position);
}

// ---- CStringArray ------------------------------------------------------------------------

// The empty array holds no storage; an array that cannot get it stays as it was.
struct CStringArray::Rep {
  std::vector<CString> items;
};

CStringArray::CStringArray() : rep_(nullptr) {}
CStringArray::CStringArray(const CStringArray& other) : rep_(nullptr) { *this = other; }
CStringArray& CStringArray::operator=(const CStringArray& other) {
  if (this == &other) return *this;
  or_refused("CStringArray", [&] {
    Rep* fresh = other.rep_ ? new Rep(*other.rep_) : nullptr;
    delete rep_;
    rep_ = fresh;
  });
  return *this;
}
CStringArray::~CStringArray() { delete rep_; }

long CStringArray::GetCount() const { return rep_ ? static_cast<long>(rep_->items.size()) : 0; }

const CString& CStringArray::operator[](long index) const {
  static const CString empty;  // immutable, so safe to share between threads
  if (!rep_ || index < 0 || static_cast<std::size_t>(index) >= rep_->items.size()) return empty;
  return rep_->items[static_cast<std::size_t>(index)];
}

void CStringArray::Add(const CString& text) {
  or_refused("CStringArray", [&] {
    if (!rep_) rep_ = new Rep;
    rep_->items.push_back(text);
  });
}

// The pieces, or no pieces at all when there is not the memory for every one of them.
CStringArray CString::Split(const CString& separator) const {
  CStringArray pieces;
  or_refused("Split", [&] {
    const std::wstring_view text(GetWideString(), Length());
    const std::wstring_view sep(separator.GetWideString(), separator.Length());
    auto rep = std::make_unique<CStringArray::Rep>();
    auto add = [&rep](std::wstring_view piece) {
      if (piece.empty()) return;
      CString& added = rep->items.emplace_back();
      added.rep_ = new Rep{std::wstring(piece), {}};
    };
    if (sep.empty()) {
      add(text);
    } else {
      std::size_t begin = 0;
      for (std::size_t at = text.find(sep); at != std::wstring_view::npos;
           at = text.find(sep, begin)) {
        add(text.substr(begin, at - begin));
        begin = at + sep.size();
      }
      add(text.substr(begin));
    }
    if (!rep->items.empty()) pieces.rep_ = rep.release();
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
