// Releases its output before its input, out of the reverse order of acquisition.
#include "faulty_plugin.h"

FAULTY_PLUGIN(tangled)

FAULTY_EXPORT XSI::CStatus tangled_Evaluate(XSI::ICENodeContext& context) {
  faulty::Acquired call(context);
  auto& [out, in, set] = call;
  faulty::copy_text(context, out, in, set);
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(out);
  context.ReleaseDataArray(in);
  return XSI::CStatus::OK;
}
