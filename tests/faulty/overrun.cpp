// Writes one element past the output's count, as a loop bound by `<=` would.
#include "faulty_plugin.h"

FAULTY_EXPORT XSI::CStatus XSILoadPlugin(XSI::PluginRegistrar& registrar) {
  return faulty::load(registrar, L"overrun");
}

FAULTY_EXPORT XSI::CStatus XSIUnloadPlugin(XSI::PluginRegistrar&) { return XSI::CStatus::OK; }

FAULTY_EXPORT XSI::CStatus overrun_Evaluate(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray in;
  XSI::CIndexSet set;
  context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  context.AcquireInputDataArray(in, XSI::siICENodeDataString, faulty::kInput, 0);
  context.AcquireIndexSet(set);
  const wchar_t* text = nullptr;
  XSI::ULONG length = 0;
  context.GetStringData(in, 0, text, length);
  for (XSI::ULONG k = 0; k <= out.GetCount(); ++k) context.SetStringData(out, k, text, length);
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(in);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}
