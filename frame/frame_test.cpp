// The evaluation frame, through two probe nodes built into this test, one of each way a node
// computes: which elements a walk reaches, the marker, a computation without memory, the
// constant flags, and the release of everything on every path.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
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

namespace {

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

std::vector<Value> texts(std::initializer_list<const wchar_t*> list) {
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

  // Fills the node's output with a sentinel, evaluates, and gives the elements the call wrote,
  // checking that every other one still holds the sentinel.
  // The node's evaluation as its plug-in exports it: no exception leaves it.
  template <class Node>
  static XSI::CStatus exported(XSI::ICENodeContext& context) {
    return frame::at_boundary([&] { return frame::evaluate<Node>(context); });
  }

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

TEST_F(FrameTest, PullOfAnotherPortAcquiresNothing) {
  evaluation.index_range(8);
  for (const ULONG other : {201u, 3u}) {
    evaluation.pull(other);
    EXPECT_EQ(evaluation.run(&frame::evaluate<Counter>).acquisitions, 0u);
    EXPECT_EQ(evaluation.run(&frame::evaluate<Texter>).acquisitions, 0u);
  }
  for (ULONG k = 0; k < 8; ++k) EXPECT_FALSE(counts->written(k) || strings->written(k));
}

TEST_F(FrameTest, WalksEveryFormOfIndexSet) {
  evaluation.index_range(3);
  EXPECT_EQ(run<Texter>(), (Elements{0, 1, 2}));
  EXPECT_EQ(result.acquisitions, 3u);  // output, input, index set
  EXPECT_EQ(run<Counter>(), (Elements{0, 1, 2}));
  EXPECT_EQ(result.acquisitions, 4u);  // output, two inputs, index set

  evaluation.index_list({5, XSI::kNotFound, 2});
  EXPECT_EQ(run<Texter>(), (Elements{2, 5}));
  EXPECT_EQ(strings->items(5), texts({L"5", L"6"}));  // entries are element indices

  evaluation.index_bits({true, false, true, true, false, false, false, true});
  EXPECT_EQ(run<Texter>(), (Elements{0, 2, 3, 7}));

  evaluation.index_range(0);
  EXPECT_EQ(run<Texter>(), Elements{});
  evaluation.index_list({});
  EXPECT_EQ(run<Counter>(), Elements{});
}

// One state per call, shared by the elements of that call in the order they are walked, and
// fresh for the next call.
TEST_F(FrameTest, AStateIsMadeForEachCallAndHandedToEveryElement) {
  text->set_text(5, L"abc");
  evaluation.index_list({5, XSI::kNotFound, 2});
  for (int call = 0; call < 2; ++call) {
    EXPECT_EQ(run<Tally>(), (Elements{2, 5}));
    EXPECT_EQ(counts->items(5), (std::vector<Value>{0, 3}));
    EXPECT_EQ(counts->items(2), (std::vector<Value>{1, 0}));
  }
}

TEST_F(FrameTest, ListIsWalkedInStoredOrder) {
  std::vector<ULONG> order;
  evaluation.index_list({5, XSI::kNotFound, 2});
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CIndexSet set;
  context.AcquireIndexSet(set);
  frame::walk_index_set(set, [&](ULONG k) { order.push_back(k); });
  context.ReleaseIndexSet(set);
  EXPECT_TRUE(evaluation.end_call().faults.empty());
  EXPECT_EQ(order, (Elements{5, 2}));
}

TEST_F(FrameTest, BitsPastTheElementCountAreNotWritten) {
  std::vector<bool> bits(40, false);
  bits[1] = bits[33] = bits[39] = true;
  evaluation.index_bits(bits);
  EXPECT_EQ(run<Texter>(), (Elements{1}));  // 33 and 39 lie past the 8 elements: never written
}

TEST_F(FrameTest, UnsuitableInputsLeaveTheMarkerInElementZeroAlone) {
  text->set_text(0, L"fail");
  evaluation.index_list({3, 4});
  EXPECT_EQ(run<Counter>(), (Elements{0}));
  EXPECT_EQ(counts->items(0), std::vector<Value>{-1});
  EXPECT_EQ(result.acquisitions, 3u);  // the index set is never acquired
}

// Each way a computation can fail fails the call with its own status, writes nothing, and
// releases every array it acquired.
TEST_F(FrameTest, AComputationWithoutMemoryOrThatThrowsFailsTheCallWritingNothing) {
  const std::pair<const wchar_t*, XSI::CStatus::Code> cases[] = {
      {L"no memory", XSI::CStatus::MemoryUnavailable},
      {L"throw bad_alloc", XSI::CStatus::MemoryUnavailable},
      {L"throw", XSI::CStatus::Unexpected}};
  evaluation.index_range(8);
  for (const auto& [input, status] : cases) {
    text->set_text(0, input);
    EXPECT_EQ(run<Counter>(status), Elements{}) << input;
    EXPECT_EQ(result.acquisitions, 3u);
  }
}

TEST_F(FrameTest, OnlyElementZeroOfEachInputIsRead) {
  text->set_text(0, L"abc");
  text->set_text(1, L"fail");
  flag->set_boolean(0, true);
  evaluation.index_range(2);
  EXPECT_EQ(run<Counter>(), (Elements{0, 1}));
  EXPECT_EQ(counts->items(1), (std::vector<Value>{3, 1, 7}));
}

TEST_F(FrameTest, ConstantOutputWritesSlotZeroWithTheLastValue) {
  counts->constant = true;
  evaluation.index_list({4});
  EXPECT_EQ(run<Counter>(), (Elements{4}));
  const auto items = counts->items(4);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], Value(7));
}

