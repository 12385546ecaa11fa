// Loading a node plug-in library into this process, the way the host application does.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "xsi_host.h"

namespace icehost {

// The library could not be found, opened, or is not a node plug-in.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A plug-in library, loaded and registered: opening it calls XSILoadPlugin with a fresh
// session's registrar; closing it calls XSIUnloadPlugin and then unloads the library.
class PluginLibrary {
 public:
  // Definition calls to make fail during load, as (operation, ordinal); see Session::fail_call.
  using FailingCalls = std::vector<std::pair<std::string, int>>;

  // Throws LoadError when the file is missing, is not a loadable library, lacks the load or
  // unload entry point, registers no node, or lacks the node's evaluation callback.
  explicit PluginLibrary(const std::filesystem::path& path, const FailingCalls& failing_calls = {});
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  const std::filesystem::path& path() const { return path_; }
  xsi_host::Session& session() { return *session_; }
  const xsi_host::Session& session() const { return *session_; }
  // The node the plug-in registered (its first, if it registered several).
  const xsi_host::NodeRecord& node() const;
  // The node's name as its callback is named: "kestrune" for kestrune_Evaluate.
  const std::string& node_name() const { return node_name_; }
  xsi_host::EvaluateFunction evaluate() const { return evaluate_; }
  XSI::CStatus::Code load_status() const { return load_status_; }

  // Calls XSIUnloadPlugin now (once); the library stays mapped until destruction.
  XSI::CStatus::Code unload();

  struct Handle;  // the platform's library handle

 private:
  std::filesystem::path path_;
  std::unique_ptr<xsi_host::Session> session_;
  std::unique_ptr<Handle> handle_;
  std::string node_name_;
  xsi_host::EvaluateFunction evaluate_ = nullptr;
  XSI::CStatus::Code load_status_ = XSI::CStatus::OK;
  bool unloaded_ = false;
};

// The folders searched for a plug-in named by its node name: each folder of
// ICEHOST_PLUGIN_PATH, then the plug-in folder beside the program's own (../plugins), which the
// build tree and an install both lay out.
std::vector<std::filesystem::path> plugin_folders(const std::filesystem::path& program_dir);

// A path to an existing file as it stands; otherwise a bare node name ("kestrune") looked up in
// plugin_folders as libNAME.so, NAME.so or NAME.dll. Throws LoadError when nothing is found.
std::filesystem::path find_plugin(std::string_view name_or_path,
                                  const std::filesystem::path& program_dir);

// Every plug-in library in plugin_folders, by file name, first folder winning.
std::vector<std::filesystem::path> all_plugins(const std::filesystem::path& program_dir);

// The folder of the running program.
std::filesystem::path program_dir();

}  // namespace icehost
