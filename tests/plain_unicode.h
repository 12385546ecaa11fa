// Unicode's simple case mappings and White_Space set read from the Unicode Character Database's
// own files, line by line: the plain reference that text_unicode's generated tables are checked
// against, sharing nothing with them or the script that makes them. A wide character without a
// mapping maps to itself, values past U+10FFFF and negative ones included.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

namespace tests {

class PlainUnicode {
 public:
  // Reads UnicodeData.txt and PropList.txt in folder; throws when either is missing.
  explicit PlainUnicode(const std::string& folder) {
    std::ifstream data(folder + "/UnicodeData.txt"), properties(folder + "/PropList.txt");
    if (!data || !properties)
      throw std::runtime_error("no Unicode Character Database in " + folder);
    const auto hex = [](const std::string& text) { return std::stoul(text, nullptr, 16); };
    for (std::string line; std::getline(data, line);) {
      std::string field[14];  // 0 the code, 12 its upper case, 13 its lower case
      std::istringstream fields(line);
      for (std::string& f : field) std::getline(fields, f, ';');
      if (!field[12].empty()) upper_[hex(field[0])] = hex(field[12]);
      if (!field[13].empty()) lower_[hex(field[0])] = hex(field[13]);
    }
    for (std::string line; std::getline(properties, line);) {
      if (line.starts_with('#') || line.find("; White_Space ") == std::string::npos) continue;
      const std::size_t dots = line.find("..");  // a range "first..last", or one code
      const auto last = dots < line.find(';') ? hex(line.substr(dots + 2)) : hex(line);
      for (auto code = hex(line); code <= last; ++code) white_space_.insert(code);
    }
  }

  char32_t to_lower(char32_t code) const { return mapped(lower_, code); }
  char32_t to_upper(char32_t code) const { return mapped(upper_, code); }
  bool is_white_space(char32_t code) const { return white_space_.count(code) != 0; }
  // A wide character as the code it holds.
  wchar_t to_lower(wchar_t c) const { return static_cast<wchar_t>(to_lower(code_of(c))); }
  wchar_t to_upper(wchar_t c) const { return static_cast<wchar_t>(to_upper(code_of(c))); }
  bool is_white_space(wchar_t c) const { return is_white_space(code_of(c)); }

 private:
  static char32_t code_of(wchar_t c) { return static_cast<std::uint32_t>(c); }
  static char32_t mapped(const std::map<unsigned long, unsigned long>& mapping, char32_t code) {
    const auto found = mapping.find(code);
    return found == mapping.end() ? code : static_cast<char32_t>(found->second);
  }

  std::map<unsigned long, unsigned long> lower_, upper_;
  std::set<unsigned long> white_space_;
};

}  // namespace tests
