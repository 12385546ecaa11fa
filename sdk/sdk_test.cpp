// The stand-in SDK's pinned behaviour: texts, values, and the misuse it records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <utility>
#include <vector>

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
  EXPECT_EQ(std::string(CString(L"\u00ff\u0100").GetAsciiString()), "\xff?");  // 255 and 256
  CString widened;
  widened = "\xe9t\xe9";
  EXPECT_EQ(wide(widened), L"\u00e9t\u00e9");
}

TEST(CString, CopiesAndJoinsKeepEveryCharacter) {
  const CString source(L"yz");
  CString copy(L"x");
  copy = source;
  EXPECT_EQ(wide(copy), L"yz");
  const CString& same = copy;
  copy = same;  // assigning a text to itself keeps it
  EXPECT_EQ(wide(copy), L"yz");
  copy += CString(L"\u00e9");
  CString empty;
  empty += source;
  EXPECT_EQ(wide(copy) + wide(empty), L"yz\u00e9yz");
  EXPECT_TRUE(empty == source);
  EXPECT_FALSE(copy == source);
  EXPECT_EQ(std::string(copy.GetAsciiString()), "yz\xe9");  // the narrow form follows a change
}

TEST(CStringArray, AddCopyAndIndexPastTheEnd) {
  XSI::CStringArray array;
  array.Add(L"a");
  array.Add(CString());
  const XSI::CStringArray copy(array);
  XSI::CStringArray assigned;
  assigned = copy;
  for (const XSI::CStringArray* a : {&std::as_const(array), &copy, &std::as_const(assigned)}) {
    ASSERT_EQ(a->GetCount(), 2);
    EXPECT_EQ(wide((*a)[0]), L"a");
    EXPECT_TRUE((*a)[1].IsEmpty());
    EXPECT_TRUE((*a)[2].IsEmpty());  // past the end: the empty text
    EXPECT_TRUE((*a)[-1].IsEmpty());
  }
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

// Split against the plain cut by std::wstring_view::find, on random texts over a small alphabet
// so that separators meet, overlap, start and end the text; pieces long and short, each copied.
TEST(CString, SplitCutsWhereAPlainSearchCuts) {
  std::mt19937 random(7);
  auto random_text = [&](std::size_t max_length) {
    std::wstring text(random() % (max_length + 1), L'a');
    for (wchar_t& c : text) c = L"ab,"[random() % 3];
    return text;
  };
  for (int trial = 0; trial < 20'000; ++trial) {
    const std::wstring text = random_text(40);
    std::wstring separator = random_text(3);
    if (separator.empty()) separator = L",";
    std::vector<std::wstring> expected;
    const std::wstring_view view(text);
    std::size_t begin = 0;
    for (std::size_t at = view.find(separator); at != std::wstring_view::npos;
         at = view.find(separator, begin)) {
      if (at > begin) expected.emplace_back(view.substr(begin, at - begin));
      begin = at + separator.size();
    }
    if (begin < view.size()) expected.emplace_back(view.substr(begin));

    const XSI::CStringArray pieces = CString(text.c_str()).Split(separator.c_str());
    ASSERT_EQ(pieces.GetCount(), static_cast<long>(expected.size())) << trial;
    for (long i = 0; i < pieces.GetCount(); ++i) {
      const CString copy(pieces[i]);
      ASSERT_EQ(wide(copy), expected[static_cast<std::size_t>(i)]) << trial;
      ASSERT_EQ(copy.GetWideString()[copy.Length()], L'\0');
    }
  }
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

constexpr long kMax = std::numeric_limits<std::int32_t>::max();
constexpr long kMin = std::numeric_limits<std::int32_t>::min();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

TEST(CValue, EachTypeGivesItsText) {
  const wchar_t with_nul[] = {L'a', L'\0', L'b'};
  const struct {
    CValue value;
    CValue::DataType type;
    std::wstring text;
  } cases[] = {
      {CValue(), CValue::siEmpty, L""},
      {CValue(true), CValue::siBool, L"true"},
      {CValue(false), CValue::siBool, L"false"},
      {CValue(0), CValue::siInt4, L"0"},
      {CValue(-7), CValue::siInt4, L"-7"},
      {CValue(2147483647), CValue::siInt4, L"2147483647"},
      {CValue(0.1f), CValue::siFloat, L"0.1"},
      {CValue(16777216.0f), CValue::siFloat, L"16777216"},
      {CValue(1e-45f), CValue::siFloat, L"1e-45"},
      {CValue(3.4028235e38f), CValue::siFloat, L"3.4028235e+38"},
      {CValue(-kInf), CValue::siFloat, L"-inf"},
      {CValue(L"kestrune"), CValue::siString, L"kestrune"},
      {CValue(CString(with_nul, 3)), CValue::siString, std::wstring(with_nul, 3)},
      {CValue(L""), CValue::siString, L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.value.GetType(), c.type) << c.text;
    EXPECT_EQ(wide(CString(c.value)), c.text);
  }
}

TEST(CValue, FloatToIntegerTruncatesTowardZeroSaturatesAndNanGivesZero) {
  const struct {
    float value;
    long expected;
  } cases[] = {
      {kNan, 0},
      {-kNan, 0},
      {kInf, kMax},
      {-kInf, kMin},
      {3e9f, kMax},
      {-3e9f, kMin},
      {2147483648.0f, kMax},   // 2^31, the first float past the range
      {-2147483904.0f, kMin},  // the float next below -2^31
      {-2147483648.0f, kMin},
      {2147483520.0f, 2147483520},  // the largest float within the range
      {-2147483520.0f, -2147483520},
      {2.9f, 2},
      {-2.9f, -2},
      {0.99f, 0},
      {-0.99f, 0},
      {-0.0f, 0},
      {1.0f, 1},
      {-1.0f, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(static_cast<long>(CValue(c.value)), c.expected) << c.value;
}

TEST(CValue, IntegersAndBooleansAsNumbers) {
  EXPECT_EQ(static_cast<float>(CValue(-7)), -7.0f);
  EXPECT_EQ(static_cast<float>(CValue(16777217)), 16777216.0f);  // rounded to the nearest float
  EXPECT_EQ(static_cast<float>(CValue(static_cast<int>(kMin))), -2147483648.0f);
  EXPECT_EQ(static_cast<float>(CValue(true)), 1.0f);
  EXPECT_EQ(static_cast<float>(CValue(false)), 0.0f);
  EXPECT_EQ(static_cast<long>(CValue(true)), 1);
  EXPECT_EQ(static_cast<long>(CValue(false)), 0);
  EXPECT_EQ(static_cast<float>(CValue()), 0.0f);
  EXPECT_EQ(static_cast<long>(CValue()), 0);
  // A long is saturated to 32 bits where it is wider.
  EXPECT_EQ(static_cast<long>(CValue(std::numeric_limits<long>::min())), kMin);
  EXPECT_EQ(static_cast<long>(CValue(long{-5})), -5);
  if constexpr (sizeof(long) > 4) {
    EXPECT_EQ(static_cast<long>(CValue(static_cast<long>(kMax) + 1)), kMax);
    EXPECT_EQ(static_cast<long>(CValue(static_cast<long>(kMin) - 1)), kMin);
  }
}

TEST(CValue, TruthOfEachType) {
  const struct {
    CValue value;
    bool expected;
  } cases[] = {
      {CValue(), false},         {CValue(false), false},  {CValue(true), true},
      {CValue(0), false},        {CValue(-1), true},      {CValue(0.0f), false},
      {CValue(-0.0f), false},    {CValue(0.5f), true},    {CValue(L"true"), true},
      {CValue(L"false"), false}, {CValue(L"1"), true},    {CValue(L"0"), false},
      {CValue(L" 0.0 "), false}, {CValue(L"-2.5"), true}, {CValue(L"1e-3"), true},
      {CValue(L""), false},      {CValue(L"yes"), false}, {CValue(L"truex"), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(static_cast<bool>(c.value), c.expected) << wide(CString(c.value));
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
  const XSI::CBaseDataArray2D never_acquired;
  EXPECT_EQ(never_acquired.GetCount(), 1u);
  EXPECT_FALSE(never_acquired.IsConstant());
  context.ReleaseDataArray(fine);
  const xsi_host::CallResult result = evaluation.end_call();
  ASSERT_EQ(result.faults.size(), 1u);
  EXPECT_NE(result.faults[0].find("wrong type"), std::string::npos);
  EXPECT_EQ(result.acquisitions, 1u);
}

// The element operations, each called on the array of port 7 at element i (item j) with every
// out-value preset to something other than empty; whether it handed out anything.
struct ElementOperation {
  const char* name;
  ULONG data_type;
  bool per_item;  // on an array per element, else on one value per element
  bool (*call)(XSI::ICENodeContext&, XSI::CBaseDataArray&, XSI::CBaseDataArray2D&, ULONG i,
               ULONG j);
};

wchar_t g_unrelated[1];  // a pointer an operation that hands out nothing must replace

const ElementOperation kElementOperations[] = {
    {"GetStringData", XSI::siICENodeDataString, false,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray& one, XSI::CBaseDataArray2D&, ULONG i,
        ULONG) {
       const wchar_t* text = g_unrelated;
       ULONG length = 9;
       EXPECT_FALSE(context.GetStringData(one, i, text, length).Succeeded());
       return text == nullptr || text == g_unrelated || text[0] != L'\0' || length != 0;
     }},
    {"ResizeStringData", XSI::siICENodeDataString, false,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray& one, XSI::CBaseDataArray2D&, ULONG i,
        ULONG) {
       wchar_t* buffer = g_unrelated;
       EXPECT_FALSE(context.ResizeStringData(one, i, 4, buffer).Succeeded());
       return buffer != nullptr;
     }},
    {"SetStringData", XSI::siICENodeDataString, false,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray& one, XSI::CBaseDataArray2D&, ULONG i,
        ULONG) { return context.SetStringData(one, i, L"new", 3).Succeeded(); }},
    {"GetSubArray", XSI::siICENodeDataLong, true,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray&, XSI::CBaseDataArray2D& many, ULONG i,
        ULONG) {
       const void* items = g_unrelated;
       ULONG count = 9, item_size = 9;
       EXPECT_FALSE(context.GetSubArray(many, i, items, count, item_size).Succeeded());
       return items != nullptr || count != 0 || item_size != 0;
     }},
    {"ResizeSubArray", XSI::siICENodeDataLong, true,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray&, XSI::CBaseDataArray2D& many, ULONG i,
        ULONG) {
       void* items = g_unrelated;
       ULONG count = 9, item_size = 9;
       EXPECT_FALSE(context.ResizeSubArray(many, i, 4, items, count, item_size).Succeeded());
       return items != nullptr || count != 0 || item_size != 0;
     }},
    {"ResizeStringData2D", XSI::siICENodeDataString, true,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray&, XSI::CBaseDataArray2D& many, ULONG i,
        ULONG j) {
       wchar_t* buffer = g_unrelated;
       EXPECT_FALSE(context.ResizeStringData2D(many, i, j, 4, buffer).Succeeded());
       return buffer != nullptr;
     }},
    {"SetStringData2D", XSI::siICENodeDataString, true,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray&, XSI::CBaseDataArray2D& many, ULONG i,
        ULONG j) { return context.SetStringData2D(many, i, j, L"new", 3).Succeeded(); }},
    {"GetStringData2D", XSI::siICENodeDataString, true,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray&, XSI::CBaseDataArray2D& many, ULONG i,
        ULONG j) {
       const wchar_t* text = g_unrelated;
       ULONG length = 9;
       EXPECT_FALSE(context.GetStringData2D(many, i, j, text, length).Succeeded());
       return text == nullptr || text == g_unrelated || text[0] != L'\0' || length != 0;
     }},
    {"SetIntegerData", XSI::siICENodeDataLong, false,
     [](XSI::ICENodeContext& context, XSI::CBaseDataArray& one, XSI::CBaseDataArray2D&, ULONG i,
        ULONG) { return context.SetIntegerData(one, i, 5).Succeeded(); }},
};

