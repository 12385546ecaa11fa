// Texts and arrays of texts: CString and CStringArray, on the standard library's containers.
// An operation that cannot get the memory it needs records the refusal and leaves an empty text
// or array, never half of one.
#include <algorithm>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "number_text/number_text.h"
#include "refusal.h"
#include "xsi_sdk.h"

namespace XSI {

using xsi_host::detail::or_refused;

namespace {

// The narrow form of a character: itself below 256, '?' otherwise.
char narrowed(wchar_t c) {
  const auto code = static_cast<std::make_unsigned_t<wchar_t>>(c);
  return code < 256 ? static_cast<char>(code) : '?';
}

}  // namespace

CString CString::copy_of(std::wstring_view chars) {
  CString copy;
  copy.text_.assign(chars);
  return copy;
}

void CString::assign(std::wstring_view chars) noexcept {
  narrow_.clear();
  text_.clear();
  or_refused("CString", [&] { text_.assign(chars); });
}

CString::CString() {}

CString::CString(const wchar_t* text) {
  if (text) assign(text);
}

CString::CString(const wchar_t* text, ULONG length) {
  if (text) assign({text, length});
}

CString::CString(const CValue& value) {
  wchar_t buffer[number_text::kMaxDigits];
  switch (value.GetType()) {
    case CValue::siEmpty:
      break;
    case CValue::siBool:
      assign(static_cast<bool>(value) ? L"true" : L"false");
      break;
    case CValue::siInt4:
      assign({buffer, number_text::format_integer(static_cast<long>(value), buffer)});
      break;
    case CValue::siFloat:
      assign({buffer, number_text::format_float(static_cast<float>(value), buffer)});
      break;
    case CValue::siString:
      assign(value.text_.text_);
      break;
  }
}

CString::CString(const CString& other) { assign(other.text_); }

CString::CString(CString&& other) noexcept
    : text_(std::move(other.text_)), narrow_(std::move(other.narrow_)) {
  other.text_.clear();
  other.narrow_.clear();
}

CString& CString::operator=(const CString& other) {
  if (this != &other) assign(other.text_);
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this == &other) return *this;
  text_ = std::move(other.text_);
  narrow_ = std::move(other.narrow_);
  other.text_.clear();
  other.narrow_.clear();
  return *this;
}

CString::~CString() {}

CString& CString::operator=(const char* narrow) {
  or_refused("CString", [&] {
    const std::string_view bytes = narrow ? narrow : "";
    std::wstring wide(bytes.size(), L'\0');
    std::transform(bytes.begin(), bytes.end(), wide.begin(),
                   [](char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); });
    text_ = std::move(wide);
    narrow_.clear();
  });
  return *this;
}

CString CString::operator+(const CString& other) const {
  CString sum;
  or_refused("CString", [&] { sum.text_ = text_ + other.text_; });
  return sum;
}

CString& CString::operator+=(const CString& other) {
  if (!other.IsEmpty()) *this = *this + other;
  return *this;
}

bool CString::operator==(const CString& other) const { return text_ == other.text_; }

ULONG CString::Length() const { return static_cast<ULONG>(text_.size()); }

bool CString::IsEmpty() const { return text_.empty(); }

const wchar_t* CString::GetWideString() const { return text_.c_str(); }

// The narrow form is made when first asked for after a change, and kept until the next one.
const char* CString::GetAsciiString() const {
  return or_refused("GetAsciiString", static_cast<const char*>(nullptr), [&] {
    if (narrow_.size() != text_.size()) {
      narrow_.resize(text_.size());
      std::transform(text_.begin(), text_.end(), narrow_.begin(), narrowed);
    }
    return narrow_.c_str();
  });
}

ULONG CString::FindString(const CString& sub, ULONG start) const {
  if (sub.IsEmpty() || start > Length()) return kNotFound;
  const std::size_t position = text_.find(sub.text_, start);
  return position == std::wstring::npos ? kNotFound : static_cast<ULONG>(position);
}

// Every piece, or none when there is not the memory for every one of them.
CStringArray CString::Split(const CString& separator) const {
  CStringArray pieces;
  or_refused("Split", [&] {
    std::vector<CString> found;
    const std::wstring_view text = text_;
    auto add = [&](std::size_t begin, std::size_t end) {
      if (end > begin) found.push_back(copy_of(text.substr(begin, end - begin)));
    };
    std::size_t begin = 0;
    if (!separator.IsEmpty()) {
      for (std::size_t at = text.find(separator.text_); at != std::wstring_view::npos;
           at = text.find(separator.text_, begin)) {
        add(begin, at);
        begin = at + separator.text_.size();
      }
    }
    add(begin, text.size());
    pieces.items_ = std::move(found);
  });
  return pieces;
}

// ---- CStringArray ------------------------------------------------------------------------

CStringArray::CStringArray() {}

CStringArray::CStringArray(const CStringArray& other) { *this = other; }

// An array that cannot get the storage for every text stays as it was.
CStringArray& CStringArray::operator=(const CStringArray& other) {
  if (this == &other) return *this;
  or_refused("CStringArray", [&] {
    std::vector<CString> copy;
    copy.reserve(other.items_.size());
    for (const CString& item : other.items_) copy.push_back(CString::copy_of(item.text_));
    items_ = std::move(copy);
  });
  return *this;
}

CStringArray::~CStringArray() {}

long CStringArray::GetCount() const { return static_cast<long>(items_.size()); }

const CString& CStringArray::operator[](long index) const {
  static const CString empty;  // immutable, so safe to share between threads
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return empty;
  return items_[static_cast<std::size_t>(index)];
}

// A text that cannot get its storage is not added.
void CStringArray::Add(const CString& text) {
  or_refused("CStringArray", [&] { items_.push_back(CString::copy_of(text.text_)); });
}

}  // namespace XSI
