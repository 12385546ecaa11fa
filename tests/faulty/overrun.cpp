// Writes one element past the output's count, as a loop bound by `<=` would.
#include "faulty_plugin.h"

FAULTY_PLUGIN(overrun)

FAULTY_EXPORT XSI::CStatus overrun_Evaluate(XSI::ICENodeContext& context) {
  faulty::Acquired call(context);
  auto& [out, in, set] = call;
  const wchar_t* text = nullptr;
  XSI::ULONG length = 0;
  context.GetStringData(in, 0, text, length);
  for (XSI::ULONG k = 0; k <= out.GetCount(); ++k) context.SetStringData(out, k, text, length);
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(in);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}