enum class Misuse { past_element_count, past_item_count, never_acquired, after_release, numbers };

// Calls op on output port 7 of 3 elements (two items each where it holds arrays) as misuse
// says (numbers: a port of integers, not of op's type); expects that it hands out and changes
// nothing, and gives the faults recorded.
std::vector<std::string> misuse(const ElementOperation& op, Misuse misuse) {
  xsi_host::Evaluation evaluation;
  const ULONG type = misuse == Misuse::numbers ? XSI::siICENodeDataLong : op.data_type;
  xsi_host::PortData& port = evaluation.add_output(
      7, type, op.per_item ? XSI::siICENodeStructureArray : XSI::siICENodeStructureSingle, 3);
  const std::int32_t numbers[] = {1, 2};
  const std::wstring texts[] = {L"one", L"two"};
  std::vector<std::vector<xsi_host::Value>> before;
  for (ULONG k = 0; k < 3; ++k) {
    port.set_text(k, L"old");
    port.set_integers(k, numbers);
    port.set_texts(k, texts);
    before.push_back(port.items(k));
  }
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray one;
  XSI::CBaseDataArray2D many;
  if (misuse != Misuse::never_acquired) {
    EXPECT_TRUE((op.per_item ? context.AcquireOutputDataArray2D(many, type)
                             : context.AcquireOutputDataArray(one, type))
                    .Succeeded());
  }
  // A released handle is reset: the misuse goes through a copy taken before the release.
  XSI::CBaseDataArray one_copy = one;
  XSI::CBaseDataArray2D many_copy = many;
  auto release = [&] {
    op.per_item ? context.ReleaseDataArray(many) : context.ReleaseDataArray(one);
  };
  if (misuse == Misuse::after_release) release();
  const ULONG i = misuse == Misuse::past_element_count ? 3 : 1;
  const ULONG j = misuse == Misuse::past_item_count ? 2 : 0;
  EXPECT_FALSE(op.call(context, one_copy, many_copy, i, j)) << op.name << " handed out";
  if (misuse != Misuse::never_acquired && misuse != Misuse::after_release) release();
  const std::vector<std::string> faults = evaluation.end_call().faults;
  for (ULONG k = 0; k < 3; ++k) {
    EXPECT_FALSE(port.written(k)) << op.name << " marked element " << k;
    EXPECT_EQ(port.items(k), before[k]) << op.name << " changed element " << k;
  }
  return faults;
}

