// call_cost NODE[:PORT] SIZE CALLS [BATCH] [INPUT=INTEGER]: loads NODE's built plug-in through
// the embedded host, sets up one evaluation of a batch of BATCH elements (by default ONE) with
// the inputs the benchmarks give the node at SIZE (node_inputs.h), PORT pulled (by default the
// node's first output), and the integer input named INPUT, if given, set to INTEGER in every
// element (textnormalize's Form); and evaluates it CALLS times. It needs no benchmark library, so
// it also builds where none is (as a Windows program), and a run of many calls timed as a whole
// gives a relative figure there.
//
// Made to run under callgrind with --toggle-collect=NODE_Evaluate (bench/call_cost.sh): the
// difference between the instructions of two runs with different CALLS, divided by the
// difference in calls, is what one call costs once the storage is sized, free of the loading
// and set-up around it.
//
// Exit codes: 0 when every call succeeded; 1 when the plug-in would not load, or a call returned
// a failed status or misused the host; 2 for bad arguments. One line on stderr for 1 and 2.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "node_inputs.h"
#include "plugin_library.h"

namespace {

// A whole number from lowest up, or -1.
long long count_of(std::string_view text, long long lowest) {
  long long value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= lowest ? value : -1;
}

// The input port of an integer that INPUT=INTEGER names, and the integer; no port when it names
// none of the node's.
struct IntegerInput {
  const xsi_host::PortRecord* port = nullptr;
  std::int32_t value = 0;
};

IntegerInput integer_input(const xsi_host::NodeRecord& node, std::string_view setting) {
  IntegerInput input;
  const std::size_t equals = setting.find('=');
  const std::string_view number = setting.substr(equals + 1);
  const auto [end, error] =
      std::from_chars(number.data(), number.data() + number.size(), input.value);
  if (equals == std::string_view::npos || error != std::errc() ||
      end != number.data() + number.size())
    return input;
  const std::wstring name(setting.begin(), setting.begin() + static_cast<std::ptrdiff_t>(equals));
  for (const xsi_host::PortRecord& port : node.ports)
    if (port.is_input && port.name == name && port.data_type == XSI::siICENodeDataLong)
      input.port = &port;
  return input;
}

int fail(int code, const std::string& message) {
  std::fprintf(stderr, "call_cost: %s\n", message.c_str());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc > 6)
    return fail(2, "usage: call_cost NODE[:PORT] SIZE CALLS [BATCH] [INPUT=INTEGER]");
  // The optional arguments: a batch, a count; an input, with '='.
  const char* batch_argument = nullptr;
  const char* input_argument = nullptr;
  for (int i = 4; i < argc; ++i)
    (std::string_view(argv[i]).find('=') == std::string_view::npos ? batch_argument
                                                                   : input_argument) = argv[i];
  const std::string_view named = argv[1];
  const std::string_view node = named.substr(0, named.find(':'));
  const long long port =
      node.size() == named.size() ? 0 : count_of(named.substr(node.size() + 1), 1);
  const long long size = count_of(argv[2], 0);
  const long long calls = count_of(argv[3], 1);
  const long long batch = batch_argument ? count_of(batch_argument, 1) : 1;
  if (std::ranges::find(bench::kNodes, node) == std::end(bench::kNodes))
    return fail(2, "no node named '" + std::string(node) + "'");
  if (port < 0 || port > 0xFFFFFFFF) return fail(2, "PORT is a port id");
  if (size < 0 || size > 1'000'000) return fail(2, "SIZE is a count up to 1000000");
  if (calls < 1) return fail(2, "CALLS is a count from 1");
  if (batch < 1 || batch > 1'000'000) return fail(2, "BATCH is a count from 1 to 1000000");
  try {
    icehost::PluginLibrary library(icehost::find_plugin(node, icehost::program_dir()));
    xsi_host::Evaluation evaluation;
    bench::set_up(evaluation, library.node(), node, static_cast<int>(size),
                  static_cast<XSI::ULONG>(batch), static_cast<XSI::ULONG>(port));
    if (input_argument) {
      const IntegerInput input = integer_input(library.node(), input_argument);
      if (input.port == nullptr)
        return fail(2, "no integer input and value in '" + std::string(input_argument) + "'");
      for (long long k = 0; k < batch; ++k)
        evaluation.port(input.port->id)->set_integer(static_cast<XSI::ULONG>(k), input.value);
    }
    for (long long call = 0; call < calls; ++call) {
      const xsi_host::CallResult result = evaluation.run(library.evaluate());
      if (result.status != XSI::CStatus::OK)
        return fail(1, "call " + std::to_string(call) + " failed");
      if (!result.faults.empty()) return fail(1, result.faults.front());
    }
  } catch (const std::exception& error) {
    return fail(1, error.what());
  }
  return 0;
}
