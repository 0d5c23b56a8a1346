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
  virtual HRESULT STDCALL Slot04() { return E_NOTIMPL; }
  // 5: offers a key with its modifiers to the host.
  virtual HRESULT STDCALL ProcessShortcut(int32_t keyCode, BOOL32 alt, BOOL32 shift, BOOL32 ctrl,
                                          int32_t* handled) = 0;
  virtual HRESULT STDCALL Slot06() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot07() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot08() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot09() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot10() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot11() { return E_NOTIMPL; }
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

  virtual HRESULT STDCALL Slot03() { return E_NOTIMPL; }
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

  virtual HRESULT STDCALL Slot03() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot04() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot05() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot06() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot07() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot08() { return E_NOTIMPL; }
  // 9: host application window; never negative.
  virtual HRESULT STDCALL GetApplicationHandle(int32_t* handle) = 0;
  virtual HRESULT STDCALL Slot10() { return E_NOTIMPL; }
  // 11: number of loaded server modules.
  virtual HRESULT STDCALL GetServerModuleCount(int32_t* count) = 0;
  virtual HRESULT STDCALL Slot12() { return E_NOTIMPL; }
  // 13: the current view; nil when there is none.
  virtual HRESULT STDCALL GetCurrentView(IServerView** view) = 0;
  // 14: the server module that provides a named target; nil when none.
  virtual HRESULT STDCALL GetServerModuleForTarget(BSTR target, IServerModule** module) = 0;
  // 15: parent window of the plug-in's dialogs.
  virtual HRESULT STDCALL GetMainWindowHandle(int32_t* handle) = 0;
  virtual HRESULT STDCALL Slot16() { return E_NOTIMPL; }
  // 17: status bar and shortcut handling.
  virtual HRESULT STDCALL GetGUIManager(IGUIManager** manager) = 0;
  // 18: server module by index, 0 to count - 1.
  virtual HRESULT STDCALL GetServerModuleAt(int32_t index, IServerModule** module) = 0;
  // 19: server module by name ("PCB" is the PCB editor); nil when absent.
  virtual HRESULT STDCALL GetServerModuleByName(BSTR name, IServerModule** module) = 0;
  virtual HRESULT STDCALL Slot20() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot21() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot22() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot23() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot24() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot25() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot26() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot27() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot28() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot29() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot30() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot31() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot32() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot33() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot34() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot35() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot36() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot37() { return E_NOTIMPL; }
  // 38: brings a document to the front.
  virtual HRESULT STDCALL ShowDocument(IServerDocument* document) = 0;
  virtual HRESULT STDCALL Slot39() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot40() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot41() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot42() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot43() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot44() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot45() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot46() { return E_NOTIMPL; }
  // 47: module file that provides a help redirect; empty when none.
  virtual HRESULT STDCALL GetModuleForRedirect(BSTR redirect, BSTR* moduleFileName) = 0;
  // 48: the host's interface font; the other outputs mean something only when *valid.
  virtual HRESULT STDCALL GetGUIFont(int32_t index, ByteBool* valid, BSTR* name, int32_t* size,
                                     uint8_t* style, int32_t* colour, uint8_t* charset) = 0;
  // 49: the host's navigation service.
  virtual HRESULT STDCALL GetNavigationService(INavigationService** service) = 0;
  virtual HRESULT STDCALL Slot50() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot51() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot52() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot53() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot54() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot55() { return E_NOTIMPL; }
  // 56: the host's options store.
  virtual HRESULT STDCALL GetOptionsManager(IOptionsManager** manager) = 0;
  virtual HRESULT STDCALL Slot57() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot58() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot59() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot60() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot61() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot62() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot63() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot64() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot65() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot66() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot67() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot68() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot69() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot70() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot71() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot72() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot73() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot74() { return E_NOTIMPL; }
  virtual HRESULT STDCALL Slot75() { return E_NOTIMPL; }
};

// {8452C443-703F-4881-B7AC-C33550794AA6}: the host's process launcher,
// obtained from the client with QueryInterface.
struct IProcessLauncher : IUnknown {
  static constexpr GUID IID = {0x8452C443, 0x703F, 0x4881, {0xB7, 0xAC, 0xC3, 0x35, 0x50, 0x79, 0x4A, 0xA6}};

  virtual HRESULT STDCALL Slot03() { return E_NOTIMPL; }
  // 4: runs a host process such as "Client:CustomizeResources".
  virtual HRESULT STDCALL RunProcess(const char* processName, const char* parameters, int32_t parameterSize,
                                     int32_t value) = 0;
};

}  // namespace qvabi
