// The host client: IClient and the sub-interfaces plug-ins reach through it.
//
// Implemented by: the host. Called by: plug-ins, on the host's UI thread.
// IClient has 73 methods after the three IUnknown ones; slots that no module
// uses are placeholders answering E_NOTIMPL so that later slots keep their
// numbers. Input wide strings are BSTRs owned by the caller; out strings are
// allocated by the callee and freed by the caller; out interfaces carry a new
// reference.
#pragma once

#include "abi/IServerDocument.h"
#include "abi/IServerModule.h"
#include "abi/Types.h"
#include "abi/Unknown.h"

namespace qvabi {

struct INavigationService;

// {6A1F2E42-3C55-4B7A-9E21-5D0B7C9F1A01}
struct IGUIManager : IUnknown {
  static constexpr GUID IID = {0x6A1F2E42, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  // 3: follow-up after ProcessShortcut answered handled.
  virtual HRESULT STDCALL ShortcutHandled() = 0;
  ABI_PLACEHOLDER(04)
  // 5: offers a key with its modifiers to the host.
  virtual HRESULT STDCALL ProcessShortcut(int32_t keyCode, BOOL32 alt, BOOL32 shift, BOOL32 ctrl,
                                          int32_t* handled) = 0;
  ABI_PLACEHOLDERS(06, 07, 08, 09, 10, 11)
  // 12: sets one status-bar panel's text; what a panel index means is the host's business.
  virtual HRESULT STDCALL SetStatusBarText(int32_t panel, BSTR text) = 0;
};

// {6A1F2E43-3C55-4B7A-9E21-5D0B7C9F1A01}
struct IOptionsReader : IUnknown {
  static constexpr GUID IID = {0x6A1F2E43, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  // 3: a Boolean stored as a 32-bit value (any non-zero value is true);
  // `defaultValue` when the key is absent.
  virtual HRESULT STDCALL ReadBoolean(BSTR group, BSTR key, BOOL32 defaultValue, BOOL32* value) = 0;
};

// {6A1F2E44-3C55-4B7A-9E21-5D0B7C9F1A01}
struct IOptionsWriter : IUnknown {
  static constexpr GUID IID = {0x6A1F2E44, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  ABI_PLACEHOLDER(03)
  // 4: stores a Boolean as -1 (true) or 0 (false), at once.
  virtual HRESULT STDCALL WriteBoolean(BSTR group, BSTR key, BOOL32 value) = 0;
};

// {6A1F2E45-3C55-4B7A-9E21-5D0B7C9F1A01}
struct IOptionsManager : IUnknown {
  static constexpr GUID IID = {0x6A1F2E45, 0x3C55, 0x4B7A, {0x9E, 0x21, 0x5D, 0x0B, 0x7C, 0x9F, 0x1A, 0x01}};

  // 3: a reader for a section; `location` empty for the default store.
  // Answers S_OK with nil when the store has no reader to give.
  virtual HRESULT STDCALL GetOptionsReader(BSTR section, BSTR location, IOptionsReader** reader) = 0;
  // 4: a writer for a section; S_OK with nil when there is none.
  virtual HRESULT STDCALL GetOptionsWriter(BSTR section, IOptionsWriter** writer) = 0;
};

// {4C11EF71-6297-4E2B-90D1-7F5F1A9E2ADE}
struct IClient : IUnknown {
  static constexpr GUID IID = {0x4C11EF71, 0x6297, 0x4E2B, {0x90, 0xD1, 0x7F, 0x5F, 0x1A, 0x9E, 0x2A, 0xDE}};

  ABI_PLACEHOLDERS(03, 04, 05, 06, 07, 08)
  // 9: host application window; never negative.
  virtual HRESULT STDCALL GetApplicationHandle(int32_t* handle) = 0;
  ABI_PLACEHOLDER(10)
  // 11: number of loaded server modules.
  virtual HRESULT STDCALL GetServerModuleCount(int32_t* count) = 0;
  ABI_PLACEHOLDER(12)
  // 13: the current view; nil when there is none.
  virtual HRESULT STDCALL GetCurrentView(IServerView** view) = 0;
  // 14: the server module that provides a named target; nil when none.
  virtual HRESULT STDCALL GetServerModuleForTarget(BSTR target, IServerModule** module) = 0;
  // 15: parent window of the plug-in's dialogs.
  virtual HRESULT STDCALL GetMainWindowHandle(int32_t* handle) = 0;
  ABI_PLACEHOLDER(16)
  // 17: status bar and shortcut handling.
  virtual HRESULT STDCALL GetGUIManager(IGUIManager** manager) = 0;
  // 18: server module by index, 0 to count - 1.
  virtual HRESULT STDCALL GetServerModuleAt(int32_t index, IServerModule** module) = 0;
  // 19: server module by name ("PCB" is the PCB editor); nil when absent.
  virtual HRESULT STDCALL GetServerModuleByName(BSTR name, IServerModule** module) = 0;
  ABI_PLACEHOLDERS(20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37)
  // 38: brings a document to the front.
  virtual HRESULT STDCALL ShowDocument(IServerDocument* document) = 0;
  ABI_PLACEHOLDERS(39, 40, 41, 42, 43, 44, 45, 46)
  // 47: module file that provides a help redirect; empty when none.
  virtual HRESULT STDCALL GetModuleForRedirect(BSTR redirect, BSTR* moduleFileName) = 0;
  // 48: the host's interface font; the other outputs mean something only when *valid.
  virtual HRESULT STDCALL GetGUIFont(int32_t index, ByteBool* valid, BSTR* name, int32_t* size,
                                     uint8_t* style, int32_t* colour, uint8_t* charset) = 0;
  // 49: the host's navigation service.
  virtual HRESULT STDCALL GetNavigationService(INavigationService** service) = 0;
  ABI_PLACEHOLDERS(50, 51, 52, 53, 54, 55)
  // 56: the host's options store.
  virtual HRESULT STDCALL GetOptionsManager(IOptionsManager** manager) = 0;
  ABI_PLACEHOLDERS(57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75)
};

// {8452C443-703F-4881-B7AC-C33550794AA6}: the host's process launcher,
// obtained from the client with QueryInterface.
struct IProcessLauncher : IUnknown {
  static constexpr GUID IID = {0x8452C443, 0x703F, 0x4881, {0xB7, 0xAC, 0xC3, 0x35, 0x50, 0x79, 0x4A, 0xA6}};

  ABI_PLACEHOLDER(03)
  // 4: runs a host process such as "Client:CustomizeResources".
  virtual HRESULT STDCALL RunProcess(const char* processName, const char* parameters, int32_t parameterSize,
                                     int32_t value) = 0;
};

}  // namespace qvabi