TEST_F(FrameTest, ConstantInputReadsItemZeroForEveryItem) {
  const std::int32_t values[] = {40, 41, 42};
  numbers->set_integers(1, values);
  evaluation.index_list({1});
  run<Texter>();
  EXPECT_EQ(strings->items(1), texts({L"40", L"41", L"42"}));
  numbers->constant = true;
  run<Texter>();
  EXPECT_EQ(strings->items(1), texts({L"40", L"40", L"40"}));
}

struct EmptyInputs : FrameTest {
  EmptyInputs() : FrameTest(0) {}
};

TEST_F(EmptyInputs, NothingIsReadOrWrittenPastACount) {
  evaluation.index_list({0, 1});  // past every array's count of 0
  EXPECT_EQ(run<Counter>(), Elements{});
  EXPECT_EQ(run<Texter>(), Elements{});
  text->set_text(0, L"fail");  // ignored: there is no element 0
  EXPECT_EQ(run<Counter>(), Elements{});
}

// The unforgiving host sets every bit from the bit count on and hands out sub-arrays full of
// stale items: the walk stops at the count, and every item sized is written.
struct StrictHost : FrameTest {
  StrictHost() : FrameTest(80) { evaluation.set_strict(true); }
};

TEST_F(StrictHost, BitsAtAndAboveTheBitCountAreNotWalked) {
  for (const ULONG bit_count : {2u, 31u, 32u, 33u, 64u}) {
    std::vector<bool> bits(bit_count, false);
    bits.front() = bits.back() = true;
    evaluation.index_bits(bits);
    EXPECT_EQ(run<Texter>(), (Elements{0, bit_count - 1})) << bit_count << " bits";
  }
}

TEST_F(StrictHost, EveryItemSizedIsWrittenAndListsEndAtTheirCount) {
  const std::int32_t values[] = {40, 41, 42};
  numbers->set_integers(6, values);
  text->set_text(0, L"abcd");
  evaluation.index_list({6, 3});
  EXPECT_EQ(run<Texter>(), (Elements{3, 6}));
  EXPECT_EQ(strings->items(3), texts({L"3", L"4"}));
  EXPECT_EQ(strings->items(6), texts({L"40", L"41", L"42"}));
  EXPECT_EQ(run<Counter>(), (Elements{3, 6}));
  EXPECT_EQ(counts->items(3), (std::vector<Value>{4, 0, 7}));
}

