// icehost's whole command line: the input is the argument list, the arguments separated by NUL
// bytes; the result is the exit code and both output streams. Checked for every input:
//  * the exit code is 0, 1 or 2, and nothing crashes or hangs;
//  * on 2 (bad input), exactly one line on stderr, beginning "icehost: ", and nothing on stdout;
//  * with --json, stdout is one JSON object; for eval, its written elements are exactly those
//    of the evaluation's own record, each text decoding back to the text the plug-in wrote and
//    each number to the number.
// Arguments name no file outside the target's own folder (no '/' or '\'), so plug-ins come by
// node name and --set-file reads one of the files made here; element counts above 4096 are
// skipped: the target looks for faults of logic, not of size.
#include <dlfcn.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli.h"
#include "evaluation.h"
#include "number_text/number_text.h"
#include "plugin_library.h"
#include "utf8.h"

namespace {

using Json = nlohmann::json;

[[noreturn]] void fail(const std::string& what, const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) line += " [" + arg + "]";
  std::fprintf(stderr, "fuzz check failed: %s\nicehost%s\n", what.c_str(), line.c_str());
  std::abort();
}

std::vector<std::string> arguments_of(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back().push_back(static_cast<char>(data[i]));
  }
  if (args.size() == 1 && args.back().empty()) args.clear();
  return args;
}

// Whether the target runs these arguments: no path beyond its own folder, no large counts.
bool runs(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].find_first_of("/\\") != std::string::npos) return false;
    const bool joined = args[i].starts_with("--elements=");
    if ((args[i] == "--elements" && i + 1 < args.size()) || joined) {
      unsigned long long count = 0;
      std::string_view text = joined ? std::string_view(args[i]).substr(11) : args[i + 1];
      if (!text.empty() && text.front() == '+') text.remove_prefix(1);
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
      if (error == std::errc::result_out_of_range || (error == std::errc() && count > 4096))
        return false;
    }
  }
  return true;
}

// Whether a printed JSON value is exactly an item the plug-in wrote.
bool printed_as(const Json& printed, const xsi_host::Value& written) {
  return std::visit(
      [&printed](const auto& value) {
        using V = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<V, std::wstring>) {
          if (!printed.is_string()) return false;
          const auto decoded = icehost::utf8_to_wide(printed.get<std::string>());
          return decoded && *decoded == value;
        } else if constexpr (std::is_same_v<V, float>) {
          // The number as icehost formats it, read back the way the JSON was.
          char text[number_text::kMaxDigits];
          const std::string formatted(text, number_text::format_float(value, text));
          if (!std::isfinite(value)) return printed.is_string() && printed == formatted;
          return printed.is_number() &&
                 printed.get<double>() == Json::parse(formatted).get<double>();
        } else if constexpr (std::is_same_v<V, std::monostate>) {
          return printed.is_null();
        } else {
          return printed == value;
        }
      },
      written);
}

void check_eval_json(const Json& printed, const icehost::EvaluationReport& report,
                     const std::vector<std::string>& args) {
  if (printed.at("status") != static_cast<int>(report.status)) fail("status differs", args);
  const Json& written = printed.at("written");
  if (written.size() != report.written.size()) fail("written elements differ", args);
  for (std::size_t i = 0; i < written.size(); ++i) {
    const icehost::WrittenElement& element = report.written[i];
    if (written[i].at("element") != element.element) fail("element index differs", args);
    const Json& value = written[i].at("value");
    const std::size_t items = element.array ? value.size() : 1;
    if (element.array && !value.is_array()) fail("array printed as one value", args);
    if (items != element.values.size()) fail("item count differs", args);
    for (std::size_t j = 0; j < items; ++j)
      if (!printed_as(element.array ? value[j] : value, element.values[j]))
        fail("element " + std::to_string(element.element) + " item " + std::to_string(j) +
                 " printed as " + value.dump(),
             args);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  // Keep every plug-in loaded, so that icehost's own loading and unloading does not map and
  // unmap their instrumented code on every input.
  for (const auto& path : icehost::all_plugins(icehost::program_dir()))
    if (!dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) std::abort();
  // The files --set-file may name, in a folder of the target's own, removed at exit.
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("fuzz_icehost." + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  });
  std::ofstream("text") << "1.36,4.6704993;83.2243\n" << std::string(200, 'a') << "\n";
  std::ofstream("lines") << "one\ntwo\n\nthree";
  std::ofstream("empty");
  std::ofstream("latin1") << "caf\xe9";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> args = arguments_of(data, size);
  if (!runs(args)) return 0;

  std::vector<icehost::EvaluationReport> reports;
  std::ostringstream out;
  std::ostringstream err;
  const int code = icehost::run(
      args, out, err, [&reports](const icehost::EvaluationReport& r) { reports.push_back(r); });

  if (code < 0 || code > 2) fail("exit code " + std::to_string(code), args);
  const std::string printed = out.str();
  const std::string messages = err.str();
  if (code == 2) {
    if (!printed.empty()) fail("bad input, yet something on stdout", args);
    if (messages.rfind("icehost: ", 0) != 0 || messages.back() != '\n' ||
        messages.find('\n') != messages.size() - 1)
      fail("bad input without exactly one line on stderr: " + messages, args);
    return 0;
  }
  bool json = false;
  for (const std::string& arg : args) json = json || arg == "--json";
  const bool eval = !args.empty() && args.front() == "eval";
  if (!json || printed.rfind("usage:", 0) == 0) return 0;
  Json document;
  try {
    document = Json::parse(printed);
  } catch (const Json::exception& error) {
    fail(std::string("stdout is not JSON: ") + error.what(), args);
  }
  if (!document.is_object()) fail("stdout is not one JSON object", args);
  if (eval) {
    if (reports.size() != 1)
      fail("eval made " + std::to_string(reports.size()) + " evaluations", args);
    check_eval_json(document, reports.front(), args);
  }
  return 0;
}
