// Writing JSON: the pieces icehost's --json output is assembled from.
#pragma once

#include <string>
#include <string_view>

namespace icehost {

// A JSON string literal of UTF-8 text: quote and backslash escaped, every control character
// (U+0000 to U+001F and U+007F) as \u00XX, everything else, non-ASCII included, as it stands.
std::string json_quote(std::string_view utf8);

// The shortest decimal that reads back to the same 32-bit float ("1.36", "-0", "1e+20"); the
// non-finite values as "inf", "-inf" and "nan", without quotes.
std::string float_text(float value);

}  // namespace icehost
