#include "plugin_library.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <system_error>

#include "utf8.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace icehost {
namespace fs = std::filesystem;

namespace {

using LoadFunction = XSI::CStatus (*)(XSI::PluginRegistrar&);

#if defined(_WIN32)
constexpr char kPathSeparator = ';';
const char* const kPatterns[][2] = {{"", ".dll"}, {"lib", ".dll"}};
#else
constexpr char kPathSeparator = ':';
const char* const kPatterns[][2] = {{"lib", ".so"}, {"", ".so"}};
#endif

}  // namespace

#if defined(_WIN32)
struct PluginLibrary::Handle {
  HMODULE module = nullptr;
  void* symbol(const std::string& name) const {
    return reinterpret_cast<void*>(GetProcAddress(module, name.c_str()));
  }
  ~Handle() {
    if (module) FreeLibrary(module);
  }
};

static std::unique_ptr<PluginLibrary::Handle> open_library(const fs::path& path) {
  HMODULE module = LoadLibraryW(fs::absolute(path).wstring().c_str());
  if (!module)
    throw LoadError(path.string() + ": not a loadable library (error " +
                    std::to_string(GetLastError()) + ")");
  auto handle = std::make_unique<PluginLibrary::Handle>();
  handle->module = module;
  return handle;
}
#else
struct PluginLibrary::Handle {
  void* library = nullptr;
  void* symbol(const std::string& name) const { return dlsym(library, name.c_str()); }
  ~Handle() {
    if (library) dlclose(library);
  }
};

static std::unique_ptr<PluginLibrary::Handle> open_library(const fs::path& path) {
  void* library = dlopen(fs::absolute(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    throw LoadError(path.string() + ": not a loadable library (" + (why ? why : "unknown error") +
                    ")");
  }
  auto handle = std::make_unique<PluginLibrary::Handle>();
  handle->library = library;
  return handle;
}
#endif

PluginLibrary::PluginLibrary(const fs::path& path, const FailingCalls& failing_calls)
    : path_(path), session_(std::make_unique<xsi_host::Session>()) {
  for (const auto& [operation, ordinal] : failing_calls) session_->fail_call(operation, ordinal);
  std::error_code error;
  if (!fs::is_regular_file(path, error)) throw LoadError(path.string() + ": no such file");
  handle_ = open_library(path);
  auto load = reinterpret_cast<LoadFunction>(handle_->symbol("XSILoadPlugin"));
  if (!load || !handle_->symbol("XSIUnloadPlugin"))
    throw LoadError(path.string() +
                    ": not a plug-in (no XSILoadPlugin or XSIUnloadPlugin entry point)");
  {
    const xsi_host::SessionScope scope(*session_);
    load_status_ = load(session_->registrar()).GetCode();
  }
  const auto& nodes = session_->registration().nodes;
  if (nodes.empty() || !nodes.front().registered) {
    unload();
    throw LoadError(path.string() + ": the plug-in registered no node");
  }
  node_name_ = wide_to_utf8(nodes.front().name);
  evaluate_ =
      reinterpret_cast<xsi_host::EvaluateFunction>(handle_->symbol(node_name_ + "_Evaluate"));
  if (!evaluate_) {
    unload();
    throw LoadError(path.string() + ": the plug-in has no " + node_name_ + "_Evaluate entry point");
  }
}

PluginLibrary::~PluginLibrary() {
  unload();
  handle_.reset();
}

const xsi_host::NodeRecord& PluginLibrary::node() const {
  return session_->registration().nodes.front();
}

XSI::CStatus::Code PluginLibrary::unload() {
  if (unloaded_ || !handle_) return XSI::CStatus::OK;
  unloaded_ = true;
  auto unload_entry = reinterpret_cast<LoadFunction>(handle_->symbol("XSIUnloadPlugin"));
  const xsi_host::SessionScope scope(*session_);
  return unload_entry(session_->registrar()).GetCode();
}

std::vector<fs::path> plugin_folders(const fs::path& program_dir) {
  std::vector<fs::path> folders;
  if (const char* paths = std::getenv("ICEHOST_PLUGIN_PATH")) {
    std::string list = paths;
    std::size_t begin = 0;
    while (begin <= list.size()) {
      std::size_t end = list.find(kPathSeparator, begin);
      if (end == std::string::npos) end = list.size();
      if (end > begin) folders.emplace_back(list.substr(begin, end - begin));
      begin = end + 1;
    }
  }
  folders.push_back(program_dir / ".." / "plugins");
  return folders;
}

fs::path find_plugin(std::string_view name_or_path, const fs::path& program_dir) {
  const fs::path given(name_or_path);
  std::error_code error;
  if (fs::is_regular_file(given, error)) return given;
  const bool bare = given.has_filename() && !given.has_parent_path() && !given.has_extension();
  if (bare) {
    for (const fs::path& folder : plugin_folders(program_dir))
      for (const auto& pattern : kPatterns) {
        const fs::path candidate =
            folder / (std::string(pattern[0]) + std::string(name_or_path) + pattern[1]);
        if (fs::is_regular_file(candidate, error)) return candidate;
      }
    throw LoadError(std::string(name_or_path) + ": no such plug-in in the plug-in folders");
  }
  throw LoadError(std::string(name_or_path) + ": no such file");
}

std::vector<fs::path> all_plugins(const fs::path& program_dir) {
  std::map<std::string, fs::path> found;
  for (const fs::path& folder : plugin_folders(program_dir)) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
      const fs::path& file = entry.path();
#if defined(_WIN32)
      const bool library = file.extension() == ".dll";
#else
      const bool library = file.extension() == ".so";
#endif
      if (library && entry.is_regular_file(error)) found.emplace(file.filename().string(), file);
    }
  }
  std::vector<fs::path> plugins;
  for (auto& [name, path] : found) plugins.push_back(path);
  return plugins;
}

fs::path program_dir() {
#if defined(_WIN32)
  wchar_t buffer[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  return fs::path(std::wstring(buffer, length)).parent_path();
#else
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::current_path() : self.parent_path();
#endif
}

}  // namespace icehost