// Expects the one fault of each operation misused so, with its text after the operation's name.
void expect_fault_per_operation(Misuse how, const std::string& text, bool text_items_only) {
  for (const ElementOperation& op : kElementOperations) {
    if (text_items_only && !(op.per_item && op.data_type == XSI::siICENodeDataString)) continue;
    const std::vector<std::string> faults = misuse(op, how);
    ASSERT_EQ(faults.size(), 1u) << op.name;
    EXPECT_EQ(faults[0].rfind(op.name + text, 0), 0u) << faults[0];
  }
}

TEST(ElementOperations, PastTheElementCountAreRecordedAndChangeNothing) {
  expect_fault_per_operation(Misuse::past_element_count, " at element 3 of port 7, past its count",
                             false);
}

TEST(ElementOperations, PastAnElementsItemCountAreRecordedAndChangeNothing) {
  expect_fault_per_operation(Misuse::past_item_count,
                             " at item 2 of element 1 of port 7, past its count of 2", true);
}

TEST(ElementOperations, OnArraysNotHeldAreRecordedAndChangeNothing) {
  expect_fault_per_operation(Misuse::never_acquired, " on an array that was never acquired", false);
  expect_fault_per_operation(Misuse::after_release, " on the array of port 7 after its release",
                             false);
}

