// A host reuses its buffers from one batch of elements to the next: once an evaluation's storage
// has been sized, sizing it again to no more than it holds allocates nothing, and a plug-in's
// call allocates the same whatever the number of elements it walks. Allocations are counted by
// replacing the global operator new, which the SDK and the plug-ins share with this program.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "evaluation_setup.h"
#include "plugin_library.h"
#include "replaced_new.h"
#include "xsi_host.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void on_allocation() { ++allocations; }

namespace {

using XSI::ULONG;

constexpr ULONG kText = 1;
constexpr ULONG kFloats = 2;
constexpr ULONG kTexts = 3;

// How many characters or items each element gets in the next call.
ULONG size_of_call = 0;

// Writes every element of the pulled output: a text of size_of_call characters, or a sub-array
// of size_of_call floats, or of size_of_call texts of size_of_call characters.
XSI::CStatus write_outputs(XSI::ICENodeContext& context) {
  // The characters come from here, so that the callback itself allocates nothing.
  static constexpr auto text = [] {
    std::array<wchar_t, 64> chars{};
    chars.fill(L'x');
    return chars;
  }();
  const ULONG length = size_of_call;
  XSI::CIndexSet set;
  if (context.GetEvaluatedOutputPortID() == kText) {
    XSI::CBaseDataArray out;
    context.AcquireOutputDataArray(out, XSI::siICENodeDataString);
    context.AcquireIndexSet(set);
    for (ULONG k = 0; k < set.GetCount(); ++k) {
      wchar_t* buffer = nullptr;
      context.ResizeStringData(out, k, length, buffer);
      context.SetStringData(out, k, text.data(), length);
    }
    context.ReleaseIndexSet(set);
    context.ReleaseDataArray(out);
    return XSI::CStatus::OK;
  }
  const bool floats = context.GetEvaluatedOutputPortID() == kFloats;
  XSI::CBaseDataArray2D out;
  context.AcquireOutputDataArray2D(out,
                                   floats ? XSI::siICENodeDataFloat : XSI::siICENodeDataString);
  context.AcquireIndexSet(set);
  for (ULONG k = 0; k < set.GetCount(); ++k) {
    void* items = nullptr;
    ULONG count = 0;
    ULONG item_size = 0;
    context.ResizeSubArray(out, k, size_of_call, items, count, item_size);
    for (ULONG j = 0; j < count; ++j) {
      if (floats) {
        static_cast<float*>(items)[j] = static_cast<float>(j);
        continue;
      }
      wchar_t* buffer = nullptr;
      context.ResizeStringData2D(out, k, j, length, buffer);
      context.SetStringData2D(out, k, j, text.data(), length);
    }
  }
  context.ReleaseIndexSet(set);
  context.ReleaseDataArray(out);
  return XSI::CStatus::OK;
}

// The allocations of one call of evaluate; expects a clean call.
long allocations_of_call(xsi_host::Evaluation& evaluation, xsi_host::EvaluateFunction evaluate) {
  const long before = allocations.load();
  const xsi_host::CallResult result = evaluation.run(evaluate);
  const long made = allocations.load() - before;
  EXPECT_EQ(result.status, XSI::CStatus::OK);
  EXPECT_TRUE(result.faults.empty()) << result.faults.front();
  return made;
}

TEST(StorageReuse, SizingWithinWhatAnElementHoldsAllocatesNothing) {
  for (ULONG port : {kText, kFloats, kTexts}) {
    xsi_host::Evaluation evaluation;
    evaluation.add_output(kText, XSI::siICENodeDataString, XSI::siICENodeStructureSingle, 100);
    evaluation.add_output(kFloats, XSI::siICENodeDataFloat, XSI::siICENodeStructureArray, 100);
    evaluation.add_output(kTexts, XSI::siICENodeDataString, XSI::siICENodeStructureArray, 100);
    evaluation.pull(port);
    evaluation.index_range(100);
    size_of_call = 40;
    EXPECT_GT(allocations_of_call(evaluation, write_outputs), 0) << "port " << port;
    EXPECT_EQ(allocations_of_call(evaluation, write_outputs), 0) << "port " << port;
    // Texts and sub-arrays, of numbers or of texts, keep their storage when shortened and
    // lengthened again.
    size_of_call = 3;
    EXPECT_EQ(allocations_of_call(evaluation, write_outputs), 0) << "port " << port;
    EXPECT_EQ(evaluation.port(port)->item_count(99), port == kText ? 1u : 3u);
    size_of_call = 40;
    EXPECT_EQ(allocations_of_call(evaluation, write_outputs), 0) << "port " << port;
    EXPECT_EQ(evaluation.port(port)->item_count(99), port == kText ? 1u : 40u);
  }
}

// Each input at its default in every element: what a plug-in allocates in a call is the same
// for 10 elements as for 1,000, once the host's storage is sized. Not so regexmatch,
// regexextract and regexreplace: each search takes its backtracking block from the heap and
// gives it back, since Boost.Regex's only way to keep one is a cache shared by every thread.
TEST(StorageReuse, EveryPluginAllocatesNothingPerElement) {
  for (const char* node :
       {"kestrune",   "palvane",  "dromlet",       "ocherin",   "vireth",    "tamsel",
        "textlength", "textfind", "textreplace",   "textslice", "textjoin",  "textnumber",
        "textcase",   "texttrim", "textnormalize", "textmatch", "textsplit", "textpath",
        "texthash",   "textchar", "textsort",      "textformat"}) {
    const icehost::PluginLibrary library(icehost::find_plugin(node, icehost::program_dir()));
    long second_calls[2] = {};
    for (int i = 0; i < 2; ++i) {
      xsi_host::Evaluation evaluation;
      icehost::declare_ports(evaluation, library.node(), i == 0 ? 10 : 1'000);
      allocations_of_call(evaluation, library.evaluate());
      second_calls[i] = allocations_of_call(evaluation, library.evaluate());
    }
    EXPECT_EQ(second_calls[0], second_calls[1]) << node;
  }
}

}  // namespace
