// Ports, elements and values as a user names them, resolved against a node: what eval's options
// and a case file's keys share, their messages and port lists included. Each throws UsageError
// saying what is wrong; the caller puts where before it (in_context): an option, a case's key.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xsi_host.h"

namespace icehost {

// Every port holds at most this many elements, so that a mistyped count cannot exhaust memory.
inline constexpr XSI::ULONG kMaxElements = 1'000'000;

// count as an element count: "at most 1000000 elements, not 2000000", shown as the user wrote it.
XSI::ULONG capped_element_count(std::uint64_t count, std::string_view shown);

// What an element, an index or a bit count past the count is: " is past the element count 10".
std::string past_element_count(XSI::ULONG element_count);

// An element named by text: "'x' is not an element index", "element 10 is past the element
// count 10".
XSI::ULONG element_index(std::string_view text, XSI::ULONG element_count);

// VALUE in the port's type: one value, or an array port's items separated by commas (none for
// an empty VALUE).
std::vector<xsi_host::Value> values_from_text(const xsi_host::PortRecord& port,
                                              std::string_view text);

// The file at path for a text port: the whole file as it stands, or, for an array port, one
// item a line (a carriage return before the line break dropped).
std::vector<xsi_host::Value> values_from_file(const xsi_host::PortRecord& port,
                                              const std::string& path);

// A JSON value in the port's type: one value, or an array of items for an array port.
std::vector<xsi_host::Value> values_from_json(const xsi_host::PortRecord& port,
                                              const nlohmann::json& json);

// A node's ports as a user names them.
class NodePorts {
 public:
  explicit NodePorts(const xsi_host::NodeRecord& node) : node_(node) {}

  // The port PORT names: by its name, else its script name, else its id; null for none.
  const xsi_host::PortRecord* find(std::string_view name) const;

  // The input PORT names: "unknown port 'X' (the inputs of kestrune are String (0), ...)",
  // "Result is an output; set an input (String (0), ...)".
  const xsi_host::PortRecord& input(std::string_view name) const;

  // The output pulled: the node's first, or the one of id, named by (say) "--port ": "--port 201
  // is not an output of kestrune (its outputs: Result (200))".
  const xsi_host::PortRecord& pulled(const std::optional<std::string>& id,
                                     std::string_view named_by = "") const;

  // The inputs, or the outputs, as messages and demo list them: "String (0), SubString (1)", or
  // their names alone.
  std::string listed(bool inputs, bool with_ids = true) const;

 private:
  const xsi_host::NodeRecord& node_;
};

}  // namespace icehost