// A text operation on an array of numbers has no text to give or take: it fails, as an
// operation on an element that is not there does.
TEST(ElementOperations, OfTextsOnAnArrayOfNumbersChangeNothing) {
  for (const ElementOperation& op : kElementOperations) {
    if (op.data_type != XSI::siICENodeDataString) continue;
    EXPECT_EQ(misuse(op, Misuse::numbers), std::vector<std::string>()) << op.name;
  }
}

TEST_F(TextEvaluation, ReleasesOfWhatIsNotHeldAreRecorded) {
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray never, in;
  XSI::CIndexSet set;
  context.ReleaseDataArray(never);
  context.AcquireInputDataArray(in, XSI::siICENodeDataString, 0, 0);
  const XSI::CBaseDataArray copy = in;
  context.ReleaseDataArray(in);
  XSI::CBaseDataArray again = copy;
  context.ReleaseDataArray(again);
  context.AcquireIndexSet(set);
  XSI::CBaseDataArray2D as_2d;
  context.ReleaseDataArray(as_2d);
  context.ReleaseIndexSet(set);
  const auto faults = evaluation.end_call().faults;
  ASSERT_EQ(faults.size(), 2u);  // the same fault twice is recorded once
  EXPECT_EQ(faults[0], "released an array or index set that was never acquired");
  EXPECT_EQ(faults[1], "released the array of port 0 twice");
}

