// <windows.h> for the Win32 backend, with every macro that would rewrite a
// name of the project's headers taken out again, so that this file and any
// header of abi/ and platform/ can be included together in either order
// after it. The project keeps the system's names for the system's values
// (status codes, registry roots and types, key codes, window styles ...) in
// its own namespaces; the values are the system's, which a test checks name
// by name. Code after this file names those values through the project's
// namespaces, and the system functions by their W forms.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// <windows.h> comes first: the others need what it declares.
// clang-format off
#include <windows.h>
#include <oleauto.h>
#include <ddeml.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
// clang-format on

// Binary conventions.
#undef S_OK
#undef S_FALSE
#undef E_UNEXPECTED
#undef E_NOINTERFACE
#undef E_NOTIMPL
#undef E_INVALIDARG
#undef E_POINTER
#undef REFIID
// Functions the platform offers under the system's name.
#undef CreateWindow
#undef CreateDirectory
#undef PostMessage
#undef SendMessage
#undef GetMessage
#undef PeekMessage
#undef MessageBox
#undef GetModuleFileName
#undef LoadLibrary
#undef GetModuleHandle
#undef GetClassName
#undef GetWindowText
#undef SetWindowText
#undef GetMonitorInfo
#undef GetUserName
#undef GetWindowsDirectory
#undef GetPrivateProfileString
#undef WritePrivateProfileString
#undef RegOpenKeyEx
#undef RegCreateKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteValue
#undef RegDeleteKey
#undef WinHelp
#undef ShellExecute
#undef DdeInitialize
#undef DdeCreateStringHandle
#undef CaptureStackBackTrace
#undef Module32First
#undef Module32Next
#undef MODULEENTRY32
// Shell folders.
#undef CSIDL_APPDATA
#undef CSIDL_LOCAL_APPDATA
#undef CSIDL_PERSONAL
#undef CSIDL_PROGRAM_FILES
// Status codes.
#undef ERROR_SUCCESS
#undef ERROR_FILE_NOT_FOUND
#undef ERROR_ACCESS_DENIED
#undef ERROR_INVALID_HANDLE
#undef ERROR_INVALID_DATA
#undef ERROR_WRITE_FAULT
#undef ERROR_INVALID_PARAMETER
#undef ERROR_BADDB
#undef ERROR_KEY_DELETED
#undef ERROR_RESOURCE_TYPE_NOT_FOUND
// Exception codes.
#undef EXCEPTION_ACCESS_VIOLATION
#undef EXCEPTION_IN_PAGE_ERROR
#undef EXCEPTION_INVALID_HANDLE
#undef EXCEPTION_ILLEGAL_INSTRUCTION
#undef EXCEPTION_NONCONTINUABLE_EXCEPTION
#undef EXCEPTION_INVALID_DISPOSITION
#undef EXCEPTION_ARRAY_BOUNDS_EXCEEDED
#undef EXCEPTION_FLT_DENORMAL_OPERAND
#undef EXCEPTION_FLT_DIVIDE_BY_ZERO
#undef EXCEPTION_FLT_INEXACT_RESULT
#undef EXCEPTION_FLT_INVALID_OPERATION
#undef EXCEPTION_FLT_OVERFLOW
#undef EXCEPTION_FLT_STACK_CHECK
#undef EXCEPTION_FLT_UNDERFLOW
#undef EXCEPTION_INT_DIVIDE_BY_ZERO
#undef EXCEPTION_INT_OVERFLOW
#undef EXCEPTION_PRIV_INSTRUCTION
#undef EXCEPTION_STACK_OVERFLOW
// Registry.
#undef HKEY_CLASSES_ROOT
#undef HKEY_CURRENT_USER
#undef HKEY_LOCAL_MACHINE
#undef HKEY_USERS
#undef KEY_QUERY_VALUE
#undef KEY_SET_VALUE
#undef KEY_READ
#undef KEY_WRITE
#undef KEY_ALL_ACCESS
#undef REG_NONE
#undef REG_SZ
#undef REG_BINARY
#undef REG_DWORD
// Windows, monitors, keys, fonts, DDE.
#undef WS_OVERLAPPED
#undef WS_POPUP
#undef WS_CHILD
#undef WS_VISIBLE
#undef WS_DISABLED
#undef WS_BORDER
#undef WS_DLGFRAME
#undef WS_CAPTION
#undef WS_SYSMENU
#undef WS_THICKFRAME
#undef WS_GROUP
#undef WS_TABSTOP
#undef WS_MINIMIZEBOX
#undef WS_MAXIMIZEBOX
#undef WS_EX_DLGMODALFRAME
#undef WS_EX_TOPMOST
#undef WS_EX_TOOLWINDOW
#undef WS_EX_CONTEXTHELP
#undef WS_EX_APPWINDOW
#undef CS_DROPSHADOW
#undef SW_HIDE
#undef SW_SHOW
#undef SW_SHOWNORMAL
#undef SW_SHOWMINIMIZED
#undef SW_SHOWMAXIMIZED
#undef SW_SHOWNOACTIVATE
#undef MONITOR_DEFAULTTONULL
#undef MONITOR_DEFAULTTOPRIMARY
#undef MONITOR_DEFAULTTONEAREST
#undef WM_USER
#undef VK_BACK
#undef VK_TAB
#undef VK_RETURN
#undef VK_SHIFT
#undef VK_CONTROL
#undef VK_MENU
#undef VK_ESCAPE
#undef VK_SPACE
#undef VK_LEFT
#undef VK_UP
#undef VK_RIGHT
#undef VK_DOWN
#undef VK_F1
#undef FW_NORMAL
#undef FW_BOLD
#undef CF_TEXT
#undef CP_WINANSI
#undef CP_WINUNICODE
#undef XTYP_EXECUTE
#undef TIMEOUT_ASYNC
#undef DMLERR_NO_ERROR
#undef DMLERR_INVALIDPARAMETER
#undef DMLERR_NO_CONV_ESTABLISHED
