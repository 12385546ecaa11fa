// eval's options resolved against the loaded node, by the rules and messages case files share
// (port_resolver.h): the plan of its one evaluation.
#pragma once

#include "command_line.h"
#include "evaluation.h"

namespace icehost {

// The plan of options: the output --port names (the node's first by default), every setting in
// the order given (PORT@K for element K alone, where PORT@K is itself no port's name), the index
// set. Throws UsageError, before anything is evaluated, when the options do not fit the node: no
// output port, --port not an output, an index or element past the element count, an unknown
// port, an output set, or a value that does not read.
EvaluationPlan plan_eval(const xsi_host::NodeRecord& node, const EvalOptions& options);

}  // namespace icehost