// What the host stores in a port, in each form; a setter past the count changes nothing, not
// even the bits of a boolean port's last word that lie past its count.
TEST(PortData, StoresEachFormAndNothingPastTheCount) {
  for (const ULONG count : {1u, 33u, 70u}) {
    xsi_host::Evaluation evaluation;
    xsi_host::PortData& port =
        evaluation.add_input(0, XSI::siICENodeDataBool, XSI::siICENodeStructureSingle, count);
    std::vector<bool> expected(count, false);
    for (const ULONG k : std::vector<ULONG>{0, 31, 32, 33, 63, 64, count - 1, count, count + 1}) {
      port.set_boolean(k, true);
      if (k < count) expected[k] = true;
    }
    port.set_boolean(std::min<ULONG>(count - 1, 32), false);
    expected[std::min<ULONG>(count - 1, 32)] = false;
    for (ULONG k = 0; k < count; ++k)
      EXPECT_EQ(port.value(k), xsi_host::Value(bool(expected[k]))) << count << ": " << k;
    EXPECT_EQ(port.value(count), xsi_host::Value());
    EXPECT_EQ(port.item_count(count), 0u);
    EXPECT_TRUE(port.items(count).empty());

    evaluation.begin_call();
    XSI::ICENodeContext context = evaluation.context();
    XSI::CBaseDataArray array;
    context.AcquireInputDataArray(array, XSI::siICENodeDataBool, 0, 0);
    const auto* words = static_cast<const std::uint32_t*>(array.GetData());
    for (ULONG k = count; k % 32 != 0; ++k)
      EXPECT_EQ((words[k / 32] >> (k % 32)) & 1u, 0u) << count << ": bit " << k;
    context.ReleaseDataArray(array);
    EXPECT_TRUE(evaluation.end_call().faults.empty());
  }

  const std::int32_t integers[] = {4, -5};
  const float floats[] = {1.5f};
  const std::wstring texts[] = {L"a", L"", L"c"};
  xsi_host::PortData integer(1, XSI::siICENodeDataLong, XSI::siICENodeStructureArray, 2);
  xsi_host::PortData real(2, XSI::siICENodeDataFloat, XSI::siICENodeStructureArray, 2);
  xsi_host::PortData text(3, XSI::siICENodeDataString, XSI::siICENodeStructureArray, 2);
  xsi_host::PortData single(4, XSI::siICENodeDataLong, XSI::siICENodeStructureSingle, 2);
  xsi_host::PortData flags(5, XSI::siICENodeDataBool, XSI::siICENodeStructureArray, 2);
  for (const ULONG k : {1u, 2u}) {
    integer.set_integers(k, integers);
    real.set_floats(k, floats);
    text.set_texts(k, texts);
    single.set_integer(k, -9);
    flags.set_booleans(k, {true, false, true, true});
  }
  EXPECT_EQ(integer.items(1), (std::vector<xsi_host::Value>{4, -5}));
  EXPECT_EQ(real.items(1), (std::vector<xsi_host::Value>{1.5f}));
  EXPECT_EQ(text.items(1), (std::vector<xsi_host::Value>{L"a", L"", L"c"}));
  EXPECT_EQ(single.items(1), (std::vector<xsi_host::Value>{-9}));
  const std::vector<std::pair<const xsi_host::PortData*, ULONG>> item_counts = {
      {&integer, 2}, {&real, 1}, {&text, 3}, {&single, 1}, {&flags, 4}};
  for (const auto& [port, items] : item_counts) {
    EXPECT_EQ(port->item_count(1), items) << port->id();
    EXPECT_EQ(port->item_count(0), port == &single ? 1u : 0u) << port->id();
    EXPECT_TRUE(port->items(0).size() == port->item_count(0)) << port->id();
    EXPECT_EQ(port->item_count(2), 0u) << port->id();
  }
}

