// The four data types a port holds, one row each, with all the host does with a value of one:
// its name and the words messages use, reading it from a command-line word or from JSON, taking
// a registered default, the decoy of a constant input, and storing it in a port. Every switch
// over data types is a look-up here.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <vector>

#include "xsi_host.h"

namespace icehost {

struct DataType {
  XSI::ULONG code;          // XSI::siICENodeDataBool, ...
  std::string_view name;    // "boolean", as info shows it
  std::string_view words;   // one value, as messages say it: "a boolean (true or false)"
  std::string_view plural;  // an array's items: "booleans"

  // One value from a command-line word, or from a JSON value. Throws UsageError, naming port,
  // for a value not of the type, or a number beyond its range.
  xsi_host::Value (*from_text)(std::string_view text, std::string_view port);
  xsi_host::Value (*from_json)(const nlohmann::json& json, std::string_view port);
  // A registered default in this type; empty when it does not fit.
  xsi_host::Value (*from_default)(const xsi_host::Value& value);
  // A value unlike value, and unlike the decoy of any other port (port is its name): what a
  // constant input holds past element 0.
  xsi_host::Value (*decoy)(const xsi_host::Value& value, std::wstring_view port);
  // Stores values in element: the first of them for a one-value port, all as the items of an
  // array port; a value of another type stored as the type's zero.
  void (*store)(xsi_host::PortData& data, XSI::ULONG element,
                const std::vector<xsi_host::Value>& values);
};

// The row of a data type code; null for none of the four.
const DataType* data_type(XSI::ULONG code);

// "boolean", "integer", "float", "text"; any other as "type N".
std::string data_type_name(XSI::ULONG code);

// A JSON value as messages show it, on one line.
std::string json_shown(const nlohmann::json& json);

// A whole text read as a number by std::from_chars (one leading '+' allowed), or nothing;
// error, if given, says why (result_out_of_range: a number, beyond T's range).
template <class T>
std::optional<T> read_number(std::string_view text, std::errc* error = nullptr) {
  if (error) *error = std::errc::invalid_argument;
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('+') || text.starts_with('-')) return std::nullopt;
  }
  T value{};
  const char* end = text.data() + text.size();
  std::from_chars_result result{};
  if constexpr (std::is_floating_point_v<T>)
    result = std::from_chars(text.data(), end, value, std::chars_format::general);
  else
    result = std::from_chars(text.data(), end, value);
  const bool whole = !text.empty() && result.ptr == end;
  if (error) *error = whole ? result.ec : std::errc::invalid_argument;
  if (!whole || result.ec != std::errc()) return std::nullopt;
  return value;
}

}  // namespace icehost
