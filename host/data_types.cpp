#include "data_types.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <variant>

#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using Json = nlohmann::json;
using XSI::ULONG;
using xsi_host::PortData;
using xsi_host::Value;

[[noreturn]] void refuse(const std::string& shown, std::string_view why, std::string_view port) {
  throw UsageError(shown + " " + std::string(why) + " for port " + std::string(port));
}

[[noreturn]] void refuse_type(const std::string& shown, std::string_view words,
                              std::string_view port) {
  refuse(shown, "is not " + std::string(words), port);
}

// What a value holds as T: the text, or any number or boolean converted; T's zero otherwise.
template <class T>
T held(const Value& value) {
  if constexpr (std::is_same_v<T, std::wstring>) {
    const auto* text = std::get_if<std::wstring>(&value);
    return text ? *text : std::wstring();
  } else {
    return std::visit(
        [](const auto& v) -> T {
          if constexpr (std::is_arithmetic_v<std::decay_t<decltype(v)>>)
            return static_cast<T>(v);
          else
            return T{};
        },
        value);
  }
}

// A registered default of exactly type T, or empty.
template <class T>
Value exactly(const Value& value) {
  if (const auto* held = std::get_if<T>(&value)) return *held;
  return {};
}

// A registered default of any numeric type, converted to T, or empty.
template <class T>
Value converted(const Value& value) {
  return std::visit(
      [](const auto& v) -> Value {
        if constexpr (std::is_arithmetic_v<std::decay_t<decltype(v)>>)
          return static_cast<T>(v);
        else
          return {};
      },
      value);
}

template <class T>
void store_as(PortData& data, ULONG element, const std::vector<Value>& values) {
  std::vector<T> items;
  items.reserve(values.size());
  for (const Value& value : values) items.push_back(held<T>(value));
  const bool array = data.structure() == XSI::siICENodeStructureArray;
  const T one = items.empty() ? T{} : T(items.front());
  if constexpr (std::is_same_v<T, bool>)
    array ? data.set_booleans(element, items) : data.set_boolean(element, one);
  else if constexpr (std::is_same_v<T, std::int32_t>)
    array ? data.set_integers(element, items) : data.set_integer(element, one);
  else if constexpr (std::is_same_v<T, float>)
    array ? data.set_floats(element, items) : data.set_float(element, one);
  else
    array ? data.set_texts(element, items) : data.set_text(element, one);
}

constexpr std::string_view kBooleanWords = "a boolean (true or false)";
constexpr std::string_view kIntegerWords = "a 32-bit integer";
constexpr std::string_view kFloatWords = "a 32-bit float";
constexpr std::string_view kTextWords = "a text";

Value text_from_text(std::string_view text, std::string_view port) {
  if (auto wide = utf8_to_wide(text)) return std::move(*wide);
  throw UsageError("the value for port " + std::string(port) + " is not valid UTF-8");
}

Value text_from_json(const Json& json, std::string_view port) {
  if (json.is_string())
    if (auto wide = with_lone_surrogates(json.get_ref<const std::string&>())) return *wide;
  refuse_type(json_shown(json), kTextWords, port);
}

Value boolean_from_text(std::string_view text, std::string_view port) {
  if (text == "true" || text == "false") return text == "true";
  refuse_type(in_quotes(text), kBooleanWords, port);
}

Value boolean_from_json(const Json& json, std::string_view port) {
  if (!json.is_boolean()) refuse_type(json_shown(json), kBooleanWords, port);
  return json.get<bool>();
}

Value integer_from_text(std::string_view text, std::string_view port) {
  if (const auto number = read_number<std::int32_t>(text)) return *number;
  refuse_type(in_quotes(text), kIntegerWords, port);
}

