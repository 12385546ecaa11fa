// Plug-ins that misuse the SDK on purpose, so the tests can see the host catch and name each
// misuse. Written straight against the SDK, pairing every acquire and release by hand, since the
// frame the real plug-ins use makes these mistakes impossible.
//
// Each registers one node, named after its plug-in, with one text input (port 0, "String") and
// one text output (port 200, "Result"), and exports the three entry points a host looks for.
#pragma once

#include "xsi_sdk.h"

#if defined(_WIN32)
#define FAULTY_EXPORT extern "C" __declspec(dllexport)
#else
#define FAULTY_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The entry points return the host's status class through C linkage, as the host expects.
#if defined(__clang__)
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

namespace faulty {

inline constexpr XSI::ULONG kInput = 0;
inline constexpr XSI::ULONG kOutput = 200;

inline XSI::CStatus load(XSI::PluginRegistrar& registrar, const wchar_t* node) {
  registrar.PutAuthor(L"textnodes tests");
  registrar.PutName(XSI::CString(node) + L" Plugin");
  registrar.PutVersion(1, 0);
  XSI::ICENodeDef definition;
  definition = XSI::Application().GetFactory().CreateICENodeDef(node, node);
  definition.AddPortGroup(100, 1, 1, XSI::CString());
  definition.AddInputPort(kInput, 100, XSI::siICENodeDataString, XSI::siICENodeStructureSingle,
                          XSI::siICENodeContextAny, L"String", L"String", XSI::CValue(L"abc"),
                          XSI::CValue(), XSI::CValue(), XSI::kNotFound, XSI::kNotFound, 402);
  definition.AddOutputPort(kOutput, XSI::siICENodeDataString, XSI::siICENodeStructureSingle,
                           XSI::siICENodeContextAny, L"Result", L"Result", XSI::kNotFound,
                           XSI::kNotFound, 402);
  registrar.RegisterICENode(definition);
  return XSI::CStatus::OK;
}

// The index set's entries as element indices; holes and bits left clear are skipped.
template <typename Visit>
void for_each_element(const XSI::CIndexSet& set, Visit visit) {
  for (XSI::ULONG i = 0; i < set.GetCount(); ++i) {
    if (set.GetForm() == XSI::CIndexSet::Range) {
      visit(i);
    } else if (set.GetForm() == XSI::CIndexSet::Bits) {
      if (set.GetData()[i / 32] >> (i % 32) & 1u) visit(i);
    } else if (set.GetData()[i] != XSI::kNotFound) {
      visit(set.GetData()[i]);
    }
  }
}

// The output, the input and the index set of one call, acquired in that order; each plug-in
// releases them by hand, in its own (wrong) way.
struct Acquired {
  explicit Acquired(XSI::ICENodeContext& context) {
    context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
    context.AcquireInputDataArray(in, XSI::siICENodeDataString, kInput, 0);
    context.AcquireIndexSet(set);
  }
  XSI::CBaseDataArray out;
  XSI::CBaseDataArray in;
  XSI::CIndexSet set;
};

// Copies input element 0 to every evaluated output element.
inline void copy_text(XSI::ICENodeContext& context, XSI::CBaseDataArray& out,
                      const XSI::CBaseDataArray& in, const XSI::CIndexSet& set) {
  const wchar_t* text = nullptr;
  XSI::ULONG length = 0;
  context.GetStringData(in, 0, text, length);
  for_each_element(set, [&](XSI::ULONG k) { context.SetStringData(out, k, text, length); });
}

}  // namespace faulty

// The load and unload entry points of a faulty plug-in named name; it defines name_Evaluate.
#define FAULTY_PLUGIN(name)                                                   \
  FAULTY_EXPORT XSI::CStatus XSILoadPlugin(XSI::PluginRegistrar& registrar) { \
    return faulty::load(registrar, L"" #name);                                \
  }                                                                           \
  FAULTY_EXPORT XSI::CStatus XSIUnloadPlugin(XSI::PluginRegistrar&) { return XSI::CStatus::OK; }
