// The values of icehost's options that need no plug-in to read: the index set, and a file's
// bytes. Each throws UsageError with the one line icehost prints when a value does not read.
#pragma once

#include <string>
#include <string_view>

#include "evaluation_setup.h"

namespace icehost {

// The elements an evaluation walks, as --index gives them: range:C, list:5,-,2 ('-' a hole) or
// bits:1011. Whether the elements exist is checked against the element count later.
IndexChoice parse_index(std::string_view text);

// The bytes of the file at path; "PATH: cannot read file" when it is no regular file or cannot
// be read.
std::string read_file(const std::string& path);

}  // namespace icehost
