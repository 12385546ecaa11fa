// A plug-in's life in the host, as the registration operations see it: the session they report
// to, and the definitions it holds.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "refusal.h"
#include "xsi_host.h"

namespace xsi_host::detail {

struct SessionState;

struct NodeDefState {
  SessionState* session = nullptr;
  std::size_t index = 0;  // into session->registration.nodes
  NodeRecord& record();
};

struct SessionState {
  SessionState();

  Registration registration;
  std::vector<LogLine> log;
  std::vector<AssertionFailure> assertion_failures;
  std::vector<std::pair<std::string, int>> failing_calls;
  std::function<void(const LogLine&)> log_sink;
  Refusals refusals;
  std::string last_call;
  // One handle per created definition, each owned, so that a handle stays where it is.
  std::vector<std::unique_ptr<NodeDefState>> definitions;
  XSI::PluginRegistrar registrar;

  NodeDefState* create_definition(std::wstring name, std::wstring display_name);
  // Records a definition call and tells whether it is made to fail.
  bool record_call(NodeRecord& node, const char* operation, std::vector<Value> arguments);
};

// The session the calling thread's Application reports to, if any.
SessionState*& current_session();

}  // namespace xsi_host::detail
