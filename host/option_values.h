// The values icehost's options take, read strictly into plain values: counts, the index set,
// and the VALUE of --set PORT=VALUE or the file of --set-file PORT=PATH in the port's data type.
// Each throws UsageError with the one line icehost prints when a value does not parse.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation_setup.h"
#include "xsi_host.h"

namespace icehost {

// An unsigned 32-bit number in full decimal, one leading '+' allowed ("12", "+3"); nothing for
// any other text.
std::optional<XSI::ULONG> parse_unsigned(std::string_view text);

// The bytes of the file at path; throws UsageError ("PATH: cannot read file") when it is no
// regular file or cannot be read.
std::string read_file(const std::string& path);

// A count in full decimal, one leading '+' allowed ("12", "+3"); option names the option in the
// message: "--elements takes a count, not 'ten'".
XSI::ULONG parse_count(std::string_view text, std::string_view option);

// The elements an evaluation walks, as --index gives them.
// range:C, list:5,-,2 ('-' is a hole) or bits:1011. Whether the elements exist is checked
// against the element count once the plug-in is loaded.
IndexChoice parse_index(std::string_view text);

// The VALUE of --set PORT=VALUE in the port's data type: the text itself (UTF-8) for a text
// port, true or false for a boolean port, a number read in full by std::from_chars (one leading
// '+' allowed; inf, -inf and nan for a float; 32 bits for an integer) for a numeric port. For an
// array port, the comma-separated items; an empty VALUE is no items. Throws UsageError, naming
// the port, when VALUE does not parse.
std::vector<xsi_host::Value> parse_port_value(const xsi_host::PortRecord& port,
                                              std::string_view text);

// The file of --set-file PORT=PATH for a text port: the whole file as it stands, or one item a
// line (a CR before the line break dropped) for a text array port. Throws UsageError when the
// port is not a text port, the file cannot be read, or it is not UTF-8.
std::vector<xsi_host::Value> parse_port_file(const xsi_host::PortRecord& port,
                                             const std::string& path);

}  // namespace icehost
