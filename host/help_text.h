// icehost's help, made from what its command line reads: a command's synopsis, what it does,
// and each of its options with what it takes and a description.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace icehost {

struct OptionHelp {
  std::string_view name;         // "--set"
  std::string_view value;        // what it takes, "PORT=VALUE"; empty for a flag
  std::string_view description;  // one paragraph, wrapped when printed
  bool repeats = false;          // given again, it adds to the ones before
};

struct CommandHelp {
  std::string_view name;       // "eval"
  std::string_view arguments;  // what it takes besides options: "PLUGIN CASEFILE..."
  std::string_view summary;    // one line, in the program's list of commands
  std::string_view about;      // what it does: paragraphs, reflowed unless a line is indented
};

// "usage: icehost eval PLUGIN [--set PORT=VALUE]... ...", about, and the options, each with its
// description beside it; -h, --help last. Every line within 80 columns but a long word.
std::string command_help(const CommandHelp& command, std::span<const OptionHelp> options);

// "usage: icehost COMMAND [OPTIONS]", intro, the commands each with its summary, then about.
std::string program_help(std::span<const CommandHelp> commands, std::string_view intro,
                         std::string_view about);

}  // namespace icehost
