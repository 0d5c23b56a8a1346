// The project's headers keep the system's names for the system's constants,
// in their own namespaces, so that they and the system's headers can be used
// together. Each such constant must have the system's value: this file reads
// the project's values first and only then the system's own <windows.h>, with
// its macros in force, to compare them name by name.
#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

#include "abi/ITranslationManager.h"
#include "abi/Types.h"
#include "platform/Dde.h"
#include "platform/Faults.h"
#include "platform/Keys.h"
#include "platform/Machine.h"
#include "platform/MessageQueue.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/Windows.h"

// The constants that the system defines as macros of the same name.
#define SYSTEM_NAMED_CONSTANTS(X)                 \
  X(qvabi, S_OK)                                  \
  X(qvabi, E_UNEXPECTED)                          \
  X(qvabi, E_NOINTERFACE)                         \
  X(qvabi, E_NOTIMPL)                             \
  X(qvabi, E_INVALIDARG)                          \
  X(qvabi, E_POINTER)                             \
  X(qvabi, FW_NORMAL)                             \
  X(qvabi, FW_BOLD)                               \
  X(platform, CSIDL_APPDATA)                      \
  X(platform, CSIDL_LOCAL_APPDATA)                \
  X(platform, CSIDL_PERSONAL)                     \
  X(platform, CSIDL_PROGRAM_FILES)                \
  X(platform, ERROR_SUCCESS)                      \
  X(platform, ERROR_FILE_NOT_FOUND)               \
  X(platform, ERROR_ACCESS_DENIED)                \
  X(platform, ERROR_INVALID_HANDLE)               \
  X(platform, ERROR_INVALID_DATA)                 \
  X(platform, ERROR_WRITE_FAULT)                  \
  X(platform, ERROR_INVALID_PARAMETER)            \
  X(platform, ERROR_BADDB)                        \
  X(platform, ERROR_KEY_DELETED)                  \
  X(platform, ERROR_RESOURCE_TYPE_NOT_FOUND)      \
  X(platform, EXCEPTION_ACCESS_VIOLATION)         \
  X(platform, EXCEPTION_IN_PAGE_ERROR)            \
  X(platform, EXCEPTION_INVALID_HANDLE)           \
  X(platform, EXCEPTION_ILLEGAL_INSTRUCTION)      \
  X(platform, EXCEPTION_NONCONTINUABLE_EXCEPTION) \
  X(platform, EXCEPTION_INVALID_DISPOSITION)      \
  X(platform, EXCEPTION_ARRAY_BOUNDS_EXCEEDED)    \
  X(platform, EXCEPTION_FLT_DENORMAL_OPERAND)     \
  X(platform, EXCEPTION_FLT_DIVIDE_BY_ZERO)       \
  X(platform, EXCEPTION_FLT_INEXACT_RESULT)       \
  X(platform, EXCEPTION_FLT_INVALID_OPERATION)    \
  X(platform, EXCEPTION_FLT_OVERFLOW)             \
  X(platform, EXCEPTION_FLT_STACK_CHECK)          \
  X(platform, EXCEPTION_FLT_UNDERFLOW)            \
  X(platform, EXCEPTION_INT_DIVIDE_BY_ZERO)       \
  X(platform, EXCEPTION_INT_OVERFLOW)             \
  X(platform, EXCEPTION_PRIV_INSTRUCTION)         \
  X(platform, EXCEPTION_STACK_OVERFLOW)           \
  X(platform, KEY_QUERY_VALUE)                    \
  X(platform, KEY_SET_VALUE)                      \
  X(platform, KEY_READ)                           \
  X(platform, KEY_WRITE)                          \
  X(platform, KEY_ALL_ACCESS)                     \
  X(platform, REG_NONE)                           \
  X(platform, REG_SZ)                             \
  X(platform, REG_BINARY)                         \
  X(platform, REG_DWORD)                          \
  X(platform, WS_OVERLAPPED)                      \
  X(platform, WS_POPUP)                           \
  X(platform, WS_CHILD)                           \
  X(platform, WS_VISIBLE)                         \
  X(platform, WS_DISABLED)                        \
  X(platform, WS_BORDER)                          \
  X(platform, WS_DLGFRAME)                        \
  X(platform, WS_CAPTION)                         \
  X(platform, WS_SYSMENU)                         \
  X(platform, WS_THICKFRAME)                      \
  X(platform, WS_GROUP)                           \
  X(platform, WS_TABSTOP)                         \
  X(platform, WS_MINIMIZEBOX)                     \
  X(platform, WS_MAXIMIZEBOX)                     \
  X(platform, WS_EX_DLGMODALFRAME)                \
  X(platform, WS_EX_TOPMOST)                      \
  X(platform, WS_EX_TOOLWINDOW)                   \
  X(platform, WS_EX_CONTEXTHELP)                  \
  X(platform, WS_EX_APPWINDOW)                    \
  X(platform, CS_DROPSHADOW)                      \
  X(platform, SW_HIDE)                            \
  X(platform, SW_SHOW)                            \
  X(platform, SW_SHOWNORMAL)                      \
  X(platform, SW_SHOWMINIMIZED)                   \
  X(platform, SW_SHOWMAXIMIZED)                   \
  X(platform, SW_SHOWNOACTIVATE)                  \
  X(platform, MONITOR_DEFAULTTONULL)              \
  X(platform, MONITOR_DEFAULTTOPRIMARY)           \
  X(platform, MONITOR_DEFAULTTONEAREST)           \
  X(platform, WM_USER)                            \
  X(platform, VK_BACK)                            \
  X(platform, VK_TAB)                             \
  X(platform, VK_RETURN)                          \
  X(platform, VK_SHIFT)                           \
  X(platform, VK_CONTROL)                         \
  X(platform, VK_MENU)                            \
  X(platform, VK_ESCAPE)                          \
  X(platform, VK_SPACE)                           \
  X(platform, VK_LEFT)                            \
  X(platform, VK_UP)                              \
  X(platform, VK_RIGHT)                           \
  X(platform, VK_DOWN)                            \
  X(platform, VK_F1)                              \
  X(platform, CF_TEXT)                            \
  X(platform, CP_WINANSI)                         \
  X(platform, CP_WINUNICODE)                      \
  X(platform, XTYP_EXECUTE)                       \
  X(platform, TIMEOUT_ASYNC)                      \
  X(platform, DMLERR_NO_ERROR)                    \
  X(platform, DMLERR_INVALIDPARAMETER)            \
  X(platform, DMLERR_NO_CONV_ESTABLISHED)