// Whichever acquisition the host refuses, the call fails having written nothing, and what was
// lent is released: Counter's output, text, flag and index set; Texter's output, numbers and
// index set.
TEST_F(FrameTest, EveryAcquisitionRefusedEndsTheCallHavingWrittenNothing) {
  auto refuse_each = [&](xsi_host::EvaluateFunction evaluate, ULONG output, std::size_t count) {
    for (std::size_t refused = 0; refused < count; ++refused) {
      xsi_host::Evaluation refusing{tests::strict_host()};
      refusing.add_input(0, frame::kText, frame::kOnePerElement, 4);
      refusing.add_input(1, frame::kBoolean, frame::kOnePerElement, 4);
      refusing.add_input(3, frame::kInteger, frame::kArrayPerElement, 4);
      refusing.add_output(208, frame::kInteger, frame::kArrayPerElement, 4);
      refusing.add_output(200, frame::kText, frame::kArrayPerElement, 4);
      refusing.pull(output);
      refusing.fail_acquisition(refused);
      refusing.index_range(4);
      const xsi_host::CallResult call = refusing.run(evaluate);
      EXPECT_EQ(call.status, XSI::CStatus::Fail) << output << ", refused " << refused;
      EXPECT_TRUE(call.faults.empty()) << refused << ": " << call.faults.front();
      EXPECT_EQ(call.acquisitions, refused);
      for (ULONG k = 0; k < 4; ++k) EXPECT_FALSE(refusing.port(output)->written(k)) << refused;
    }
  };
  refuse_each(&frame::evaluate<Counter>, 208, 4);
  refuse_each(&frame::evaluate<Texter>, 200, 3);
}

// The frame's arrays driven directly: the binding of a node's table on one call.
template <class Node>
struct DirectCall {
  explicit DirectCall(xsi_host::Evaluation& evaluation)
      : evaluation(evaluation), context((evaluation.begin_call(), evaluation.context())) {
    binding.emplace(context);
    EXPECT_TRUE(binding->complete());
  }
  // Releases everything; gives the faults of the call.
  std::vector<std::string> end() {
    binding.reset();
    return evaluation.end_call().faults;
  }
  xsi_host::Evaluation& evaluation;
  XSI::ICENodeContext context;
  std::optional<frame::Binding<Node>> binding;
};

struct Booleans {
  static constexpr frame::NodeTable<1> table{
      .name = L"booleans",
      .inputs = {{{1, L"Flags", frame::kBoolean, frame::kOnePerElement}}},
      .output = {200, L"Out", frame::kText, frame::kOnePerElement},
  };
};

TEST(InputArray, ReadsEachBooleanBitAndNothingPastTheCount) {
  xsi_host::Evaluation evaluation{tests::strict_host()};
  xsi_host::PortData& flags = evaluation.add_input(1, frame::kBoolean, frame::kOnePerElement, 97);
  evaluation.add_output(200, frame::kText, frame::kOnePerElement, 1);
  const std::vector<ULONG> set = {0, 31, 32, 63, 64};
  for (const ULONG k : set) flags.set_boolean(k, true);
  DirectCall<Booleans> call(evaluation);
  std::vector<ULONG> read;
  for (ULONG k = 0; k < 100; ++k)
    if (call.binding->template input<0>().read(k)) read.push_back(k);
  EXPECT_EQ(read, set);
  EXPECT_TRUE(call.end().empty());
}

// A node with no input and one output of the given form.
template <ULONG DataType, ULONG Structure>
struct OutputOnly {
  static constexpr frame::NodeTable<0> table{
      .name = L"outputs", .inputs = {}, .output = {200, L"Out", DataType, Structure}};
};

