// Releases its output before its input, out of the reverse order of acquisition.
#include "faulty_plugin.h"

FAULTY_EXPORT XSI::CStatus XSILoadPlugin(XSI::PluginRegistrar& registrar) {
  return faulty::load(registrar, L"tangled");
}

FAULTY_EXPORT XSI::CStatus XSIUnloadPlugin(XSI::PluginRegistrar&) { return XSI::CStatus::OK; }

FAULTY_EXPORT XSI::CStatus tangled_Evaluate(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray in;
  XSI::CIndexSet set;
  context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  context.AcquireInputDataArray(in, XSI::siICENodeDataString, faulty::kInput, 0);
  context.AcquireIndexSet(set);
  faulty::copy_text(context, out, in, set);
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(out);
  context.ReleaseDataArray(in);
  return XSI::CStatus::OK;
}
