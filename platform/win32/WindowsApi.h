// <windows.h> for the Win32 backend, with the macros that would rewrite the
// project's own names taken out again: the status constants and REFIID of
// the binary conventions, and the A/W function macros whose names the
// platform's functions share. Code after it names the system functions by
// their W forms.
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
#include <tlhelp32.h>
// clang-format on

#undef S_OK
#undef S_FALSE
#undef E_UNEXPECTED
#undef E_NOINTERFACE
#undef E_NOTIMPL
#undef E_INVALIDARG
#undef E_POINTER
#undef REFIID
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
#undef CaptureStackBackTrace
#undef Module32First
#undef Module32Next
#undef MODULEENTRY32
