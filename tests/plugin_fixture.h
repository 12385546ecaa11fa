// Loading a built plug-in through the real loader and evaluating it, for the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "evaluation_setup.h"
#include "host_mode.h"
#include "plugin_library.h"
#include "xsi_host.h"

namespace tests {

// The built plug-in of a node, found the way icehost finds it: in the plug-in folder beside
// the program's own.
inline std::filesystem::path plugin_path(const std::string& node) {
  return icehost::find_plugin(node, icehost::program_dir());
}

// Expects what every plug-in registers: its name, "<node> Plugin", at version 1.0; one node,
// named after it twice, registered under "Custom ICENode"; the colour and the port group every
// node sets, then exactly these port calls, in order, with these arguments; no failed call.
inline void expect_registration(const icehost::PluginLibrary& library, const std::wstring& node,
                                const std::vector<xsi_host::Call>& port_calls) {
  const xsi_host::Registration& registration = library.session().registration();
  EXPECT_EQ(registration.name, node + L" Plugin");
  EXPECT_EQ(registration.version_major, 1u);
  EXPECT_EQ(registration.version_minor, 0u);
  ASSERT_EQ(registration.nodes.size(), 1u);
  const xsi_host::NodeRecord& record = registration.nodes[0];
  EXPECT_EQ(record.name, node);
  EXPECT_EQ(record.display_name, node);
  EXPECT_TRUE(record.registered);
  EXPECT_EQ(record.categories, L"Custom ICENode");
  std::vector<xsi_host::Call> expected = {{"PutColor", {87, 112, 102}},
                                          {"AddPortGroup", {100u, 1u, 1u, std::wstring()}}};
  expected.insert(expected.end(), port_calls.begin(), port_calls.end());
  ASSERT_EQ(record.calls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(record.calls[i].operation, expected[i].operation);
    EXPECT_EQ(record.calls[i].arguments, expected[i].arguments)
        << expected[i].operation << " #" << i;
  }
  EXPECT_TRUE(library.session().assertion_failures().empty());
}

// A node loaded once, with an evaluation of its ports at their defaults.
class PluginTest : public ::testing::Test {
 protected:
  PluginTest(const std::string& node, XSI::ULONG elements) : library_(plugin_path(node)) {
    icehost::declare_ports(evaluation_, library_.node(), elements);
  }

  xsi_host::PortData& port(XSI::ULONG id) { return *evaluation_.port(id); }

  // Evaluates once; expects success and no misuse; gives the elements written, ascending.
  std::vector<XSI::ULONG> evaluate() {
    const xsi_host::CallResult result = evaluation_.run(library_.evaluate());
    EXPECT_EQ(result.status, XSI::CStatus::OK);
    for (const std::string& fault : result.faults) ADD_FAILURE() << fault;
    std::vector<XSI::ULONG> written;
    for (const auto& record : library_.node().ports)
      if (!record.is_input)
        for (XSI::ULONG k = 0; k < port(record.id).element_count(); ++k)
          if (port(record.id).written(k)) written.push_back(k);
    return written;
  }

  // What an output holds where no call wrote it: two items of an array, one value of a
  // one-value port, none of which a node writes.
  static std::vector<xsi_host::Value> sentinel(const xsi_host::PortData& out) {
    xsi_host::Value value = std::wstring(L"sentinel");
    if (out.data_type() == XSI::siICENodeDataBool) value = true;
    if (out.data_type() == XSI::siICENodeDataLong) value = 777;
    if (out.data_type() == XSI::siICENodeDataFloat) value = 777.0f;
    if (out.structure() == XSI::siICENodeStructureSingle) return {value};
    return {value, value};
  }

  // Fills output port out_id with its sentinel, evaluates over index, expects exactly the
  // elements index holds written, and gives what each element of the output holds.
  std::vector<std::vector<xsi_host::Value>> evaluate_over(const icehost::IndexChoice& index,
                                                          XSI::ULONG out_id = 200) {
    xsi_host::PortData& out = port(out_id);
    const XSI::ULONG elements = out.element_count();
    for (XSI::ULONG k = 0; k < elements; ++k) icehost::store(out, k, sentinel(out));
    index.apply(evaluation_, elements);
    evaluate();
    std::vector<std::vector<xsi_host::Value>> held;
    for (XSI::ULONG k = 0; k < elements; ++k) {
      EXPECT_EQ(out.written(k), index.holds(k, elements)) << "element " << k;
      held.push_back(out.items(k));
    }
    return held;
  }

  icehost::PluginLibrary library_;
  xsi_host::Evaluation evaluation_{strict_host()};
};

inline icehost::IndexChoice index_range(XSI::ULONG count) {
  icehost::IndexChoice index;
  index.range_count = count;
  return index;
}

// Each form of index set over elements elements (at least 4): the range over all of them, the
// empty range, bits with gaps, and a list out of order with a hole.
inline std::vector<icehost::IndexChoice> every_index_form(XSI::ULONG elements) {
  icehost::IndexChoice bits;
  bits.form = icehost::IndexChoice::Form::bits;
  for (XSI::ULONG i = 0; i < elements; ++i) bits.bits.push_back(i % 3 != 1);
  icehost::IndexChoice list;
  list.form = icehost::IndexChoice::Form::list;
  list.list = {elements - 1, XSI::kNotFound, 0, elements / 2};
  return {index_range(elements), index_range(0), bits, list};
}

}  // namespace tests
