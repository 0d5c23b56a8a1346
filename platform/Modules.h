// Loaded modules (shared libraries) and the functions they export.
//
// The plug-in never calls dlopen/dlsym itself: everything Windows' module
// functions would do goes through here, so a Win32 backend can replace it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// An opaque module handle; nil is "no module".
using ModuleHandle = void*;

// The handle of an already loaded module found by its file name (for example
// qvabi::kEditorModuleFile); nil when it is not loaded. Never loads anything.
ModuleHandle FindLoadedModule(const std::string& fileName);
// Loads a module by path; nil and a one-line reason in *error on failure.
ModuleHandle LoadModule(const std::string& path, std::string* error);
void UnloadModule(ModuleHandle module);
// The main program's handle: looking a name up there searches the program
// and the libraries it links.
ModuleHandle MainProgramModule();
// An exported function by name; nil when the module or the name is missing.
void* FindFunction(ModuleHandle module, const char* name);
// Full path of the module that contains `address` (a function or object of
// that module); empty when unknown.
std::string ModuleFileNameOf(const void* address);
// True when `address` lies in the main program itself, not in a library or
// module it loaded.
bool InMainProgram(const void* address);
// A 32-bit identifier of the module that contains `address`, stable for the
// process; 0 when unknown.
int32_t ModuleInstanceOf(const void* address);

}  // namespace platform
