// Releases its index set and its input, in reverse order, and forgets its output.
#include "faulty_plugin.h"

FAULTY_EXPORT XSI::CStatus XSILoadPlugin(XSI::PluginRegistrar& registrar) {
  return faulty::load(registrar, L"leaky");
}

FAULTY_EXPORT XSI::CStatus XSIUnloadPlugin(XSI::PluginRegistrar&) { return XSI::CStatus::OK; }

FAULTY_EXPORT XSI::CStatus leaky_Evaluate(XSI::ICENodeContext& context) {
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray in;
  XSI::CIndexSet set;
  context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  context.AcquireInputDataArray(in, XSI::siICENodeDataString, faulty::kInput, 0);
  context.AcquireIndexSet(set);
  faulty::copy_text(context, out, in, set);
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(in);
  return XSI::CStatus::OK;
}
