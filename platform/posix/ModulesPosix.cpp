#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <map>
#include <mutex>

#include "platform/Locale.h"
#include "platform/Modules.h"

namespace platform {
namespace {

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

struct Search {
  const std::string* wanted;
  bool ignoreCase;
  std::string found;
};

int VisitLoadedObject(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<Search*>(data);
  if (!info->dlpi_name || !*info->dlpi_name) return 0;
  const std::string name = FileNameOf(info->dlpi_name);
  const bool match =
      search->ignoreCase ? CompareTextIgnoreCase(name, *search->wanted) == 0 : name == *search->wanted;
  if (!match) return 0;
  search->found = info->dlpi_name;
  return 1;
}

// A handle for an object that is already loaded, without keeping a reference
// (as GetModuleHandle): the handle stays valid while the object stays loaded.
ModuleHandle OpenWithoutLoading(const char* name) {
  void* handle = dlopen(name, RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle;
}

}  // namespace

ModuleHandle FindLoadedModule(const std::string& fileName) {
  try {
    if (fileName.empty()) return nullptr;
    if (ModuleHandle handle = OpenWithoutLoading(fileName.c_str())) return handle;
    // A module loaded by full path is not always found by its bare name.
    const std::string bare = FileNameOf(fileName);
    for (bool ignoreCase : {false, true}) {
      Search search{&bare, ignoreCase, {}};
      dl_iterate_phdr(VisitLoadedObject, &search);
      if (!search.found.empty()) return OpenWithoutLoading(search.found.c_str());
    }
    return nullptr;
  } catch (...) {
    return nullptr;
  }
}

ModuleHandle LoadModule(const std::string& path, std::string* error) {
  try {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle && error) {
      const char* reason = dlerror();
      *error = reason ? reason : "cannot load " + path;
    }
    return handle;
  } catch (...) {
    return nullptr;
  }
}

void UnloadModule(ModuleHandle module) {
  if (module) dlclose(module);
}

ModuleHandle MainProgramModule() {
  static ModuleHandle main = dlopen(nullptr, RTLD_NOW);
  return main;
}

void* FindFunction(ModuleHandle module, const char* name) {
  if (!module || !name) return nullptr;
  return dlsym(module, name);
}

std::string ModuleFileNameOf(const void* address) {
  try {
    Dl_info info{};
    link_map* owner = nullptr;
    if (!address || dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0)
      return {};
    link_map* mainMap = nullptr;
    if (dlinfo(MainProgramModule(), RTLD_DI_LINKMAP, &mainMap) == 0 && owner == mainMap) {
      // The loader reports the main program under the name it was started by.
      std::error_code ec;
      auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
      if (!ec) return exe.string();
    }
    if (!info.dli_fname) return {};
    std::string path = info.dli_fname;
    if (!path.empty() && path.front() != '/') {
      std::error_code ec;
      path = std::filesystem::absolute(path, ec).string();
    }
    return path;
  } catch (...) {
    return {};
  }
}

bool InMainProgram(const void* address) {
  Dl_info info{};
  link_map* owner = nullptr;
  link_map* mainMap = nullptr;
  return address && dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) != 0 &&
         dlinfo(MainProgramModule(), RTLD_DI_LINKMAP, &mainMap) == 0 && owner == mainMap;
}

int32_t ModuleInstanceOf(const void* address) {
  try {
    Dl_info info{};
    if (!address || dladdr(address, &info) == 0 || !info.dli_fbase) return 0;
    static std::mutex mutex;
    static std::map<const void*, int32_t> ids;
    std::lock_guard lock(mutex);
    auto [it, added] = ids.emplace(info.dli_fbase, 0);
    // Shaped like Windows instance handles: 64 KiB apart from 0x10000000.
    if (added) it->second = static_cast<int32_t>(0x10000000 + 0x10000 * static_cast<int32_t>(ids.size() - 1));
    return it->second;
  } catch (...) {
    return 0;
  }
}

}  // namespace platform
