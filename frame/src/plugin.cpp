#include "frame/plugin.h"

namespace frame {
namespace {

constexpr ULONG kPortGroup = 100;
// Every port's context: any.
constexpr ULONG kAnyContext = 63;
// Every port passes these three trailing constraint values.
constexpr ULONG kConstraints[3] = {kNotFound, kNotFound, 402};
// The severity of the line logged at unload: verbose.
constexpr ULONG kVerbose = 16;

XSI::CValue value_of(const Default& value) {
  switch (value.kind) {
    case Default::Kind::text:
      return XSI::CValue(value.text);
    case Default::Kind::boolean:
      return XSI::CValue(value.boolean);
    case Default::Kind::integer:
      return XSI::CValue(value.integer);
    case Default::Kind::real:
      return XSI::CValue(value.real);
    case Default::Kind::none:
      break;
  }
  return XSI::CValue();
}

void register_node(XSI::PluginRegistrar& registrar, const NodeInfo& node) {
  const XSI::CString no_message;
  const XSI::CValue no_limit;
  XSI::ICENodeDef definition;
  const XSI::CString name(node.name);
  definition = XSI::Application().GetFactory().CreateICENodeDef(name, name);

  definition.PutColor(node.colour.red, node.colour.green, node.colour.blue)
      .AssertSucceeded(no_message);
  definition.AddPortGroup(kPortGroup, 1, 1, XSI::CString()).AssertSucceeded(no_message);
  for (const Port& port : node.inputs) {
    const XSI::CString port_name(port.name);
    definition
        .AddInputPort(port.id, kPortGroup, port.data_type, port.structure, kAnyContext, port_name,
                      port_name, value_of(port.default_value), no_limit, no_limit, kConstraints[0],
                      kConstraints[1], kConstraints[2])
        .AssertSucceeded(no_message);
  }
  for (const Port& output : node.outputs) {
    const XSI::CString output_name(output.name);
    definition
        .AddOutputPort(output.id, output.data_type, output.structure, kAnyContext, output_name,
                       output_name, kConstraints[0], kConstraints[1], kConstraints[2])
        .AssertSucceeded(no_message);
  }

  XSI::PluginItem item = registrar.RegisterICENode(definition);
  item.PutCategories(XSI::CString(node.category));
}

}  // namespace

XSI::CStatus load_plugin(XSI::PluginRegistrar& registrar, const NodeInfo& node) {
  registrar.PutAuthor(XSI::CString(node.author));
  registrar.PutName(XSI::CString(node.name) + XSI::CString(L" Plugin"));
  registrar.PutVersion(node.version.major, node.version.minor);
  register_node(registrar, node);
  return sdk::success();
}

XSI::CStatus unload_plugin(XSI::PluginRegistrar& registrar) {
  XSI::Application().LogMessage(registrar.GetName() + XSI::CString(L" has been unloaded."),
                                sdk::severity(kVerbose));
  return sdk::success();
}

}  // namespace frame
