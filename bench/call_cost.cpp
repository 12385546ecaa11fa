// call_cost NODE[:PORT] SIZE CALLS [BATCH]: loads NODE's built plug-in through the embedded
// host, sets up one evaluation of a batch of BATCH elements (by default ONE) with the inputs the
// benchmarks give the node at SIZE (node_inputs.h), PORT pulled (by default the node's first
// output), and evaluates it CALLS times. It needs no benchmark library, so it also builds where
// none is (as a Windows program), and a run of many calls timed as a whole gives a relative
// figure there.
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

int fail(int code, const std::string& message) {
  std::fprintf(stderr, "call_cost: %s\n", message.c_str());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) return fail(2, "usage: call_cost NODE[:PORT] SIZE CALLS [BATCH]");
  const std::string_view named = argv[1];
  const std::string_view node = named.substr(0, named.find(':'));
  const long long port =
      node.size() == named.size() ? 0 : count_of(named.substr(node.size() + 1), 1);
  const long long size = count_of(argv[2], 0);
  const long long calls = count_of(argv[3], 1);
  const long long batch = argc == 5 ? count_of(argv[4], 1) : 1;
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