// What one element operation writes, the next reads back, and the element is marked written.
TEST(ElementOperations, WhatIsWrittenReadsBack) {
  xsi_host::Evaluation evaluation;
  evaluation.add_input(1, XSI::siICENodeDataFloat, XSI::siICENodeStructureArray, 2)
      .set_floats(1, std::vector<float>{0.5f, -2.0f});
  xsi_host::PortData& texts =
      evaluation.add_output(200, XSI::siICENodeDataString, XSI::siICENodeStructureArray, 3);
  const std::wstring old_texts[] = {L"x", L"y"};
  texts.set_texts(0, old_texts);
  texts.set_texts(1, old_texts);
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray2D out, in;
  context.AcquireOutputDataArray2D(out, XSI::siICENodeDataString);
  context.AcquireInputDataArray2D(in, XSI::siICENodeDataFloat, 1, 0);
  const void* items = nullptr;
  ULONG count = 0, item_size = 0;
  EXPECT_TRUE(context.GetSubArray(in, 1, items, count, item_size).Succeeded());
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(item_size, sizeof(float));
  EXPECT_EQ(static_cast<const float*>(items)[1], -2.0f);
  wchar_t* buffer = nullptr;
  EXPECT_TRUE(context.ResizeStringData2D(out, 1, 1, 2, buffer).Succeeded());
  ASSERT_NE(buffer, nullptr);
  buffer[0] = L'o';
  buffer[1] = L'k';
  EXPECT_TRUE(context.SetStringData2D(out, 0, 0, L"new", 3).Succeeded());
  const wchar_t* text = nullptr;
  ULONG length = 0;
  EXPECT_TRUE(context.GetStringData2D(out, 0, 1, text, length).Succeeded());
  EXPECT_EQ(std::wstring_view(text, length), L"y");
  EXPECT_TRUE(context.GetSubArray(out, 1, items, count, item_size).Succeeded());
  EXPECT_EQ(count, 2u);  // of texts, each read with GetStringData2D
  context.ReleaseDataArray(in);
  context.ReleaseDataArray(out);
  const auto faults = evaluation.end_call().faults;
  EXPECT_EQ(texts.items(0), (std::vector<xsi_host::Value>{L"new", L"y"}));
  EXPECT_EQ(texts.items(1), (std::vector<xsi_host::Value>{L"x", L"ok"}));
  EXPECT_TRUE(texts.written(0) && texts.written(1));
  EXPECT_FALSE(texts.written(2));
  EXPECT_TRUE(faults.empty());
}

// Each one-value output is set element by element, and only the element set is marked.
TEST(ElementOperations, OneValueOutputsAreSetElementByElement) {
  xsi_host::Evaluation evaluation;
  xsi_host::PortData& flags =
      evaluation.add_output(1, XSI::siICENodeDataBool, XSI::siICENodeStructureSingle, 40);
  xsi_host::PortData& integers =
      evaluation.add_output(2, XSI::siICENodeDataLong, XSI::siICENodeStructureSingle, 3);
  xsi_host::PortData& floats =
      evaluation.add_output(3, XSI::siICENodeDataFloat, XSI::siICENodeStructureSingle, 3);
  flags.set_boolean(34, true);
  XSI::CBaseDataArray arrays[3];
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  for (ULONG id : {1u, 2u, 3u}) {
    evaluation.pull(id);
    context.AcquireOutputDataArray(arrays[id - 1], evaluation.port(id)->data_type());
  }
  EXPECT_TRUE(context.SetBooleanData(arrays[0], 33, true).Succeeded());
  EXPECT_TRUE(context.SetBooleanData(arrays[0], 34, false).Succeeded());
  EXPECT_TRUE(context.SetIntegerData(arrays[1], 2, -7).Succeeded());
  EXPECT_TRUE(context.SetFloatData(arrays[2], 0, 1.5f).Succeeded());
  EXPECT_FALSE(context.SetFloatData(arrays[1], 1, 1.5f).Succeeded());  // not a float array
  for (int a = 2; a >= 0; --a) context.ReleaseDataArray(arrays[a]);
  EXPECT_TRUE(evaluation.end_call().faults.empty());
  EXPECT_EQ(flags.value(33), xsi_host::Value(true));
  EXPECT_EQ(flags.value(34), xsi_host::Value(false));
  EXPECT_EQ(flags.value(32), xsi_host::Value(false));
  EXPECT_EQ(integers.value(2), xsi_host::Value(-7));
  EXPECT_EQ(integers.value(1), xsi_host::Value(0));
  EXPECT_EQ(floats.value(0), xsi_host::Value(1.5f));
  EXPECT_TRUE(flags.written(33) && flags.written(34) && integers.written(2) && floats.written(0));
  EXPECT_FALSE(flags.written(32) || integers.written(1) || floats.written(1));
}

