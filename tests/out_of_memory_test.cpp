// Every plug-in when memory runs out: the 1st, 2nd, 3rd, ... allocation of a call made to fail
// in turn, until a call completes with none failing. An allocation is counted, and made to
// fail, through the global operator new, which the SDK and the plug-ins share with this
// program. After each call:
//  * no exception left the entry point, and the SDK recorded no misuse: everything acquired
//    was released, in reverse order;
//  * when the plug-in's own allocation failed, the call reports MemoryUnavailable; the SDK
//    refused nothing;
//  * when the SDK's failed, the SDK threw nothing into the plug-in but recorded the refusal for
//    the host;
//  * a call that reports failure wrote nothing, if its node reads its inputs once; a node read
//    at each element may have written the elements walked before the failure.
// Leaks show under the leak checker of the asan preset. Load and unload are tried the same way.
#include <dlfcn.h>
#include <execinfo.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "evaluation_setup.h"
#include "plugin_library.h"
#include "replaced_new.h"
#include "xsi_host.h"

namespace {

// Whose code asked for the allocation: the first frame of the stack that lies in the SDK's
// library or in the plug-in's, past the standard library's.
enum class Origin { none, sdk, plugin, elsewhere };

struct Injection {
  long fail_at = 0;  // the allocation to fail, counting from 1 since arming; 0 disarmed
  long made = 0;
  Origin origin = Origin::none;  // of the failed allocation, once it failed
  std::string plugin_file;       // the plug-in's file name
};
Injection injection;

Origin origin_of_this_allocation() {
  void* frames[64];
  const int depth = backtrace(frames, 64);
  for (int i = 1; i < depth; ++i) {
    Dl_info info;
    if (dladdr(frames[i], &info) == 0 || info.dli_fname == nullptr) continue;
    const std::string file = std::filesystem::path(info.dli_fname).filename().string();
    if (file.find("xsisdk") != std::string::npos) return Origin::sdk;
    if (file == injection.plugin_file) return Origin::plugin;
  }
  return Origin::elsewhere;
}

}  // namespace

void on_allocation() {
  if (injection.fail_at != 0 && ++injection.made == injection.fail_at) {
    injection.origin = origin_of_this_allocation();
    throw std::bad_alloc();
  }
}

