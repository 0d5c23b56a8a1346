// Loaded modules through the system's loader: LoadLibrary, GetModuleHandle
// and GetProcAddress.
#include <string>

#include "platform/Modules.h"
#include "platform/WideString.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace platform {
namespace {

// A UTF-8 path as the loader takes it: UTF-16 with backslashes.
std::wstring LoaderPath(const std::string& path) {
  std::wstring wide = WideText(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

HMODULE ModuleHolding(const void* address) {
  HMODULE module = nullptr;
  if (!address || !::GetModuleHandleExW(
                      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                      static_cast<LPCWSTR>(address), &module))
    return nullptr;
  return module;
}

}  // namespace

ModuleHandle FindLoadedModule(const std::string& fileName) {
  try {
    if (fileName.empty()) return nullptr;
    return ::GetModuleHandleW(LoaderPath(fileName).c_str());
  } catch (...) {
    return nullptr;
  }
}

ModuleHandle LoadModule(const std::string& path, std::string* error) {
  try {
    // The folder of a module loaded by path is searched for the modules it
    // links, as the folder of a program is.
    HMODULE module = ::LoadLibraryExW(LoaderPath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module && error) *error = "cannot load " + path + ": " + SystemMessage(::GetLastError());
    return module;
  } catch (...) {
    return nullptr;
  }
}

void UnloadModule(ModuleHandle module) {
  if (module) ::FreeLibrary(static_cast<HMODULE>(module));
}

ModuleHandle MainProgramModule() { return ::GetModuleHandleW(nullptr); }

void* FindFunction(ModuleHandle module, const char* name) {
  if (!module || !name) return nullptr;
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

std::string ModuleFileNameOf(const void* address) {
  try {
    HMODULE module = ModuleHolding(address);
    if (!module) return {};
    return FilledText(
        [module](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(module, buffer, size); });
  } catch (...) {
    return {};
  }
}

bool InMainProgram(const void* address) {
  HMODULE module = ModuleHolding(address);
  return module != nullptr && module == ::GetModuleHandleW(nullptr);
}

int32_t ModuleInstanceOf(const void* address) {
  const uintptr_t base = reinterpret_cast<uintptr_t>(ModuleHolding(address));
  // A 32-bit module handle is the instance itself. A 64-bit one does not
  // fit; modules start on 64 KiB boundaries below 2^47, so the start in
  // 64 KiB units fits as well and is as unique. Either way the number comes
  // from the module alone, so every module's copy of the platform answers
  // the same for it.
  return static_cast<int32_t>(sizeof(void*) == 4 ? base : base >> 16);
}

}  // namespace platform
