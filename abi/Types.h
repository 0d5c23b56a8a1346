// Binary conventions shared by every module that crosses a module boundary:
// the host, the PCB editor, the plug-in and the platform library.
//
// Nothing here is Linux-specific: the same declarations must compile for a
// 32-bit Windows target, where STDCALL becomes __stdcall and pointers shrink
// to four bytes. Every struct that crosses a boundary pins its layout with
// static_asserts written in terms of sizeof(void*) where pointers are involved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "abi/Utf8.h"

#if defined(_WIN32) && !defined(_WIN64)
#define STDCALL __stdcall
#else
#define STDCALL
#endif

// Marks a function a module exports by name (everything else stays hidden).
#if defined(_WIN32)
#define ABI_EXPORT __declspec(dllexport)
#else
#define ABI_EXPORT __attribute__((visibility("default")))
#endif

namespace qvabi {

// 0 is success; any failure answers E_UNEXPECTED. A negative status returned
// to the plug-in raises an error carrying the thread's error description.
using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);

constexpr bool Failed(HRESULT status) { return status < 0; }
constexpr bool Succeeded(HRESULT status) { return status >= 0; }

// 32-bit boolean (-1 true, 0 false) and byte boolean (1 true, 0 false).
using BOOL32 = int32_t;
using ByteBool = uint8_t;
inline constexpr BOOL32 kTrue32 = -1;
inline constexpr BOOL32 kFalse32 = 0;
constexpr BOOL32 ToBool32(bool value) { return value ? kTrue32 : kFalse32; }
constexpr ByteBool ToByteBool(bool value) { return value ? 1 : 0; }

// Interface identifier, written in source in the registry form
// {Data1-Data2-Data3-Data4[0..1]-Data4[2..7]}.
struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16);
static_assert(offsetof(GUID, Data2) == 4 && offsetof(GUID, Data3) == 6 && offsetof(GUID, Data4) == 8);

constexpr bool operator==(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

using REFIID = const GUID&;

// Wide string (BSTR): UTF-16 text, zero-terminated, preceded by a 32-bit byte
// length. Only the platform library allocates and frees them (SysAllocString
// and friends), so both sides of a call share one allocator. The callee
// allocates an out string; the caller frees it.
using BSTR = char16_t*;

// Handles issued by the PCB editor: boards, objects and event handlers.
// Always 32-bit values, never pointers; 0 means "none".
using PcbHandle = int32_t;

// Short string: 256 bytes, byte 0 the length (0 to 255), the text after it.
// The PCB editor exchanges records field by field through pointers to these.
struct ShortString {
  uint8_t bytes[256];

  static constexpr std::size_t kMaxLength = 255;

  std::size_t length() const { return bytes[0]; }
  std::string_view view() const { return {reinterpret_cast<const char*>(bytes + 1), bytes[0]}; }
  std::string str() const { return std::string(view()); }
  // Stores at most maxLength (<= 255) bytes of text; the rest is cut, never
  // inside a UTF-8 character.
  void assign(std::string_view text, std::size_t maxLength = kMaxLength) {
    if (maxLength > kMaxLength) maxLength = kMaxLength;
    const std::size_t n = Utf8CutLength(text, maxLength);
    bytes[0] = static_cast<uint8_t>(n);
    if (n != 0) std::memcpy(bytes + 1, text.data(), n);
  }
  void clear() { bytes[0] = 0; }
};
static_assert(sizeof(ShortString) == 256);

// Mode byte of every editor query: the editor fills the caller's fields
// (ReadMode) or takes them (WriteMode).
inline constexpr uint8_t ReadMode = 1;
inline constexpr uint8_t WriteMode = 0;

}  // namespace qvabi
