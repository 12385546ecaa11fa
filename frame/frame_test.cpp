// The evaluation frame, through two probe nodes built into this test, one of each way a node
// computes: which elements a walk reaches, the marker, a computation without memory, the
// constant flags, and the release of everything on every path.
#include "frame_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace frame_test {
namespace {

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

}  // namespace
}  // namespace frame_test
