// The host side of the stand-in SDK: what an embedded host (icehost, the tests, the benchmarks)
// needs to drive a plug-in without the real application.
//
//  * Session: one plug-in's life in the host. It owns the registrar handed to the load and
//    unload entry points, records every registration call with its arguments, the log lines and
//    the assertion failures, and can make chosen definition calls fail.
//  * Evaluation: one evaluation context. The host declares the ports with their data, chooses
//    the pulled port and the index set, runs an evaluation callback through it, and reads back
//    what the callback wrote and any misuse it committed.
//
// Nothing here is global: sessions and evaluations are independent objects, and different
// evaluations may run on different threads at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "xsi_sdk.h"

namespace xsi_host {

using XSI::ULONG;

// A value as the host records it: an empty CValue, a boolean, a signed or unsigned 32-bit
// integer, a 32-bit float, or a text.
using Value = std::variant<std::monostate, bool, std::int32_t, std::uint32_t, float, std::wstring>;

// One call a plug-in made while registering, with every argument in order.
struct Call {
  std::string operation;  // "PutColor", "AddInputPort", ...
  std::vector<Value> arguments;
  bool failed = false;  // made to fail by Session::fail_call
};

struct PortGroupRecord {
  ULONG id = 0;
  ULONG minimum = 0;
  ULONG maximum = 0;
  std::wstring name;
};

struct PortRecord {
  bool is_input = true;
  ULONG id = 0;
  ULONG group = 0;  // kNotFound for an output port
  ULONG data_type = 0;
  ULONG structure = 0;
  ULONG context = 0;
  std::wstring name;
  std::wstring script_name;
  Value default_value;
  Value minimum;
  Value maximum;
  ULONG constraints[3] = {};
};

struct NodeRecord {
  std::wstring name;
  std::wstring display_name;
  bool has_color = false;
  int color[3] = {};
  std::vector<PortGroupRecord> port_groups;
  std::vector<PortRecord> ports;  // in definition order
  std::vector<Call> calls;        // every call on the definition, in order
  bool registered = false;
  std::wstring categories;
};

struct Registration {
  std::wstring author;
  std::wstring name;
  ULONG version_major = 0;
  ULONG version_minor = 0;
  std::vector<NodeRecord> nodes;  // every definition created, registered or not
};

struct LogLine {
  std::wstring text;
  ULONG severity = 0;
};

struct AssertionFailure {
  XSI::CStatus::Code code = XSI::CStatus::OK;
  std::wstring message;
  std::string after_call;  // the last definition call made before the assertion
};

class XSI_SDK_API Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The registrar to pass to XSILoadPlugin and XSIUnloadPlugin.
  XSI::PluginRegistrar& registrar();

  // The ordinal-th call (counting from 0) of the named definition operation ("PutColor",
  // "AddPortGroup", "AddInputPort", "AddOutputPort") returns a failed status and changes nothing.
  void fail_call(std::string operation, int ordinal);

  // The SDK operations that ran out of memory during this session's load and unload calls,
  // one entry each, in order.
  std::vector<std::string> out_of_memory() const;

  // Called for every logged line as it is logged, in addition to recording it.
  void on_log(std::function<void(const LogLine&)> sink);

  const Registration& registration() const;
  const std::vector<LogLine>& log() const;
  const std::vector<AssertionFailure>& assertion_failures() const;

 private:
  friend class SessionScope;
  std::unique_ptr<detail::SessionState> state_;
};

// While alive, the calling thread's Application, Factory and CStatus::AssertSucceeded report
// to this session. A host opens one around each call of a plug-in's load and unload entry points.
class XSI_SDK_API SessionScope {
 public:
  explicit SessionScope(Session& session);
  ~SessionScope();
  SessionScope(const SessionScope&) = delete;
  SessionScope& operator=(const SessionScope&) = delete;

 private:
  detail::SessionState* previous_;
};

namespace detail {
// The texts of one element of an array-per-element text port. Shrinking keeps the texts past the
// count, storage and all, so that growing again allocates nothing.
struct TextItems {
  std::vector<std::wstring> texts;
  std::size_t count = 0;
};
}  // namespace detail

// One port of an evaluation and its data. The storage is kept across calls: sizing an element
// that already has the capacity allocates nothing, as in a host that reuses its buffers.
class XSI_SDK_API PortData {
 public:
  PortData(ULONG id, ULONG data_type, ULONG structure, ULONG element_count);
  ~PortData();
  PortData(PortData&&) noexcept;
  PortData& operator=(PortData&&) noexcept;

  ULONG id() const { return id_; }
  ULONG data_type() const { return data_type_; }
  ULONG structure() const { return structure_; }
  ULONG element_count() const { return element_count_; }

