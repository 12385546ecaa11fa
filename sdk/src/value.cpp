// CValue: a variant value, and numbers read from its text.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

#include "number_text/number_text.h"
#include "refusal.h"
#include "xsi_sdk.h"

namespace XSI {

using xsi_host::detail::or_refused;

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
