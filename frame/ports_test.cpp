// The frame's parts driven directly, without its evaluation: a binding's arrays read and
// written on one call, the host's texts, the walk of a bit set, a count as the host's integer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/evaluate.h"
#include "frame/host_text.h"
#include "host_mode.h"
#include "xsi_host.h"

namespace {

using frame::ULONG;
using xsi_host::Value;
using Elements = std::vector<ULONG>;

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
