// The three exports of a node plug-in: load, unload and the node's evaluation callback.
#pragma once

#include <new>

#include "frame/evaluate.h"
#include "frame/node.h"

#if defined(_WIN32)
#define FRAME_EXPORT __declspec(dllexport)
#else
#define FRAME_EXPORT __attribute__((visibility("default")))
#endif

// The entry points return the host's status class through C linkage, as the host expects.
#if defined(__clang__)
#define FRAME_C_RETURN_BEGIN \
  _Pragma("clang diagnostic push") _Pragma("clang diagnostic ignored \"-Wreturn-type-c-linkage\"")
#define FRAME_C_RETURN_END _Pragma("clang diagnostic pop")
#else
#define FRAME_C_RETURN_BEGIN
#define FRAME_C_RETURN_END
#endif

namespace frame {

// Names the plug-in after its node ("kestrune Plugin"), sets its author and version 1.0, and
// registers the node: its colour, its one port group, its inputs in table order, its outputs in
// table order, and its category. Every definition call's status goes to the SDK's success assertion
// and registration goes on whatever it was.
XSI::CStatus load_plugin(XSI::PluginRegistrar& registrar, const NodeInfo& node);

// Logs "<plug-in name> has been unloaded." at verbose severity.
XSI::CStatus unload_plugin(XSI::PluginRegistrar& registrar);

// Runs an entry point's work and gives its status, or, when the work throws, a failure: no
// exception may leave a plug-in, since a host built by another compiler cannot catch it. The
// work's guards have released what it acquired on the way out. No output element was being
// written: a node read once at element 0 computes before its walk, and one read at each element
// computes element k before writing it, so the elements before k stand and k is untouched.
template <class Work>
XSI::CStatus at_boundary(Work&& work) noexcept {
  try {
    return work();
  } catch (const std::bad_alloc&) {
    return sdk::out_of_memory();
  } catch (...) {
    return sdk::unexpected();
  }
}

}  // namespace frame

// Emits a plug-in's three exports for one node. A macro, because the evaluation callback's
// exported name is the node's name followed by "_Evaluate", and only the preprocessor can form
// a C symbol from the node's name. Use it once per plug-in, after the node:
//   FRAME_NODE_PLUGIN(kestrune, Kestrune)
#define FRAME_NODE_PLUGIN(node_name, Node)                                                  \
  static_assert(::frame::same_name(Node::table.name, L"" #node_name),                       \
                "a node is exported under its own name");                                   \
  FRAME_C_RETURN_BEGIN                                                                      \
  extern "C" FRAME_EXPORT XSI::CStatus XSILoadPlugin(XSI::PluginRegistrar& registrar) {     \
    return ::frame::at_boundary(                                                            \
        [&] { return ::frame::load_plugin(registrar, Node::table.info()); });               \
  }                                                                                         \
  extern "C" FRAME_EXPORT XSI::CStatus XSIUnloadPlugin(XSI::PluginRegistrar& registrar) {   \
    return ::frame::at_boundary([&] { return ::frame::unload_plugin(registrar); });         \
  }                                                                                         \
  extern "C" FRAME_EXPORT XSI::CStatus node_name##_Evaluate(XSI::ICENodeContext& context) { \
    return ::frame::at_boundary([&] { return ::frame::evaluate<Node>(context); });          \
  }                                                                                         \
  FRAME_C_RETURN_END
