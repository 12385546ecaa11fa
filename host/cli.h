// icehost, the embedded host on the command line: shows what a node plug-in registers, evaluates
// it with chosen inputs, and runs every plug-in found with its defaults.
#pragma once

#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "xsi_host.h"

namespace icehost {

// Exit codes of run.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFaults = 1;    // the plug-in failed or misused the SDK; faults listed
inline constexpr int kExitBadInput = 2;  // one line on err, nothing on out

// Runs one command line. args are the arguments after the program name, in UTF-8. Results go
// to out; bad input gives one line on err beginning "icehost: ", kExitBadInput, and nothing on
// out. Never throws.
int run(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// Bad input on the command line; its message is the one line icehost prints for it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The VALUE of --set PORT=VALUE in the port's data type: the text itself (UTF-8) for a text
// port, true or false for a boolean port, a number read in full by std::from_chars (one leading
// '+' allowed; inf, -inf and nan for a float; 32 bits for an integer) for a numeric port. For an
// array port, the comma-separated items; an empty VALUE is no items. Throws UsageError, naming
// the port, when VALUE does not parse.
std::vector<xsi_host::Value> parse_port_value(const xsi_host::PortRecord& port,
                                              std::string_view text);

}  // namespace icehost
