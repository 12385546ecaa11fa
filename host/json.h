// Writing JSON as icehost prints it. Documents are built as nlohmann::ordered_json, which keeps
// members in the order they were added; json_text lays them out on one line.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

namespace icehost {

// A JSON string literal of UTF-8 text: quote and backslash escaped, every control character
// (U+0000 to U+001F and U+007F) as \u00XX, a lone surrogate (WTF-8's three bytes, as
// wide_to_wtf8 keeps it) as \udXXX, everything else, non-ASCII included, as it stands.
std::string json_quote(std::string_view utf8);

// The document on one line: {"key": value, "key": value}, [item, item]. Strings as json_quote
// writes them, bytes that are not UTF-8 (a file name may hold any) passed on unchanged; integers
// in plain decimal; floating-point numbers, which icehost only ever holds from 32-bit floats, as
// the shortest text that reads back to the same 32-bit float ("1.36", "-0", "1e+20"), and the
// non-finite ones, for which JSON has no number, as the strings "inf", "-inf" and "nan".
std::string json_text(const nlohmann::ordered_json& document);

}  // namespace icehost