// The unforgiving host keeps every promise and takes every freedom: if it gave what the
// ordinary host gives, the suites run against it would prove nothing.
TEST(StrictHost, KeepsThePromisesAndTakesTheFreedoms) {
  xsi_host::Evaluation evaluation(true);
  xsi_host::PortData& in =
      evaluation.add_input(0, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, 2);
  evaluation.add_output(200, XSI::siICENodeDataFloat, XSI::siICENodeStructureArray, 2);
  xsi_host::PortData& integers =
      evaluation.add_output(201, XSI::siICENodeDataLong, XSI::siICENodeStructureSingle, 2);
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

  evaluation.pull(201);
  XSI::CBaseDataArray numbers;
  EXPECT_TRUE(context.AcquireOutputDataArray(numbers, XSI::siICENodeDataLong).Succeeded());
  EXPECT_FALSE(context.SetIntegerData(numbers, 1, -3).Succeeded());
  EXPECT_EQ(integers.value(1), xsi_host::Value(-3));
  context.ReleaseDataArray(numbers);

  EXPECT_EQ(set.GetCount(), 3u);
  EXPECT_EQ(set.GetData()[0] & 0b111, 0b101u);
  EXPECT_EQ(set.GetData()[0] >> 3, 0xFFFFFFFF >> 3);  // every bit from the count on

  EXPECT_FALSE(context.ReleaseIndexSet(set).Succeeded());
  context.ReleaseDataArray(text_array);
  context.ReleaseDataArray(out);
  EXPECT_TRUE(evaluation.end_call().faults.empty());
}

// Past every count, the unforgiving host hands out what a walk or a reader that overran would
// trip over: a boolean array's bits set, a list's element indices.
TEST(StrictHost, FillsWhatLiesPastEveryCount) {
  xsi_host::Evaluation evaluation(true);
  evaluation.add_input(0, XSI::siICENodeDataBool, XSI::siICENodeStructureSingle, 40)
      .set_boolean(1, true);
  evaluation.add_input(1, XSI::siICENodeDataLong, XSI::siICENodeStructureSingle, 2)
      .set_integer(1, 7);
  xsi_host::PortData& constant =
      evaluation.add_input(2, XSI::siICENodeDataLong, XSI::siICENodeStructureSingle, 3);
  constant.constant = true;
  constant.set_integer(0, 5);
  constant.set_integer(1, 5);
  xsi_host::PortData& texts =
      evaluation.add_input(3, XSI::siICENodeDataString, XSI::siICENodeStructureArray, 1);
  const std::wstring two[] = {L"a", L"b"};
  texts.set_texts(0, two);
  evaluation.index_list({1});
  evaluation.begin_call();
  XSI::ICENodeContext context = evaluation.context();
  XSI::CBaseDataArray booleans, integers, one_for_all;
  XSI::CBaseDataArray2D text_items;
  XSI::CIndexSet set;
  context.AcquireInputDataArray(booleans, XSI::siICENodeDataBool, 0, 0);
  context.AcquireInputDataArray(integers, XSI::siICENodeDataLong, 1, 0);
  context.AcquireInputDataArray(one_for_all, XSI::siICENodeDataLong, 2, 0);
  context.AcquireInputDataArray2D(text_items, XSI::siICENodeDataString, 3, 0);
  context.AcquireIndexSet(set);
  // A constant array's element 0 stands for all: what follows it is garbage.
  EXPECT_TRUE(one_for_all.IsConstant());
  EXPECT_EQ(static_cast<const std::int32_t*>(one_for_all.GetData())[0], 5);
  EXPECT_NE(static_cast<const std::int32_t*>(one_for_all.GetData())[1], 5);
  // The texts of an array are counted; the pointer beside the count is not theirs.
  const void* items = nullptr;
  ULONG count = 0, item_size = 0;
  context.GetSubArray(text_items, 0, items, count, item_size);
  EXPECT_EQ(count, 2u);
  EXPECT_NE(items, nullptr);
  const auto* bits = static_cast<const std::uint32_t*>(booleans.GetData());
  EXPECT_EQ(bits[0], 0b10u);
  EXPECT_EQ(bits[1], 0xFFFFFF00u);  // elements 32 to 39 false, every bit from 40 on set
  EXPECT_EQ(bits[2], 0xFFFFFFFFu);
  const auto* numbers = static_cast<const std::int32_t*>(integers.GetData());
  EXPECT_EQ(numbers[0], 0);
  EXPECT_EQ(numbers[1], 7);
  ASSERT_EQ(set.GetCount(), 1u);
  EXPECT_EQ(std::vector<ULONG>(set.GetData(), set.GetData() + 5),
            (std::vector<ULONG>{1, 0, 1, 2, 3}));
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(text_items);
  context.ReleaseDataArray(one_for_all);
  context.ReleaseDataArray(integers);
  context.ReleaseDataArray(booleans);
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
  definition.AddOutputPort(200, 4, 2, 63, L"Out", L"OutScript", 1, 2, 3);
  const auto& node = session.registration().nodes.at(0);
  ASSERT_EQ(node.ports.size(), 3u);
  EXPECT_EQ(node.ports[1].id, 2u);
  EXPECT_TRUE(node.calls[1].failed);
  ASSERT_EQ(session.assertion_failures().size(), 1u);
  EXPECT_EQ(session.assertion_failures()[0].after_call, "AddInputPort");
  // Each call is recorded with its arguments in the order the operation takes them.
  using V = xsi_host::Value;
  EXPECT_EQ(node.calls[0].arguments,
            (std::vector<V>{0u, 100u, 1u, 1u, 63u, L"P", L"P", false, V(), V(), 0u, 0u, 402u}));
  ASSERT_EQ(node.calls.size(), 4u);
  EXPECT_EQ(node.calls[3].operation, "AddOutputPort");
  EXPECT_EQ(node.calls[3].arguments,
            (std::vector<V>{200u, 4u, 2u, 63u, L"Out", L"OutScript", 1u, 2u, 3u}));
  EXPECT_FALSE(node.ports[2].is_input);
  EXPECT_EQ(node.ports[2].group, XSI::kNotFound);
  EXPECT_EQ(node.ports[2].script_name, L"OutScript");
}