namespace {

// The project's values, taken while no system macro can rewrite the names.
#define CAPTURE(space, name) constexpr auto kProject_##name = space::name;
SYSTEM_NAMED_CONSTANTS(CAPTURE)
#undef CAPTURE
constexpr platform::HKEY kProjectRoots[] = {platform::HKEY_CLASSES_ROOT, platform::HKEY_CURRENT_USER,
                                            platform::HKEY_LOCAL_MACHINE, platform::HKEY_USERS};

}  // namespace

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

namespace {

TEST(SystemNames, EveryConstantNamedLikeTheSystemsHasTheSystemsValue) {
#define COMPARE(space, name)                                                                      \
  EXPECT_EQ(static_cast<int64_t>(kProject_##name),                                                \
            static_cast<int64_t>(static_cast<std::remove_cv_t<decltype(kProject_##name)>>(name))) \
      << #space "::" #name;
  SYSTEM_NAMED_CONSTANTS(COMPARE)
#undef COMPARE
}

TEST(SystemNames, RegistryRootsAreTheSystemsPredefinedKeys) {
  const ::HKEY system[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS};
  for (size_t i = 0; i < std::size(system); ++i)
    EXPECT_EQ(kProjectRoots[i], static_cast<uint32_t>(reinterpret_cast<uintptr_t>(system[i]))) << i;
}

}  // namespace
