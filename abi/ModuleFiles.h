// File names of the modules a process loads or looks for, which differ only
// in the system's suffix for loadable modules.
#pragma once

#if defined(_WIN32)
#define ABI_MODULE_SUFFIX ".dll"
#else
#define ABI_MODULE_SUFFIX ".so"
#endif

namespace qvabi {

inline constexpr const char* kModuleSuffix = ABI_MODULE_SUFFIX;
// The host's PCB editor, already loaded when a plug-in looks for it.
inline constexpr const char* kEditorModuleFile = "Brelix" ABI_MODULE_SUFFIX;
// This plug-in, loaded by the host after the editor.
inline constexpr const char* kPluginModuleFile = "Strativue" ABI_MODULE_SUFFIX;
// The host's workspace library, looked for among the loaded modules only.
inline constexpr const char* kWorkspaceModuleFile = "WorkspaceManager" ABI_MODULE_SUFFIX;

}  // namespace qvabi
