// icehost's command line read into plain structs: which command, with which options. Reading
// checks only what the line itself shows; what depends on the plug-in (its ports, its element
// count) is checked once it is loaded (eval_plan.h).
//
// The arguments are read in a loop of our own, in the order given, rather than by CLI11: the
// order rules here. A setting given later wins over an earlier one, whichever of --set,
// --set-file and --set-constant each is; the first problem in the order given is the one
// reported, and a help option reached before any problem wins; an option's value is the next
// argument whatever it is. Each command's options are a table, from which its help is made.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "evaluation.h"
#include "xsi_host.h"

namespace icehost {

// --help or -h, for the whole program or one command: the text to print.
struct HelpRequest {
  std::string usage;
};

struct InfoOptions {
  std::string plugin;  // a path or a node name
  bool json = false;
};

// One --set, --set-file or --set-constant as given, PORT=VALUE or PORT=PATH.
struct SetArgument {
  std::string text;
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

// Reads the arguments after the program name: the command, then its arguments. An argument
// beginning with '-' is an option, and only the names the command lists are known (no -abc, no
// "--"). An option that takes a value takes the next argument, or the text after '='
// (--set=PORT=VALUE); a flag takes none. Throws UsageError for the first problem in the order
// given; a help option reached before it gives the HelpRequest.
CommandLine parse_command_line(std::span<const std::string> args);

}  // namespace icehost
