#include "help_text.h"

#include <algorithm>
#include <vector>

namespace icehost {
namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kDescriptionColumn = 26;

// words laid out in lines of at most width characters (a longer word alone), each line after
// the first indented by indent.
std::string wrapped(const std::vector<std::string>& words, std::size_t width, std::size_t indent) {
  std::string out;
  std::size_t line = 0;
  for (const std::string& word : words) {
    if (line > 0 && line + 1 + word.size() > width) {
      out += "\n" + std::string(indent, ' ');
      line = 0;
    } else if (line > 0) {
      out += ' ';
      ++line;
    }
    out += word;
    line += word.size();
  }
  return out;
}

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> words;
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = std::min(text.find(' ', begin), text.size());
    if (end > begin) words.emplace_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return words;
}

// Each paragraph of text (between blank lines) reflowed to the width, but one holding an
// indented line, which stands as written.
std::string reflowed(std::string_view text) {
  std::string out;
  for (std::size_t begin = 0; begin < text.size();) {
    const std::size_t end = std::min(text.find("\n\n", begin), text.size());
    std::string paragraph(text.substr(begin, end - begin));
    if (paragraph.find("\n ") == std::string::npos && !paragraph.starts_with(' ')) {
      std::replace(paragraph.begin(), paragraph.end(), '\n', ' ');
      paragraph = wrapped(words_of(paragraph), kWidth, 0);
    }
    out += (out.empty() ? "" : "\n\n") + paragraph;
    begin = end + 2;
  }
  return out;
}

std::string option_line(const OptionHelp& option) {
  std::string line = "  " + std::string(option.name);
  if (!option.value.empty()) line += " " + std::string(option.value);
  line += line.size() + 2 > kDescriptionColumn ? "\n" + std::string(kDescriptionColumn, ' ')
                                               : std::string(kDescriptionColumn - line.size(), ' ');
  return line +
         wrapped(words_of(option.description), kWidth - kDescriptionColumn, kDescriptionColumn) +
         "\n";
}

}  // namespace

std::string command_help(const CommandHelp& command, std::span<const OptionHelp> options) {
  const std::string start = "usage: icehost " + std::string(command.name);
  std::vector<std::string> synopsis = words_of(command.arguments);
  for (const OptionHelp& option : options)
    synopsis.push_back("[" + std::string(option.name) +
                       (option.value.empty() ? "" : " " + std::string(option.value)) + "]" +
                       (option.repeats ? "..." : ""));
  std::string out = start;
  if (!synopsis.empty())
    out += " " + wrapped(synopsis, kWidth - start.size() - 1, start.size() + 1);
  out += "\n\n" + reflowed(command.about) + "\n\noptions:\n";
  for (const OptionHelp& option : options) out += option_line(option);
  return out + option_line({"-h, --help", "", "this help"});
}

std::string program_help(std::span<const CommandHelp> commands, std::string_view intro,
                         std::string_view about) {
  std::string out = "usage: icehost COMMAND [OPTIONS]\n\n" + reflowed(intro) + "\n\ncommands:\n";
  for (const CommandHelp& command : commands)
    out += option_line({command.name, command.arguments, command.summary});
  return out + "\n" + reflowed(about) + "\n";
}

}  // namespace icehost