Value integer_from_json(const Json& json, std::string_view port) {
  constexpr std::int64_t kLeast = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMost = std::numeric_limits<std::int32_t>::max();
  if (json.is_number_unsigned() && json.get<std::uint64_t>() <= kMost)
    return static_cast<std::int32_t>(json.get<std::uint64_t>());
  if (json.is_number_integer() && !json.is_number_unsigned() && json.get<std::int64_t>() >= kLeast)
    return static_cast<std::int32_t>(json.get<std::int64_t>());
  refuse_type(json_shown(json), kIntegerWords, port);
}

constexpr std::string_view kBeyondFloats = "is out of the 32-bit float's range";

// Whether a number std::from_chars found beyond a float's range is too large rather than too
// small: the sign of its decimal exponent, the digits before the point counted in.
bool too_large(std::string_view number) {
  const std::size_t e = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, e);
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = number.substr(e + 1);
    if (digits.starts_with('+')) digits.remove_prefix(1);
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
    if (error == std::errc::result_out_of_range) return !digits.starts_with('-');
  }
  const auto point = static_cast<long long>(std::min(mantissa.find('.'), mantissa.size()));
  const auto first = static_cast<long long>(mantissa.find_first_of("123456789"));
  return exponent + (first < point ? point - first : point + 1 - first) > 0;
}

// A number rounded to the nearest float, a tiny one to zero; one that would round to infinity
// is refused.
Value float_from_text(std::string_view text, std::string_view port) {
  std::errc error{};
  if (const auto number = read_number<float>(text, &error)) return *number;
  if (error != std::errc::result_out_of_range) refuse_type(in_quotes(text), kFloatWords, port);
  if (too_large(text)) refuse(in_quotes(text), kBeyondFloats, port);
  return text.starts_with('-') ? -0.0f : 0.0f;
}

Value float_from_json(const Json& json, std::string_view port) {
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  if (json == "nan") return std::numeric_limits<float>::quiet_NaN();
  if (json == "inf") return kInfinity;
  if (json == "-inf") return -kInfinity;
  if (!json.is_number()) refuse_type(json_shown(json), kFloatWords, port);
  // Below the largest float and half its last place, a number rounds to a finite float.
  const double number = json.get<double>();
  if (!(std::fabs(number) < std::numeric_limits<float>::max() + std::ldexp(1.0, 103)))
    refuse(json_shown(json), kBeyondFloats, port);
  return static_cast<float>(number);
}

Value text_decoy(const Value& value, std::wstring_view port) {
  return L"\u2260" + std::wstring(port) + L" " + held<std::wstring>(value);
}
Value boolean_decoy(const Value& value, std::wstring_view) { return !held<bool>(value); }
Value integer_decoy(const Value& value, std::wstring_view) {
  return static_cast<std::int32_t>(~held<std::int32_t>(value));
}
Value float_decoy(const Value& value, std::wstring_view) {
  const float number = held<float>(value);
  return number == 0.0f || std::isnan(number) ? 1.0f : -number;
}

const DataType kTypes[4] = {
    {XSI::siICENodeDataBool, "boolean", kBooleanWords, "booleans", boolean_from_text,
     boolean_from_json, exactly<bool>, boolean_decoy, store_as<bool>},
    {XSI::siICENodeDataLong, "integer", kIntegerWords, "32-bit integers", integer_from_text,
     integer_from_json, converted<std::int32_t>, integer_decoy, store_as<std::int32_t>},
    {XSI::siICENodeDataFloat, "float", kFloatWords, "32-bit floats", float_from_text,
     float_from_json, converted<float>, float_decoy, store_as<float>},
    {XSI::siICENodeDataString, "text", kTextWords, "texts", text_from_text, text_from_json,
     exactly<std::wstring>, text_decoy, store_as<std::wstring>},
};

}  // namespace

const DataType* data_type(ULONG code) {
  for (const DataType& type : kTypes)
    if (type.code == code) return &type;
  return nullptr;
}

std::string json_shown(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string data_type_name(ULONG code) {
  const DataType* type = data_type(code);
  return type ? std::string(type->name) : "type " + std::to_string(code);
}

}  // namespace icehost
