// icehost, the embedded host on the command line: shows what a node plug-in registers, evaluates
// it with chosen inputs, and runs every plug-in found with its defaults.
#pragma once

#include <functional>
#include <ostream>
#include <span>
#include <string>

namespace icehost {

struct EvaluationReport;

// Exit codes of run.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFaults = 1;    // the plug-in failed or misused the SDK; faults listed
inline constexpr int kExitBadInput = 2;  // one line on err, nothing on out

// Called with the report of each evaluation a command makes, as it is made: for a caller that
// checks what icehost prints against what the plug-in wrote.
using EvaluationObserver = std::function<void(const EvaluationReport&)>;

// Runs one command line. args are the arguments after the program name, in UTF-8. Results go
// to out; bad input gives one line on err beginning "icehost: ", kExitBadInput, and nothing on
// out. Never throws.
int run(std::span<const std::string> args, std::ostream& out, std::ostream& err,
        const EvaluationObserver& observe = {});

}  // namespace icehost