  // The constant flag: while set, element 0 stands for every element (one value per element),
  // or slot 0 of a sub-array for every item (an array per element).
  bool constant = false;

  // One value per element. Setters past the count are ignored.
  void set_text(ULONG element, std::wstring_view text);
  void set_boolean(ULONG element, bool value);
  void set_integer(ULONG element, std::int32_t value);
  void set_float(ULONG element, float value);
  // An array per element.
  void set_booleans(ULONG element, const std::vector<bool>& items);
  void set_integers(ULONG element, std::span<const std::int32_t> items);
  void set_floats(ULONG element, std::span<const float> items);
  void set_texts(ULONG element, std::span<const std::wstring> items);

  // What element holds now, in the port's type: one Value for one value per element, one per
  // item for an array per element.
  Value value(ULONG element) const;
  std::vector<Value> items(ULONG element) const;
  ULONG item_count(ULONG element) const;

  // Whether the last call wrote (sized or set) the element.
  bool written(ULONG element) const;
  // Whether memory ran out when the last call sized the element's items (its old items kept).
  bool sizing_refused(ULONG element) const;

 private:
  friend class XSI::ICENodeContext;
  friend class Evaluation;
  friend struct detail::EvaluationState;
  ULONG id_;
  ULONG data_type_;
  ULONG structure_;
  ULONG element_count_;
  std::vector<std::uint32_t> words_;  // booleans as bits, integers, floats as bit patterns
  std::vector<std::wstring> texts_;
  std::vector<std::vector<std::uint8_t>> boolean_items_;  // one byte an item, 0 or 1
  std::vector<std::vector<std::int32_t>> integer_items_;
  std::vector<std::vector<float>> float_items_;
  std::vector<detail::TextItems> text_items_;
  // Per element, what the last call did to it: kWritten, and kSizingRefused when memory ran out
  // sizing its items (its old items kept).
  static constexpr std::uint8_t kWritten = 1;
  static constexpr std::uint8_t kSizingRefused = 2;
  std::vector<std::uint8_t> written_;
};

struct CallResult {
  XSI::CStatus::Code status = XSI::CStatus::OK;
  std::vector<std::string> faults;         // misuse the callback committed, one line each
  std::size_t acquisitions = 0;            // data arrays and index sets acquired
  std::vector<std::string> out_of_memory;  // SDK operations that ran out of memory, in order
};

using EvaluateFunction = XSI::CStatus (*)(XSI::ICENodeContext&);

class XSI_SDK_API Evaluation {
 public:
  // strict: hand the plug-in no more than the host's contract promises (see set_strict).
  explicit Evaluation(bool strict = false);
  ~Evaluation();
  Evaluation(const Evaluation&) = delete;
  Evaluation& operator=(const Evaluation&) = delete;

  // Declares a port. Ports are looked up by id; input and output ids share one space.
  PortData& add_input(ULONG id, ULONG data_type, ULONG structure, ULONG element_count);
  PortData& add_output(ULONG id, ULONG data_type, ULONG structure, ULONG element_count);
  PortData* port(ULONG id);

  // The unforgiving host. A plug-in may rely on what the host's contract promises, and on
  // nothing the ordinary stand-in merely happens to do more kindly. While strict is on, the
  // evaluation takes every freedom the contract leaves (statuses of element operations and
  // releases reported failed, garbage in the out-values left unread, stale storage, garbage past
  // every count), where a plug-in that keeps to the contract gives the same results as in the
  // ordinary mode. docs/host-contract.md lists what the plug-ins rely on; the freedoms are listed,
  // and taken, in one place of the SDK's source (sdk/src/host_policy.h).
  // Set between calls, not during one.
  void set_strict(bool on);
  bool strict() const;

  // The ordinal-th acquisition of every call (0 the first; data arrays and the index set counted
  // alike, in the order the plug-in asks for them) fails: the array stays unacquired (count 1,
  // no data), the index set empty (count 0), and the acquisition reports a failed status.
  void fail_acquisition(std::size_t ordinal);

  void pull(ULONG output_port_id);
  void index_range(ULONG count);
  // Bit i of the set is bits[i]; the bit count is bits.size().
  void index_bits(const std::vector<bool>& bits);
  void index_list(std::vector<ULONG> entries);

  // Runs one call of the callback: clears the written marks, calls it, and reports its status
  // and every misuse, including arrays and index sets it did not release.
  CallResult run(EvaluateFunction evaluate);

  // The context for a caller that drives the callback itself; pair with begin_call/end_call,
  // on the thread that makes the call. end_call gives what run reports, but the status.
  XSI::ICENodeContext context();
  void begin_call();
  CallResult end_call();

 private:
  std::unique_ptr<detail::EvaluationState> state_;
};

}  // namespace xsi_host
