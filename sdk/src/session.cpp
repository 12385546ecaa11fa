// The host application as a plug-in sees it, and the host's side of a session: statuses and
// their assertions, the log, and the session a thread's calls report to.
#include <cstdio>
#include <string>
#include <utility>

#include "session.h"

namespace xsi_host::detail {

SessionState*& current_session() {
  thread_local SessionState* session = nullptr;
  return session;
}

}  // namespace xsi_host::detail

namespace XSI {

using xsi_host::detail::current_session;
using xsi_host::detail::or_refused;
using xsi_host::detail::SessionState;
using xsi_host::detail::status_or_refused;

CStatus::CStatus(Code code) : code_(code) {}
CStatus::Code CStatus::GetCode() const { return code_; }
bool CStatus::Succeeded() const { return code_ == OK; }

void CStatus::AssertSucceeded(const CString& message) const {
  if (Succeeded()) return;
  SessionState* session = current_session();
  if (session) {
    or_refused("AssertSucceeded", [&] {
      session->assertion_failures.push_back(
          {code_, std::wstring(message.GetWideString(), message.Length()), session->last_call});
    });
  } else {
    std::fprintf(stderr, "assertion failed: status %d\n", static_cast<int>(code_));
  }
}

Factory Application::GetFactory() const { return Factory(); }

CStatus Application::LogMessage(const CString& message, siSeverityType severity) const {
  return status_or_refused("LogMessage", [&] {
    const xsi_host::LogLine line{std::wstring(message.GetWideString(), message.Length()), severity};
    SessionState* session = current_session();
    if (!session) {
      std::fprintf(stderr, "%ls\n", line.text.c_str());
      return CStatus(CStatus::OK);
    }
    session->log.push_back(line);
    if (session->log_sink) session->log_sink(line);
    return CStatus(CStatus::OK);
  });
}

}  // namespace XSI

namespace xsi_host {

Session::Session() : state_(std::make_unique<detail::SessionState>()) {}
Session::~Session() = default;

XSI::PluginRegistrar& Session::registrar() { return state_->registrar; }

void Session::fail_call(std::string operation, int ordinal) {
  state_->failing_calls.emplace_back(std::move(operation), ordinal);
}

void Session::on_log(std::function<void(const LogLine&)> sink) {
  state_->log_sink = std::move(sink);
}

const Registration& Session::registration() const { return state_->registration; }
std::vector<std::string> Session::out_of_memory() const { return state_->refusals.list(); }
const std::vector<LogLine>& Session::log() const { return state_->log; }
const std::vector<AssertionFailure>& Session::assertion_failures() const {
  return state_->assertion_failures;
}

SessionScope::SessionScope(Session& session) : previous_(detail::current_session()) {
  detail::current_session() = session.state_.get();
}

SessionScope::~SessionScope() { detail::current_session() = previous_; }

}  // namespace xsi_host
