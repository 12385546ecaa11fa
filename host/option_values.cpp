#include "option_values.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <type_traits>
#include <utility>

#include "type_names.h"
#include "usage_error.h"
#include "utf8.h"

namespace icehost {
namespace {

using XSI::ULONG;
using xsi_host::PortRecord;
using xsi_host::Value;

// The pieces between commas; no text at all is no pieces.
std::vector<std::string_view> split_commas(std::string_view text) {
  std::vector<std::string_view> pieces;
  if (text.empty()) return pieces;
  std::size_t begin = 0;
  while (true) {
    const std::size_t comma = text.find(',', begin);
    pieces.push_back(text.substr(begin, comma == std::string_view::npos ? comma : comma - begin));
    if (comma == std::string_view::npos) return pieces;
    begin = comma + 1;
  }
}

// A number in full, as std::from_chars reads it, with one optional leading '+'.
template <class T>
std::optional<T> parse_number(std::string_view text) {
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  T value{};
  const char* end = text.data() + text.size();
  std::from_chars_result result{};
  if constexpr (std::is_floating_point_v<T>)
    result = std::from_chars(text.data(), end, value, std::chars_format::general);
  else
    result = std::from_chars(text.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
  return value;
}

Value parse_item(const PortRecord& port, std::string_view text) {
  const std::string name = wide_to_utf8(port.name);
  switch (port.data_type) {
    case XSI::siICENodeDataString: {
      auto wide = utf8_to_wide(text);
      if (!wide) throw UsageError("the value for port " + name + " is not valid UTF-8");
      return std::move(*wide);
    }
    case XSI::siICENodeDataBool:
      if (text == "true") return true;
      if (text == "false") return false;
      throw UsageError(in_quotes(text) + " is not a boolean (true or false) for port " + name);
    case XSI::siICENodeDataLong:
      if (const auto number = parse_number<std::int32_t>(text)) return *number;
      throw UsageError(in_quotes(text) + " is not a 32-bit integer for port " + name);
    case XSI::siICENodeDataFloat:
      if (const auto number = parse_number<float>(text)) return *number;
      throw UsageError(in_quotes(text) + " is not a float for port " + name);
    default:
      throw UsageError("port " + name + " has data type " + std::to_string(port.data_type) +
                       ", which icehost cannot set");
  }
}

}  // namespace

std::optional<ULONG> parse_unsigned(std::string_view text) { return parse_number<ULONG>(text); }

std::string read_file(const std::string& path) {
  std::error_code error;
  const std::filesystem::path file(path);
  if (!std::filesystem::is_regular_file(file, error)) throw UsageError(path + ": cannot read file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw UsageError(path + ": cannot read file");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ULONG parse_count(std::string_view text, std::string_view option) {
  const auto count = parse_unsigned(text);
  if (!count) throw UsageError(std::string(option) + " takes a count, not " + in_quotes(text));
  return *count;
}

IndexChoice parse_index(std::string_view text) {
  IndexChoice choice;
  const std::size_t colon = text.find(':');
  const std::string_view form = text.substr(0, colon);
  const std::string_view body =
      colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
  if (colon == std::string_view::npos || (form != "range" && form != "list" && form != "bits"))
    throw UsageError("unknown index form " + in_quotes(text) +
                     " (use range:C, list:5,-,2 or bits:1011)");
  if (form == "range") {
    const auto count = parse_number<ULONG>(body);
    if (!count) throw UsageError("--index range: takes a count, not " + in_quotes(body));
    choice.range_count = *count;
  } else if (form == "list") {
    choice.form = IndexChoice::Form::list;
    for (const std::string_view entry : split_commas(body)) {
      const auto index =
          entry == "-" ? std::optional<ULONG>(XSI::kNotFound) : parse_number<ULONG>(entry);
      if (!index || (entry != "-" && *index == XSI::kNotFound))
        throw UsageError("--index list: entry " + in_quotes(entry) + " is neither an index nor -");
      choice.list.push_back(*index);
    }
  } else {
    choice.form = IndexChoice::Form::bits;
    for (const char bit : body) {
      if (bit != '0' && bit != '1')
        throw UsageError("--index bits: takes only 0 and 1, not " + in_quotes(body));
      choice.bits.push_back(bit == '1');
    }
  }
  return choice;
}

std::vector<Value> parse_port_value(const PortRecord& port, std::string_view text) {
  if (port.structure != XSI::siICENodeStructureArray) return {parse_item(port, text)};
  std::vector<Value> items;
  for (const std::string_view piece : split_commas(text)) items.push_back(parse_item(port, piece));
  return items;
}

std::vector<Value> parse_port_file(const PortRecord& port, const std::string& path) {
  if (port.data_type != XSI::siICENodeDataString)
    throw UsageError("--set-file takes a text port; " + wide_to_utf8(port.name) + " is " +
                     data_type_name(port.data_type));
  const std::string bytes = read_file(path);
  if (port.structure != XSI::siICENodeStructureArray) return {parse_item(port, bytes)};
  std::vector<Value> items;
  std::size_t begin = 0;
  while (begin < bytes.size()) {
    std::size_t end = bytes.find('\n', begin);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    items.push_back(parse_item(port, line));
    begin = end + 1;
  }
  return items;
}

}  // namespace icehost
