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

// Every byte of the file at path, read to its end, whatever it is (a pipe, a device, a FIFO);
// "PATH: cannot read file" when it cannot be opened or read, or is a folder.
std::string read_file(const std::string& path);

}  // namespace icehost