// Each form of output, written where the walk asks and never past its count (3 elements); the
// marker in the output's own type.
template <ULONG DataType, ULONG Structure>
void expect_output_form(const std::vector<Value>& marker) {
  const wchar_t with_nul[] = {L'a', L'\0', L'b'};
  xsi_host::Evaluation evaluation{tests::strict_host()};
  xsi_host::PortData& data = evaluation.add_output(200, DataType, Structure, 3);
  {
    DirectCall<OutputOnly<DataType, Structure>> call(evaluation);
    auto& out = call.binding->output;
    if constexpr (Structure == frame::kOnePerElement) {
      out.write(2, std::wstring_view(with_nul, 3));
      out.write(3, L"past");
    } else if constexpr (DataType == frame::kText) {
      const std::wstring items[] = {L"x", std::wstring(with_nul, 3)};
      struct Item {
        std::wstring_view text;
        std::wstring_view view() const { return text; }
      };
      out.write_items(2, 2, [&](ULONG i) { return Item{items[i]}; });
      out.write_items(3, 1, [&](ULONG i) { return Item{items[i]}; });
    } else {
      out.write_items(3, 2, [](ULONG i) { return frame::Value<DataType>(5 + i); });
    }
    EXPECT_TRUE(call.end().empty());
  }
  if constexpr (Structure == frame::kOnePerElement) {
    EXPECT_EQ(data.value(2), Value(std::wstring(with_nul, 3)));
  } else if constexpr (DataType == frame::kText) {
    EXPECT_EQ(data.items(2), (std::vector<Value>{L"x", std::wstring(with_nul, 3)}));
  }
  EXPECT_FALSE(data.written(0));

  if constexpr (DataType != frame::kText || Structure == frame::kOnePerElement) {
    DirectCall<OutputOnly<DataType, Structure>> call(evaluation);
    frame::write_marker<DataType, Structure>(call.binding->output);
    EXPECT_TRUE(call.end().empty());
    EXPECT_EQ(data.items(0), marker);
    EXPECT_FALSE(data.written(1) || data.written(2));
  }
}

TEST(OutputArray, WritesEachFormInRangeAndTheMarkerInItsType) {
  expect_output_form<frame::kText, frame::kOnePerElement>({L"-1"});
  expect_output_form<frame::kText, frame::kArrayPerElement>({});
  expect_output_form<frame::kFloat, frame::kArrayPerElement>({-1.0f});
  expect_output_form<frame::kInteger, frame::kArrayPerElement>({-1});
}

TEST(TextCopies, KeepEveryCharacterAndNamesCompareWhole) {
  const wchar_t chars[] = {L'1', L'\0', L'\u00e9', L'\u2192'};
  const std::optional<XSI::CString> copy = frame::to_cstring(std::wstring_view(chars, 4));
  ASSERT_TRUE(copy.has_value());
  EXPECT_EQ(std::wstring_view(copy->GetWideString(), copy->Length()), std::wstring_view(chars, 4));
  EXPECT_EQ(frame::narrow_form(*copy), std::string_view("1\0\xe9?", 4));
  EXPECT_TRUE(frame::same_name(L"probe", L"probe"));
  for (const wchar_t* other : {L"prob", L"probes", L"probf", L""})
    EXPECT_FALSE(frame::same_name(L"probe", other));
}

TEST(WalkBits, CountsUpToTheTopOfTheRangeDoNotWrap) {
  // 2^27 words of zeros, which the system maps lazily, for the largest bit count there is.
  constexpr std::size_t kWords = std::size_t{1} << 27;
  const std::unique_ptr<ULONG, decltype(&std::free)> words(
      static_cast<ULONG*>(std::calloc(kWords, sizeof(ULONG))), &std::free);
  ASSERT_NE(words, nullptr);
  for (const ULONG bit : {0u, 0xFFFFFFE0u, 0xFFFFFFFEu, 0xFFFFFFFFu})
    words.get()[bit / 32] |= ULONG{1} << (bit % 32);
  std::vector<ULONG> walked;
  frame::walk_bits(words.get(), 0xFFFFFFFF, [&](ULONG k) { walked.push_back(k); });
  EXPECT_EQ(walked, (Elements{0, 0xFFFFFFE0, 0xFFFFFFFE}));  // bit 0xFFFFFFFF is past the count
}

TEST(AsInt32, KeepsNotFoundAndSaturatesPastTheLargest) {
  EXPECT_EQ(frame::as_int32(0), 0);
  EXPECT_EQ(frame::as_int32(2147483646), 2147483646);
  EXPECT_EQ(frame::as_int32(2147483647), 2147483647);
  EXPECT_EQ(frame::as_int32(2147483648u), 2147483647);
  EXPECT_EQ(frame::as_int32(4294967295u), 2147483647);
  EXPECT_EQ(frame::as_int32(std::wstring_view::npos), -1);
}

}  // namespace
