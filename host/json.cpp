#include "json.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>

#include "number_text/number_text.h"

namespace icehost {
namespace {

using Json = nlohmann::ordered_json;

void write(const Json& value, std::string& out) {
  switch (value.type()) {
    case Json::value_t::object: {
      out += '{';
      for (auto member = value.begin(); member != value.end(); ++member) {
        if (member != value.begin()) out += ", ";
        out += json_quote(member.key());
        out += ": ";
        write(member.value(), out);
      }
      out += '}';
      break;
    }
    case Json::value_t::array: {
      out += '[';
      for (auto item = value.begin(); item != value.end(); ++item) {
        if (item != value.begin()) out += ", ";
        write(*item, out);
      }
      out += ']';
      break;
    }
    case Json::value_t::string:
      out += json_quote(value.get_ref<const std::string&>());
      break;
    case Json::value_t::boolean:
      out += value.get<bool>() ? "true" : "false";
      break;
    case Json::value_t::number_integer:
      out += std::to_string(value.get<std::int64_t>());
      break;
    case Json::value_t::number_unsigned:
      out += std::to_string(value.get<std::uint64_t>());
      break;
    case Json::value_t::number_float: {
      const auto number = static_cast<float>(value.get<double>());
      char buffer[number_text::kMaxDigits];
      const std::string text(buffer, number_text::format_float(number, buffer));
      out += std::isfinite(number) ? text : json_quote(text);
      break;
    }
    default:  // null; binary and discarded values are never built
      out += "null";
      break;
  }
}

}  // namespace

std::string json_quote(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(utf8.size() + 2);
  out.push_back('"');
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const auto byte = static_cast<unsigned char>(c);
    const auto at = [&](std::size_t k) {
      return k < utf8.size() ? static_cast<unsigned char>(utf8[k]) : 0u;
    };
    if (byte == 0xED && at(i + 1) >= 0xA0 && at(i + 1) <= 0xBF && (at(i + 2) & 0xC0) == 0x80) {
      // A lone surrogate as wide_to_wtf8 keeps it: the escape of its value.
      const unsigned code = 0xD000 | (at(i + 1) & 0x3F) << 6 | (at(i + 2) & 0x3F);
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(code >> shift) & 0xF]);
      i += 2;
    } else if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\u00";
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0xF]);
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
  return out;
}

std::string json_text(const Json& document) {
  std::string out;
  write(document, out);
  return out;
}

}  // namespace icehost
