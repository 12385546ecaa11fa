#include "option_values.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "data_types.h"
#include "usage_error.h"

namespace icehost {

using XSI::ULONG;

std::string read_file(const std::string& path) {
  const std::filesystem::path file(path);
  std::error_code error;
  if (std::filesystem::is_directory(file, error))
    throw UsageError(path + ": cannot read file: it is a folder");
  std::ifstream in(file, std::ios::binary);
  std::string bytes;
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) throw UsageError(path + ": cannot read file");
  return bytes;
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
    const auto count = read_number<ULONG>(body);
    if (!count) throw UsageError("--index range: takes a count, not " + in_quotes(body));
    choice.range_count = *count;
  } else if (form == "list") {
    choice.form = IndexChoice::Form::list;
    for (const std::string_view entry : split_commas(body)) {
      const auto index = entry == "-" ? std::optional(XSI::kNotFound) : read_number<ULONG>(entry);
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

}  // namespace icehost