// A definition call on a definition the factory never made fails and records nothing.
TEST(Session, DefinitionCallsOnNoDefinitionFail) {
  const std::vector<XSI::CStatus (*)(XSI::ICENodeDef&)> calls = {
      [](XSI::ICENodeDef& d) { return d.PutColor(1, 2, 3); },
      [](XSI::ICENodeDef& d) { return d.AddPortGroup(100, 1, 1, CString()); },
      [](XSI::ICENodeDef& d) {
        return d.AddInputPort(0, 100, 1, 1, 63, L"P", L"P", CValue(false), CValue(), CValue(), 0, 0,
                              402);
      },
      [](XSI::ICENodeDef& d) { return d.AddOutputPort(200, 4, 1, 63, L"O", L"O", 1, 2, 3); },
  };
  xsi_host::Session session;
  const xsi_host::SessionScope scope(session);
  XSI::ICENodeDef made;
  made = XSI::Application().GetFactory().CreateICENodeDef(L"n", L"n");
  for (std::size_t c = 0; c < calls.size(); ++c) {
    XSI::ICENodeDef none;
    EXPECT_FALSE(calls[c](none).Succeeded()) << c;
    EXPECT_TRUE(calls[c](made).Succeeded()) << c;
  }
  EXPECT_EQ(session.registration().nodes.at(0).calls.size(), calls.size());
}

// Refusals are kept without allocating: the first eight by name, then only their count. A log
// sink that runs out of memory makes each LogMessage a refusal.
TEST(Session, RefusalsPastTheFirstEightAreCounted) {
  xsi_host::Session session;
  session.on_log([](const xsi_host::LogLine&) { throw std::bad_alloc(); });
  const xsi_host::SessionScope scope(session);
  for (int i = 0; i < 10; ++i)
    EXPECT_FALSE(XSI::Application().LogMessage(L"line").Succeeded()) << i;
  std::vector<std::string> expected(8, "LogMessage");
  expected.push_back("and 2 more");
  EXPECT_EQ(session.out_of_memory(), expected);
  EXPECT_EQ(session.log().size(), 10u);
}

}  // namespace
