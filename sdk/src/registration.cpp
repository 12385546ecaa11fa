// Registration: the registrar, node definitions and the factory, all recording what a plug-in
// declares in the session the calling thread is bound to.
#include <algorithm>
#include <string>
#include <utility>
#include <variant>

#include "session.h"

namespace xsi_host::detail {

namespace {

// A text as the host records it.
std::wstring text_of(const XSI::CString& text) {
  return std::wstring(text.GetWideString(), text.Length());
}

Value value_of(const XSI::CValue& value) {
  switch (value.GetType()) {
    case XSI::CValue::siBool:
      return static_cast<bool>(value);
    case XSI::CValue::siInt4:
      return static_cast<std::int32_t>(static_cast<long>(value));
    case XSI::CValue::siFloat:
      return static_cast<float>(value);
    case XSI::CValue::siString:
      return text_of(XSI::CString(value));
    case XSI::CValue::siEmpty:
      break;
  }
  return std::monostate{};
}

// One argument of a recorded call, made in place: copying a Value whose text cannot get its
// storage is not safe in every standard library (the copy is left half made).
void append(std::vector<Value>& values, const Value& value) {
  std::visit([&values](const auto& alternative) { values.emplace_back(alternative); }, value);
}
template <class T>
void append(std::vector<Value>& values, const T& value) {
  values.emplace_back(value);
}

// The arguments of a call, in order, as the session records them.
template <class... Arguments>
std::vector<Value> arguments_of(const Arguments&... arguments) {
  std::vector<Value> values;
  values.reserve(sizeof...(arguments));
  (append(values, arguments), ...);
  return values;
}

// The arguments of the call that declared port, in the order AddInputPort or AddOutputPort
// takes them.
std::vector<Value> arguments_of(const PortRecord& port) {
  const auto& [c1, c2, c3] = port.constraints;
  if (port.is_input)
    return arguments_of(port.id, port.group, port.data_type, port.structure, port.context,
                        port.name, port.script_name, port.default_value, port.minimum, port.maximum,
                        c1, c2, c3);
  return arguments_of(port.id, port.data_type, port.structure, port.context, port.name,
                      port.script_name, c1, c2, c3);
}

// Records the call that declares port and, unless it is made to fail, adds the port.
XSI::CStatus add_port(NodeDefState& definition, PortRecord port) {
  NodeRecord& node = definition.record();
  const char* operation = port.is_input ? "AddInputPort" : "AddOutputPort";
  if (definition.session->record_call(node, operation, arguments_of(port)))
    return XSI::CStatus::Fail;
  node.ports.push_back(std::move(port));
  return XSI::CStatus::OK;
}

}  // namespace

NodeRecord& NodeDefState::record() { return session->registration.nodes[index]; }

SessionState::SessionState() : registrar(this) {}

NodeDefState* SessionState::create_definition(std::wstring name, std::wstring display_name) {
  registration.nodes.push_back(NodeRecord{});
  registration.nodes.back().name = std::move(name);
  registration.nodes.back().display_name = std::move(display_name);
  definitions.push_back(
      std::make_unique<NodeDefState>(NodeDefState{this, registration.nodes.size() - 1}));
  return definitions.back().get();
}

bool SessionState::record_call(NodeRecord& node, const char* operation,
                               std::vector<Value> arguments) {
  const int ordinal =
      static_cast<int>(std::count_if(node.calls.begin(), node.calls.end(),
                                     [&](const Call& c) { return c.operation == operation; }));
  const bool fails =
      std::find(failing_calls.begin(), failing_calls.end(),
                std::pair<std::string, int>(operation, ordinal)) != failing_calls.end();
  node.calls.push_back(Call{operation, std::move(arguments), fails});
  last_call = operation;
  return fails;
}

}  // namespace xsi_host::detail

