// Releases its index set and its input, in reverse order, and forgets its output.
#include "faulty_plugin.h"

FAULTY_PLUGIN(leaky)

FAULTY_EXPORT XSI::CStatus leaky_Evaluate(XSI::ICENodeContext& context) {
  faulty::Acquired call(context);
  auto& [out, in, set] = call;
  faulty::copy_text(context, out, in, set);
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(in);
  return XSI::CStatus::OK;
}
