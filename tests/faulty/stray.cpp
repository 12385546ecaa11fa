// Writes every element of its output, whether the index set selects it or not, each from the
// same element of its input, past element 0 even while the input is handed over as constant.
// It misuses nothing the host records: only a check of what it wrote catches it.
#include "faulty_plugin.h"

FAULTY_PLUGIN(stray)

FAULTY_EXPORT XSI::CStatus stray_Evaluate(XSI::ICENodeContext& context) {
  faulty::Acquired call(context);
  auto& [out, in, set] = call;
  for (XSI::ULONG k = 0; k < out.GetCount(); ++k) {
    const wchar_t* text = nullptr;
    XSI::ULONG length = 0;
    context.GetStringData(in, k, text, length);
    context.SetStringData(out, k, text, length);
  }
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(in);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}
