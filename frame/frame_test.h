// The evaluation frame's test fixture: two probe nodes, one of each way a node computes, a third
// with a per-call state, and an evaluation that reads back what a call wrote.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "frame/evaluate.h"
#include "frame/host_text.h"
#include "frame/plugin.h"
#include "host_mode.h"
#include "number_text/number_text.h"
#include "xsi_host.h"

namespace frame_test {

using frame::ULONG;
using xsi_host::Value;
using Elements = std::vector<ULONG>;

// Computed once per call: the text's length, the flag, and 7; the text "fail" does not suit,
// "no memory" stands for a computation the SDK could not give storage to, and "throw ..." for
// one that throws.
struct Counter {
  static constexpr frame::NodeTable<2> table{
      .name = L"counter",
      .reading = frame::Reading::once_at_element_0,
      .inputs = {{
          {0, L"Text", frame::kText, frame::kOnePerElement, frame::text_value(L"")},
          {1, L"Flag", frame::kBoolean, frame::kOnePerElement, frame::boolean_value(false)},
      }},
      .output = {208, L"Counts", frame::kInteger, frame::kArrayPerElement},
  };

  static frame::Result<std::vector<std::int32_t>> compute(std::wstring_view text, bool flag) {
    if (text == L"fail") return frame::NoResult::unsuitable;
    if (text == L"no memory") return frame::NoResult::out_of_memory;
    if (text == L"throw bad_alloc") throw std::bad_alloc();
    if (text == L"throw") throw std::runtime_error("no result");
    return std::vector<std::int32_t>{static_cast<std::int32_t>(text.size()), flag, 7};
  }
};

// Computed item by item: each number's text.
struct Texter {
  static constexpr frame::NodeTable<1> table{
      .name = L"texter",
      .inputs = {{{3, L"Numbers", frame::kInteger, frame::kArrayPerElement}}},
      .output = {200, L"Texts", frame::kText, frame::kArrayPerElement},
  };

  static number_text::Text compute(std::int32_t number) { return number_text::format(number); }
};

// Computed at each element with a per-call state: element k gets the count of elements the
// call computed before it, and the length of its text.
struct Tally {
  using State = std::int32_t;  // made anew, as 0, for each call
  static constexpr frame::NodeTable<1> table{
      .name = L"tally",
      .inputs = {{{0, L"Text", frame::kText, frame::kOnePerElement, frame::text_value(L"")}}},
      .output = {208, L"Counts", frame::kInteger, frame::kArrayPerElement},
  };

  static std::vector<std::int32_t> compute(std::wstring_view text, State& computed) {
    return {computed++, static_cast<std::int32_t>(text.size())};
  }
};

inline std::vector<Value> texts(std::initializer_list<const wchar_t*> list) {
  std::vector<Value> out;
  for (const wchar_t* text : list) out.emplace_back(std::wstring(text));
  return out;
}

struct FrameTest : ::testing::Test {
  explicit FrameTest(ULONG elements = 8) {
    text = &evaluation.add_input(0, frame::kText, frame::kOnePerElement, elements);
    flag = &evaluation.add_input(1, frame::kBoolean, frame::kOnePerElement, elements);
    numbers = &evaluation.add_input(3, frame::kInteger, frame::kArrayPerElement, elements);
    counts = &evaluation.add_output(208, frame::kInteger, frame::kArrayPerElement, elements);
    strings = &evaluation.add_output(200, frame::kText, frame::kArrayPerElement, elements);
    // Element k of the numbers holds k and k + 1.
    for (ULONG k = 0; k < elements; ++k) {
      const std::int32_t items[] = {static_cast<std::int32_t>(k), static_cast<std::int32_t>(k + 1)};
      numbers->set_integers(k, items);
    }
  }

  // The node's evaluation as its plug-in exports it: no exception leaves it.
  template <class Node>
  static XSI::CStatus exported(XSI::ICENodeContext& context) {
    return frame::at_boundary([&] { return frame::evaluate<Node>(context); });
  }

  // Fills the node's output with a sentinel, evaluates, and gives the elements the call wrote,
  // checking that every other one still holds the sentinel.
  template <class Node>
  std::vector<ULONG> run(XSI::CStatus::Code status = XSI::CStatus::OK) {
    xsi_host::PortData& output = *evaluation.port(Node::table.output.id);
    const std::vector<Value> sentinel =
        output.data_type() == frame::kText ? texts({L"sentinel"}) : std::vector<Value>{Value(777)};
    for (ULONG k = 0; k < output.element_count(); ++k) store_items(output, k, sentinel);
    evaluation.pull(Node::table.output.id);
    result = evaluation.run(&exported<Node>);
    EXPECT_EQ(result.status, status);
    EXPECT_TRUE(result.faults.empty()) << result.faults.front();
    std::vector<ULONG> written;
    for (ULONG k = 0; k < output.element_count(); ++k) {
      if (output.written(k))
        written.push_back(k);
      else
        EXPECT_EQ(output.items(k), sentinel) << "element " << k;
    }
    return written;
  }

  static void store_items(xsi_host::PortData& port, ULONG k, const std::vector<Value>& items) {
    if (port.data_type() == frame::kText) {
      std::vector<std::wstring> strings;
      for (const Value& item : items) strings.push_back(std::get<std::wstring>(item));
      port.set_texts(k, strings);
    } else {
      std::vector<std::int32_t> integers;
      for (const Value& item : items) integers.push_back(std::get<std::int32_t>(item));
      port.set_integers(k, integers);
    }
  }

  xsi_host::Evaluation evaluation{tests::strict_host()};
  xsi_host::PortData* text;
  xsi_host::PortData* flag;
  xsi_host::PortData* numbers;
  xsi_host::PortData* counts;
  xsi_host::PortData* strings;
  xsi_host::CallResult result;
};

}  // namespace frame_test
