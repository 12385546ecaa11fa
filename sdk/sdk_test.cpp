// The stand-in SDK's pinned behaviour: texts, values, and the misuse it records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "xsi_host.h"
#include "xsi_sdk.h"

namespace {

using XSI::CString;
using XSI::CValue;
using XSI::ULONG;

std::wstring wide(const CString& text) { return std::wstring(text.GetWideString(), text.Length()); }

TEST(CString, KeepsEmbeddedNulAndCountsCharacters) {
  const wchar_t chars[] = {L'a', L'\0', L'b'};
  const CString text(chars, 3);
  EXPECT_EQ(text.Length(), 3u);
  EXPECT_EQ(wide(text), std::wstring(chars, 3));
  EXPECT_TRUE(CString().IsEmpty());
  EXPECT_EQ(CString().GetWideString()[0], L'\0');
  EXPECT_EQ(wide(CString(L"kestrune Plugin") + L" has been unloaded."),
            L"kestrune Plugin has been unloaded.");
}

TEST(CString, NarrowFormHasOneByteACharacter) {
  const CString text(L"a\u00e9\u2192\U0001F600z");
  const std::string narrow = text.GetAsciiString();
  const std::string expected = sizeof(wchar_t) == 2 ? "a\xe9???z" : "a\xe9??z";
  EXPECT_EQ(narrow, expected);
  CString widened;
  widened = "\xe9t\xe9";
  EXPECT_EQ(wide(widened), L"\u00e9t\u00e9");
}

TEST(CString, FindStringIsExactAndEmptyOccursNowhere) {
  const CString text(L"abcABCabc");
  EXPECT_EQ(text.FindString(L"ABC"), 3u);
  EXPECT_EQ(text.FindString(L"abc", 1), 6u);
  EXPECT_EQ(text.FindString(L"abd"), XSI::kNotFound);
  EXPECT_EQ(text.FindString(CString()), XSI::kNotFound);
  EXPECT_EQ(CString().FindString(L"a"), XSI::kNotFound);
}

TEST(CString, SplitDropsEmptyPiecesAndNeverLoops) {
  auto pieces = [](const wchar_t* text, const wchar_t* separator) {
    const XSI::CStringArray array = CString(text).Split(separator);
    std::wstring joined;
    for (long i = 0; i < array.GetCount(); ++i) joined += L"[" + wide(array[i]) + L"]";
    return joined;
  };
  EXPECT_EQ(pieces(L"a,,b,", L","), L"[a][b]");
  EXPECT_EQ(pieces(L",,,", L","), L"");
  EXPECT_EQ(pieces(L"1::2:::3", L"::"), L"[1][2][:3]");
  EXPECT_EQ(pieces(L"abc", L""), L"[abc]");
  EXPECT_EQ(pieces(L"", L""), L"");
  EXPECT_EQ(pieces(L"10203", L"0"), L"[1][2][3]");
}

TEST(CValue, TextOfNumbersIsShortestRoundTrip) {
  EXPECT_EQ(wide(CString(CValue(1.36f))), L"1.36");
  EXPECT_EQ(wide(CString(CValue(-2.0f))), L"-2");
  EXPECT_EQ(wide(CString(CValue(1e20f))), L"1e+20");
  EXPECT_EQ(wide(CString(CValue(-0.0f))), L"-0");
  EXPECT_EQ(wide(CString(CValue(std::numeric_limits<float>::infinity()))), L"inf");
  EXPECT_EQ(wide(CString(CValue(-std::numeric_limits<float>::quiet_NaN()))), L"nan");
  EXPECT_EQ(wide(CString(CValue(-2147483647 - 1))), L"-2147483648");
  EXPECT_EQ(wide(CString(CValue(true))), L"true");
  EXPECT_EQ(wide(CString(CValue())), L"");
}

TEST(CValue, ReadsNumbersFromText) {
  EXPECT_EQ(static_cast<float>(CValue(L" +4.6704993 ")), 4.6704993f);
  EXPECT_EQ(static_cast<float>(CValue(L"abc")), 0.0f);
  EXPECT_EQ(static_cast<long>(CValue(L"-2.9")), -2);
  EXPECT_EQ(static_cast<long>(CValue(L"1e10")), 2147483647);
  EXPECT_EQ(static_cast<long>(CValue(std::numeric_limits<long>::max())), 2147483647);
}

// An evaluation with one text input and one text output of three elements.
struct TextEvaluation : ::testing::Test {
  TextEvaluation() {
    input = &evaluation.add_input(0, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, 3);
    evaluation.add_output(200, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, 3);
    input->set_text(0, L"zero");
  }
  xsi_host::Evaluation evaluation;
  xsi_host::PortData* input;
};

TEST_F(TextEvaluation, ElementPastTheCountReadsEmptyWritesNothingAndIsRecorded) {
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray out, in;
  context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  context.AcquireInputDataArray(in, XSI::siICENodeDataString, 0, 0);
  const wchar_t* text = nullptr;
  ULONG length = 7;
  context.GetStringData(in, 0, text, length);
  EXPECT_EQ(std::wstring(text, length), L"zero");
  context.GetStringData(in, 3, text, length);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(context.SetStringData(out, 5, L"x", 1).GetCode(), XSI::CStatus::Fail);
  context.ReleaseDataArray(in);
  context.ReleaseDataArray(out);
  const auto faults = evaluation.end_call().faults;
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_NE(faults[0].find("element 3 of port 0"), std::string::npos);
  EXPECT_NE(faults[1].find("element 5 of port 200"), std::string::npos);
}

TEST_F(TextEvaluation, ReleaseOutOfOrderAndNeverReleasedAreRecorded) {
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray out, in;
  XSI::CIndexSet set;
  context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
  context.AcquireInputDataArray(in, XSI::siICENodeDataString, 0, 0);
  context.AcquireIndexSet(set);
  context.ReleaseDataArray(out);
  context.ReleaseIndexSet(set);
  const auto faults = evaluation.end_call().faults;
  ASSERT_EQ(faults.size(), 2u);
  EXPECT_NE(faults[0].find("released the array of port 200 before the index set"),
            std::string::npos);
  EXPECT_NE(faults[1].find("the array of port 0 was acquired and never released"),
            std::string::npos);
}

TEST_F(TextEvaluation, AcquisitionsTheHostRefusesLeaveTheArrayUnacquired) {
  // The wrong type (a fault of the plug-in's), a port the evaluation lacks, and an acquisition
  // made to fail: each reports failure and leaves the array as it was, with nothing to release.
  evaluation.fail_acquisition(2);
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray wrong_type, no_port, refused, fine;
  EXPECT_FALSE(
      context.AcquireInputDataArray(wrong_type, XSI::siICENodeDataFloat, 0, 0).Succeeded());
  EXPECT_FALSE(context.AcquireInputDataArray(no_port, XSI::siICENodeDataString, 9, 0).Succeeded());
  EXPECT_FALSE(context.AcquireInputDataArray(refused, XSI::siICENodeDataString, 0, 0).Succeeded());
  EXPECT_TRUE(context.AcquireInputDataArray(fine, XSI::siICENodeDataString, 0, 0).Succeeded());
  for (const XSI::CBaseDataArray* array : {&wrong_type, &no_port, &refused}) {
    EXPECT_EQ(array->GetCount(), 1u);
    EXPECT_EQ(array->GetData(), nullptr);
  }
  EXPECT_EQ(fine.GetCount(), 3u);
  context.ReleaseDataArray(fine);
  const xsi_host::CallResult result = evaluation.end_call();
  ASSERT_EQ(result.faults.size(), 1u);
  EXPECT_NE(result.faults[0].find("wrong type"), std::string::npos);
  EXPECT_EQ(result.acquisitions, 1u);
}

// The unforgiving host keeps every promise and takes every freedom: if it gave what the
// ordinary host gives, the suites run against it would prove nothing.
TEST(StrictHost, KeepsThePromisesAndTakesTheFreedoms) {
  xsi_host::Evaluation evaluation(true);
  xsi_host::PortData& in =
      evaluation.add_input(0, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, 2);
  evaluation.add_output(200, XSI::siICENodeDataFloat, XSI::siICENodeStructureArray, 2);
  in.set_text(0, L"zero");
  evaluation.index_bits({true, false, true});
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray2D out;
  XSI::CBaseDataArray text_array;
  XSI::CIndexSet set;
  EXPECT_TRUE(context.AcquireOutputDataArray2D(out, XSI::siICENodeDataFloat).Succeeded());
  EXPECT_TRUE(
      context.AcquireInputDataArray(text_array, XSI::siICENodeDataString, 0, 0).Succeeded());
  EXPECT_TRUE(context.AcquireIndexSet(set).Succeeded());

  const wchar_t* text = nullptr;
  ULONG length = 0;
  EXPECT_FALSE(context.GetStringData(text_array, 0, text, length).Succeeded());
  ASSERT_EQ(std::wstring(text, length), L"zero");
  EXPECT_NE(text[length], L'\0');  // no terminator
  EXPECT_NE(text_array.GetData(), nullptr);

  void* items = nullptr;
  ULONG count = 0;
  ULONG item_size = 0;
  EXPECT_FALSE(context.ResizeSubArray(out, 1, 3, items, count, item_size).Succeeded());
  ASSERT_NE(items, nullptr);
  EXPECT_NE(count, 3u);
  EXPECT_NE(item_size, sizeof(float));
  const auto* stale = static_cast<const std::uint32_t*>(items);
  EXPECT_NE(stale[0] | stale[1] | stale[2], 0u);  // not zeroed
  static_cast<float*>(items)[2] = 2.5f;
  EXPECT_EQ(evaluation.port(200)->items(1).at(2), xsi_host::Value(2.5f));  // n writable items

  EXPECT_EQ(set.GetCount(), 3u);
  EXPECT_EQ(set.GetData()[0] & 0b111, 0b101u);
  EXPECT_EQ(set.GetData()[0] >> 3, 0xFFFFFFFF >> 3);  // every bit from the count on

  EXPECT_FALSE(context.ReleaseIndexSet(set).Succeeded());
  context.ReleaseDataArray(text_array);
  context.ReleaseDataArray(out);
  EXPECT_TRUE(evaluation.end_call().faults.empty());
}

TEST(Session, FailedDefinitionCallIsRecordedAndAsserted) {
  xsi_host::Session session;
  session.fail_call("AddInputPort", 1);
  const xsi_host::SessionScope scope(session);
  XSI::ICENodeDef definition;
  definition = XSI::Application().GetFactory().CreateICENodeDef(L"n", L"n");
  for (ULONG id = 0; id < 3; ++id)
    definition
        .AddInputPort(id, 100, 1, 1, 63, L"P", L"P", CValue(false), CValue(), CValue(), 0, 0, 402)
        .AssertSucceeded(CString());
  const auto& node = session.registration().nodes.at(0);
  ASSERT_EQ(node.ports.size(), 2u);
  EXPECT_EQ(node.ports[1].id, 2u);
  EXPECT_TRUE(node.calls[1].failed);
  ASSERT_EQ(session.assertion_failures().size(), 1u);
  EXPECT_EQ(session.assertion_failures()[0].after_call, "AddInputPort");
}

}  // namespace
