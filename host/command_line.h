// icehost's command line read into plain structs: which command, with which options. Reading
// checks only what the line itself shows; what depends on the plug-in (its ports, its element
// count) is checked once it is loaded (eval_plan.h).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "evaluation.h"
#include "xsi_host.h"

namespace icehost {

// --help or -h, for the whole program or one command: the usage text to print.
struct HelpRequest {
  std::string_view usage;
};

struct InfoOptions {
  std::string plugin;  // a path or a node name
  bool json = false;
};

// One --set, --set-file or --set-constant as given; resolved against the node's ports once it is
// loaded.
struct SetArgument {
  std::string text;  // PORT=VALUE or PORT=PATH
  bool from_file = false;
  bool constant = false;  // --set-constant: the port handed over as one value for every element
};

struct EvalOptions {
  std::string plugin;  // a path or a node name
  bool json = false;
  std::vector<SetArgument> settings;  // in the order given: a later setting wins
  XSI::ULONG element_count = kDefaultElements;
  IndexChoice index;
  std::optional<XSI::ULONG> port;  // nothing for the node's (first) output
  bool strict_host = false;        // the stand-in's unforgiving mode
};

struct DemoOptions {};

struct CheckOptions {
  std::string plugin;                   // a path or a node name
  std::vector<std::string> case_files;  // one at least
};

using CommandLine = std::variant<HelpRequest, InfoOptions, EvalOptions, DemoOptions, CheckOptions>;

// Reads the arguments after the program name. An argument beginning with '-' is an option, and
// only the names the command lists are known: no -abc, no "--". An option that takes a value
// takes the next argument, whatever it is, or the text after '=' (--set=PORT=VALUE,
// --elements=); a flag takes none (--json=true is refused). The first problem in the order given
// is the one reported, as a UsageError; a help option reached before any problem wins.
CommandLine parse_command_line(std::span<const std::string> args);

}  // namespace icehost
