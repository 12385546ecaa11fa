// Unicode's simple case mappings and White_Space set read at start-up from the Unicode
// Character Database's own files, line by line: the plain reference that text_unicode's
// generated tables are checked against, sharing nothing with them or the script that makes
// them. Every wide character without a mapping maps to itself, values past U+10FFFF and
// negative ones included.
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
    std::string line;
    for (std::ifstream data = open(folder + "/UnicodeData.txt"); std::getline(data, line);) {
      std::string field[15];
      std::istringstream fields(line);
      for (std::string& f : field) std::getline(fields, f, ';');
      const std::uint32_t code = std::stoul(field[0], nullptr, 16);
      if (!field[12].empty()) upper_[code] = std::stoul(field[12], nullptr, 16);
      if (!field[13].empty()) lower_[code] = std::stoul(field[13], nullptr, 16);
    }
    for (std::ifstream data = open(folder + "/PropList.txt"); std::getline(data, line);) {
      const std::size_t property = line.find("; White_Space ");
      if (property == std::string::npos || line[0] == '#') continue;
      const std::uint32_t first = std::stoul(line, nullptr, 16);
      const std::size_t dots = line.find("..");
      const std::uint32_t last =
          dots < property ? std::stoul(line.substr(dots + 2), nullptr, 16) : first;
      for (std::uint32_t code = first; code <= last; ++code) white_space_.insert(code);
    }
  }

  wchar_t to_lower(wchar_t c) const { return mapped(lower_, c); }
  wchar_t to_upper(wchar_t c) const { return mapped(upper_, c); }
  bool is_white_space(wchar_t c) const {
    return white_space_.count(static_cast<std::uint32_t>(c)) != 0;
  }

 private:
  static std::ifstream open(const std::string& path) {
    std::ifstream file(path);
    if (!file) throw std::runtime_error("cannot read " + path);
    return file;
  }
  static wchar_t mapped(const std::map<std::uint32_t, std::uint32_t>& mapping, wchar_t c) {
    const auto found = mapping.find(static_cast<std::uint32_t>(c));
    return found == mapping.end() ? c : static_cast<wchar_t>(found->second);
  }

  std::map<std::uint32_t, std::uint32_t> lower_, upper_;
  std::set<std::uint32_t> white_space_;
};

}  // namespace tests