namespace XSI {

using xsi_host::detail::add_port;
using xsi_host::detail::arguments_of;
using xsi_host::detail::current_session;
using xsi_host::detail::NodeDefState;
using xsi_host::detail::or_refused;
using xsi_host::detail::SessionState;
using xsi_host::detail::status_or_refused;
using xsi_host::detail::text_of;
using xsi_host::detail::value_of;

CRef::CRef() : node_(nullptr) {}

SIObject::SIObject(SessionState* session) : session_(session) {}
CString SIObject::GetName() const {
  const std::wstring& name = session_->registration.name;
  return CString(name.c_str(), static_cast<ULONG>(name.size()));
}
CStatus SIObject::PutName(const CString& name) {
  return status_or_refused("PutName", [&] {
    session_->registration.name = text_of(name);
    return CStatus(CStatus::OK);
  });
}

PluginRegistrar::PluginRegistrar(SessionState* session) : SIObject(session) {}

CStatus PluginRegistrar::PutAuthor(const CString& author) {
  return status_or_refused("PutAuthor", [&] {
    session_->registration.author = text_of(author);
    return CStatus(CStatus::OK);
  });
}

CStatus PluginRegistrar::PutVersion(ULONG major, ULONG minor) {
  session_->registration.version_major = major;
  session_->registration.version_minor = minor;
  return CStatus::OK;
}

PluginItem PluginRegistrar::RegisterICENode(const ICENodeDef& definition) {
  PluginItem item;
  if (definition.node_ && definition.node_->session == session_) {
    definition.node_->record().registered = true;
    item.node_ = definition.node_;
  }
  return item;
}

PluginItem::PluginItem() : node_(nullptr) {}
CStatus PluginItem::PutCategories(const CString& categories) {
  if (!node_) return CStatus::Fail;
  return status_or_refused("PutCategories", [&] {
    node_->record().categories = text_of(categories);
    return CStatus(CStatus::OK);
  });
}

ICENodeDef::ICENodeDef() : node_(nullptr) {}
ICENodeDef& ICENodeDef::operator=(const CRef& ref) {
  node_ = ref.node_;
  return *this;
}

CStatus ICENodeDef::PutColor(int red, int green, int blue) {
  if (!node_) return CStatus::Fail;
  return status_or_refused("PutColor", [&] {
    auto& node = node_->record();
    if (node_->session->record_call(node, "PutColor", arguments_of(red, green, blue)))
      return CStatus(CStatus::Fail);
    node.has_color = true;
    node.color[0] = red;
    node.color[1] = green;
    node.color[2] = blue;
    return CStatus(CStatus::OK);
  });
}

CStatus ICENodeDef::AddPortGroup(ULONG id, ULONG minimum, ULONG maximum, const CString& name) {
  if (!node_) return CStatus::Fail;
  return status_or_refused("AddPortGroup", [&] {
    auto& node = node_->record();
    if (node_->session->record_call(node, "AddPortGroup",
                                    arguments_of(id, minimum, maximum, text_of(name))))
      return CStatus(CStatus::Fail);
    node.port_groups.push_back({id, minimum, maximum, text_of(name)});
    return CStatus(CStatus::OK);
  });
}

CStatus ICENodeDef::AddInputPort(ULONG id, ULONG group, ULONG data_type, ULONG structure,
                                 ULONG context, const CString& name, const CString& script_name,
                                 const CValue& default_value, const CValue& minimum,
                                 const CValue& maximum, ULONG constraint1, ULONG constraint2,
                                 ULONG constraint3) {
  if (!node_) return CStatus::Fail;
  return status_or_refused("AddInputPort", [&] {
    return add_port(*node_, {true,
                             id,
                             group,
                             data_type,
                             structure,
                             context,
                             text_of(name),
                             text_of(script_name),
                             value_of(default_value),
                             value_of(minimum),
                             value_of(maximum),
                             {constraint1, constraint2, constraint3}});
  });
}

CStatus ICENodeDef::AddOutputPort(ULONG id, ULONG data_type, ULONG structure, ULONG context,
                                  const CString& name, const CString& script_name,
                                  ULONG constraint1, ULONG constraint2, ULONG constraint3) {
  if (!node_) return CStatus::Fail;
  return status_or_refused("AddOutputPort", [&] {
    return add_port(*node_, {false,
                             id,
                             kNotFound,
                             data_type,
                             structure,
                             context,
                             text_of(name),
                             text_of(script_name),
                             {},
                             {},
                             {},
                             {constraint1, constraint2, constraint3}});
  });
}

CRef Factory::CreateICENodeDef(const CString& name, const CString& display_name) const {
  CRef ref;
  if (SessionState* session = current_session())
    ref.node_ = or_refused("CreateICENodeDef", static_cast<NodeDefState*>(nullptr), [&] {
      return session->create_definition(text_of(name), text_of(display_name));
    });
  return ref;
}

}  // namespace XSI