namespace {

using XSI::ULONG;

constexpr ULONG kElements = 3;

// Arms the injection for one call of a plug-in's entry point: fail_at-th allocation fails.
struct Armed {
  Armed(long fail_at, const std::filesystem::path& plugin) {
    injection.plugin_file = plugin.filename().string();
    injection.made = 0;
    injection.origin = Origin::none;
    injection.fail_at = fail_at;
  }
  ~Armed() { injection.fail_at = 0; }
  bool fired() const { return injection.origin != Origin::none; }
};

// One input set of a node: what is set before the call, and the index set.
struct Case {
  const char* name;
  void (*set)(xsi_host::Evaluation&);
};

std::wstring repeated(const std::wstring& motif, std::size_t times) {
  std::wstring text;
  for (std::size_t i = 0; i < times; ++i) text += motif;
  return text;
}

const Case kDefaults{"defaults", [](xsi_host::Evaluation&) {}};
const Case kEmptyIndexSet{"an empty index set", [](xsi_host::Evaluation& e) { e.index_range(0); }};

// The nodes read at each element: all but the six, whose text inputs are read once.
bool reads_at_each_element(const std::string& node) {
  for (const char* once : {"kestrune", "palvane", "dromlet", "ocherin", "vireth", "tamsel"})
    if (node == once) return false;
  return true;
}

std::vector<Case> cases_of(const std::string& node) {
  if (node == "kestrune")
    return {kDefaults,
            kEmptyIndexSet,
            {"a long text",
             [](xsi_host::Evaluation& e) {
               e.port(0)->set_text(0, repeated(L"a", 300) + repeated(L"b", 300));
               e.port(1)->set_text(0, L"ab");
               e.port(2)->set_boolean(0, true);
             }},
            {"a failed test", [](xsi_host::Evaluation& e) { e.port(1)->set_text(0, L"absent"); }}};
  if (node == "palvane" || node == "dromlet")
    return {kDefaults,
            kEmptyIndexSet,
            {"a long text",
             [](xsi_host::Evaluation& e) { e.port(0)->set_text(0, repeated(L"-12.5e1,", 64)); }},
            {"a failed test", [](xsi_host::Evaluation& e) { e.port(1)->set_text(0, L";"); }}};
  if (node == "ocherin")
    return {
        kDefaults,
        kEmptyIndexSet,
        {"a long text",
         [](xsi_host::Evaluation& e) { e.port(7)->set_text(0, repeated(L"\u00e9x\u2192", 300)); }},
        {"an empty text", [](xsi_host::Evaluation& e) { e.port(7)->set_text(0, L""); }}};
  // The nodes read at each element: texts longer than the direct search and than a result
  // holds in itself, with occurrences; element 1 replacing every occurrence, or ignoring case.
  if (node == "textsplit")
    return {kDefaults, kEmptyIndexSet, {"long texts cut often", [](xsi_host::Evaluation& e) {
                                          for (ULONG k = 0; k < kElements; ++k) {
                                            e.port(0)->set_text(k, repeated(L"a-b", 100));
                                            e.port(1)->set_text(k, L"-");
                                          }
                                        }}};
  if (node == "textformat")
    return {kDefaults, kEmptyIndexSet, {"long results", [](xsi_host::Evaluation& e) {
                                          for (ULONG k = 0; k < kElements; ++k) {
                                            e.port(0)->set_text(k, L"{:>120.3f}|{1:.100e}");
                                            e.port(1)->set_floats(k, std::vector<float>(2, 1.5f));
                                          }
                                        }}};
  // Arrays longer than a result holds in itself; the order pulled too, which sorts alike.
  if (node == "textsort")
    return {kDefaults,
            kEmptyIndexSet,
            {"long arrays",
             [](xsi_host::Evaluation& e) {
               std::vector<std::wstring> items;
               for (int i = 0; i < 40; ++i) items.push_back(L"frame" + std::to_wstring(i * 7 % 40));
               for (ULONG k = 0; k < kElements; ++k) e.port(0)->set_texts(k, items);
             }},
            {"the order pulled", [](xsi_host::Evaluation& e) { e.pull(201); }}};
  if (node == "textchar")
    return {kDefaults, kEmptyIndexSet, {"long arrays", [](xsi_host::Evaluation& e) {
                                          const std::vector<std::int32_t> codes(40, 0x1F600);
                                          for (ULONG k = 0; k < kElements; ++k)
                                            e.port(0)->set_integers(k, codes);
                                        }}};
  // Every form of each, built past what the result holds in itself, and past its first guess.
  if (node == "textnormalize")
    return {kDefaults, kEmptyIndexSet, {"long texts changed", [](xsi_host::Evaluation& e) {
                                          for (ULONG k = 0; k < kElements; ++k) {
                                            e.port(0)->set_text(k, repeated(L"e\u0301\ufdfa", 40));
                                            e.port(1)->set_integer(k, static_cast<int>(k % 4));
                                          }
                                        }}};
  // The regular expressions: every element matched, groups and all, and a pattern refused.
  if (node.starts_with("regex"))
    return {kDefaults,
            kEmptyIndexSet,
            {"long texts",
             [](xsi_host::Evaluation& e) {
               for (ULONG k = 0; k < kElements; ++k)
                 e.port(0)->set_text(k, repeated(L"arm_L ", 40 * (k + 1)));
               e.port(1)->set_text(0, L"(\\w+)_(L|R)\\b");
             }},
            {"an invalid pattern", [](xsi_host::Evaluation& e) { e.port(1)->set_text(0, L"(a"); }}};
  if (node != "textjoin" && reads_at_each_element(node))
    return {kDefaults, kEmptyIndexSet, {"long texts", [](xsi_host::Evaluation& e) {
                                          for (ULONG k = 0; k < kElements; ++k)
                                            e.port(0)->set_text(k, repeated(L"A-b", 100));
                                          if (e.port(3)) e.port(3)->set_boolean(1, true);
                                          if (e.port(201)) e.pull(201);
                                        }}};
  if (node == "textjoin")
    return {kDefaults, kEmptyIndexSet, {"long arrays", [](xsi_host::Evaluation& e) {
                                          const std::vector<std::wstring> items(
                                              16, repeated(L"\u00e9x", 20));
                                          for (ULONG k = 0; k < kElements; ++k)
                                            e.port(0)->set_texts(k, items);
                                        }}};
  // vireth and tamsel have no test of their inputs: an empty array stands in for it.
  return {kDefaults,
          kEmptyIndexSet,
          {"long arrays",
           [](xsi_host::Evaluation& e) {
             xsi_host::PortData& in = *e.port(0);
             for (ULONG k = 0; k < kElements; ++k) {
               std::vector<std::int32_t> integers(16, -2147483647 + static_cast<int>(k));
               std::vector<float> floats(16, 1.0e-7f * static_cast<float>(k + 1));
               if (in.data_type() == XSI::siICENodeDataFloat)
                 in.set_floats(k, floats);
               else
                 in.set_integers(k, integers);
             }
           }},
          {"empty arrays", [](xsi_host::Evaluation& e) { e.port(0)->set_floats(0, {}); }}};
}

// Whether every output element is as the call found it.
bool untouched(xsi_host::Evaluation& evaluation, const xsi_host::NodeRecord& node) {
  for (const xsi_host::PortRecord& record : node.ports)
    if (!record.is_input)
      for (ULONG k = 0; k < kElements; ++k)
        if (evaluation.port(record.id)->written(k)) return false;
  return true;
}

const char* const kNodes[] = {
    "kestrune",  "palvane",    "dromlet",    "ocherin",      "vireth",
    "tamsel",    "textlength", "textfind",   "textreplace",  "textslice",
    "textjoin",  "textnumber", "textcase",   "texttrim",     "textnormalize",
    "textmatch", "textsplit",  "textpath",   "texthash",     "textchar",
    "textsort",  "textformat", "regexmatch", "regexextract", "regexreplace"};

TEST(OutOfMemory, EveryAllocationOfEveryCallFailsInTurn) {
  for (const char* node : kNodes) {
    icehost::PluginLibrary library(icehost::find_plugin(node, icehost::program_dir()));
    long failures = 0;
    for (const Case& input : cases_of(node)) {
      for (const bool strict : {false, true}) {
        long plugin_failures = 0;
        long sdk_failures = 0;
        for (long fail_at = 1;; ++fail_at) {
          const std::string where = std::string(node) + ", " + input.name +
                                    (strict ? ", strict host" : "") + ", allocation " +
                                    std::to_string(fail_at);
          xsi_host::Evaluation evaluation(strict);
          icehost::declare_ports(evaluation, library.node(), kElements);
          input.set(evaluation);
          evaluation.begin_call();
          XSI::ICENodeContext context = evaluation.context();
          XSI::CStatus::Code status = XSI::CStatus::OK;
          bool fired = false;
          try {
            const Armed armed(fail_at, library.path());
            status = library.evaluate()(context).GetCode();
            fired = armed.fired();
          } catch (...) {
            ADD_FAILURE() << where << ": an exception left the entry point";
          }
          const xsi_host::CallResult result = evaluation.end_call();
          EXPECT_EQ(result.faults, std::vector<std::string>{}) << where;
          if (!fired) {
            EXPECT_EQ(status, XSI::CStatus::OK) << where;
            EXPECT_EQ(result.out_of_memory, std::vector<std::string>{}) << where;
            break;
          }
          // A node read at each element has written the elements before the one whose
          // computation failed; one read once has written nothing.
          if (status != XSI::CStatus::OK && !reads_at_each_element(node)) {
            EXPECT_TRUE(untouched(evaluation, library.node())) << where << ": a failed call wrote";
          }
          if (injection.origin == Origin::plugin) {
            ++plugin_failures;
            EXPECT_EQ(status, XSI::CStatus::MemoryUnavailable) << where;
            EXPECT_EQ(result.out_of_memory, std::vector<std::string>{}) << where;
          } else {
            ++sdk_failures;
            EXPECT_EQ(injection.origin, Origin::sdk) << where;
            EXPECT_FALSE(result.out_of_memory.empty()) << where << ": the SDK told nothing";
          }
          if (fail_at > 10'000) {
            ADD_FAILURE() << where << ": the call never completes";
            break;
          }
        }
        failures += plugin_failures + sdk_failures;
      }
    }
    // Every node allocates in some case: its results, or the SDK's storage for them.
    EXPECT_GT(failures, 0) << node;
  }
}

TEST(OutOfMemory, LoadAndUnloadFailInTurnWithoutThrowing) {
  using Entry = XSI::CStatus (*)(XSI::PluginRegistrar&);
  for (const char* node : kNodes) {
    const std::filesystem::path path = icehost::find_plugin(node, icehost::program_dir());
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << node;
    const auto load = reinterpret_cast<Entry>(dlsym(handle, "XSILoadPlugin"));
    const auto unload = reinterpret_cast<Entry>(dlsym(handle, "XSIUnloadPlugin"));
    ASSERT_TRUE(load && unload) << node;
    for (const Entry entry : {load, unload}) {
      const char* name = entry == load ? "load" : "unload";
      for (long fail_at = 1;; ++fail_at) {
        const std::string where =
            std::string(node) + " " + name + ", allocation " + std::to_string(fail_at);
        xsi_host::Session session;
        const xsi_host::SessionScope scope(session);
        if (entry == unload) load(session.registrar());
        XSI::CStatus::Code status = XSI::CStatus::OK;
        bool fired = false;
        try {
          const Armed armed(fail_at, path);
          status = entry(session.registrar()).GetCode();
          fired = armed.fired();
        } catch (...) {
          ADD_FAILURE() << where << ": an exception left the entry point";
        }
        if (!fired) {
          EXPECT_EQ(status, XSI::CStatus::OK) << where;
          EXPECT_EQ(session.out_of_memory(), std::vector<std::string>{}) << where;
          break;
        }
        if (injection.origin == Origin::plugin) {
          EXPECT_EQ(status, XSI::CStatus::MemoryUnavailable) << where;
        } else {
          EXPECT_EQ(injection.origin, Origin::sdk) << where;
          EXPECT_FALSE(session.out_of_memory().empty()) << where << ": the SDK told nothing";
        }
        ASSERT_LT(fail_at, 10'000) << where << ": the call never completes";
      }
    }
    dlclose(handle);
  }
}

}  // namespace
