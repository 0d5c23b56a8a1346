// The interfaces a plug-in ("server") offers the host: the server module,
// its options-page provider, its command launcher and its process counter.
//
// Implemented by: the plug-in. Called by: the host, on its main UI thread.
// Every method answers S_OK or E_UNEXPECTED and never lets an exception out;
// out arguments are set to nil / empty before any work. Out interfaces carry a
// new reference except where the interface says its lifetime is the module's.
#pragma once

#include "abi/Types.h"
#include "abi/Unknown.h"

namespace qvabi {

struct IClient;
struct IServerDocument;
struct IServerView;
struct ICommandLauncher;
struct IProcessControl;

// {CF7702C4-5044-49E3-BE46-37B9F8FB8203}
struct IServerModule : IUnknown {
  static constexpr GUID IID = {0xCF7702C4, 0x5044, 0x49E3, {0xBE, 0x46, 0x37, 0xB9, 0xF8, 0xFB, 0x82, 0x03}};

  // 3: the host is idle; the module runs one idle step of its UI toolkit.
  virtual HRESULT STDCALL Idle() = 0;
  // 4: a host notification; accepted and ignored.
  virtual HRESULT STDCALL HostNotify(int32_t value) = 0;
  // 5: creates a document of this server; a and b are opaque host values.
  virtual HRESULT STDCALL CreateDocument(intptr_t a, intptr_t b, IServerDocument** document) = 0;
  // 6: releases a document created by CreateDocument(Ex).
  virtual HRESULT STDCALL DestroyDocument(IServerDocument* document) = 0;
  // 7: the client the module was created with (new reference), or nil.
  virtual HRESULT STDCALL GetClient(IClient** client) = 0;
  // 8: the command launcher; valid as long as the module lives.
  virtual HRESULT STDCALL GetCommandLauncher(ICommandLauncher** launcher) = 0;
  // 9, 10: the documents created through this module.
  virtual HRESULT STDCALL GetDocumentCount(int32_t* count) = 0;
  virtual HRESULT STDCALL GetDocument(int32_t index, IServerDocument** document) = 0;
  // 11: the module's own instance handle (a 32-bit value, not a pointer).
  virtual HRESULT STDCALL GetModuleInstance(int32_t* instance) = 0;
  // 12: the module name; the caller frees the string.
  virtual HRESULT STDCALL GetModuleName(BSTR* name) = 0;
  // 13: the process-nesting counter; valid as long as the module lives.
  virtual HRESULT STDCALL GetProcessControl(IProcessControl** control) = 0;
  // 14, 15: objects the host attached.
  virtual HRESULT STDCALL GetAttachedObjectCount(int32_t* count) = 0;
  virtual HRESULT STDCALL GetAttachedObject(int32_t index, IUnknown** object) = 0;
  // 16: the options view of a document kind; nil when the module has none.
  virtual HRESULT STDCALL GetDocumentOptionsView(BSTR name, IUnknown** view) = 0;
  // 17, 18: host queries this kind of module answers with nil.
  virtual HRESULT STDCALL QueryObject1(int32_t value, IUnknown** object) = 0;
  virtual HRESULT STDCALL QueryObject2(int32_t value1, int32_t value2, IUnknown** object) = 0;
  // 19, 20: the module keeps a reference to attached objects until detached.
  virtual HRESULT STDCALL DetachObject(IUnknown* object) = 0;
  virtual HRESULT STDCALL AttachObject(IUnknown* object) = 0;
  // 21: as CreateDocument with an extra flag.
  virtual HRESULT STDCALL CreateDocumentEx(intptr_t a, intptr_t b, ByteBool flag,
                                           IServerDocument** document) = 0;
};

// {37898B64-0BA4-498D-8C2F-9355A98BAA40}
struct IOptionsPageProvider : IUnknown {
  static constexpr GUID IID = {0x37898B64, 0x0BA4, 0x498D, {0x8C, 0x2F, 0x93, 0x55, 0xA9, 0x8B, 0xAA, 0x40}};

  // 3: the options page registered under `name`, or nil.
  virtual HRESULT STDCALL CreateOptionsPage(BSTR name, IUnknown** page) = 0;
  // 4, 5: host notifications about the options dialog.
  virtual HRESULT STDCALL OptionsNotifyA() = 0;
  virtual HRESULT STDCALL OptionsNotifyB() = 0;
};

// {B3F5F50A-C728-462B-8C35-0AF07AEFE6D5}
// Not reference counted: AddRef and Release answer 0; the module owns it.
struct ICommandLauncher : IUnknown {
  static constexpr GUID IID = {0xB3F5F50A, 0xC728, 0x462B, {0x8C, 0x35, 0x0A, 0xF0, 0x7A, 0xEF, 0xE6, 0xD5}};

  // 3: runs the command `name` (compared without regard to case) with the
  // parameter string; `ignored` is a host value the launcher does not read.
  // An unknown name does nothing and succeeds.
  virtual HRESULT STDCALL LaunchCommand(const char* name, const char* parameters, int32_t ignored,
                                        IServerView* view) = 0;
  // 4: the command's state. Defaults: enabled -1, state2 0, state3 -1,
  // state4 and state5 false; the command's state handler may change them.
  virtual HRESULT STDCALL GetCommandState(const char* name, const char* parameters, IServerView* view,
                                          BOOL32* enabled, int32_t* state2, int32_t* state3, ByteBool* state4,
                                          ByteBool* state5) = 0;
};

// {BAF46BDA-19A1-4848-BFAC-2BEC078C8911}
// Not reference counted: AddRef and Release answer 0; the module owns it.
struct IProcessControl : IUnknown {
  static constexpr GUID IID = {0xBAF46BDA, 0x19A1, 0x4848, {0xBF, 0xAC, 0x2B, 0xEC, 0x07, 0x8C, 0x89, 0x11}};

  virtual HRESULT STDCALL GetProcessDepth(int32_t* depth) = 0;
  // 4, 5: the two arguments are ignored; overflow of the counter fails.
  virtual HRESULT STDCALL LeaveProcess(int32_t ignored1, int32_t ignored2) = 0;
  virtual HRESULT STDCALL EnterProcess(int32_t ignored1, int32_t ignored2) = 0;
  virtual HRESULT STDCALL SetProcessDepth(int32_t depth) = 0;
};

// The one export every plug-in module has: creates the server module for the
// client. The caller owns the one reference to *module; on failure *module is
// nil and the status is E_UNEXPECTED, with the error text in the thread's
// error information.
using ServerFactory_t = HRESULT STDCALL(IClient* client, IServerModule** module);

// The crash-trace export a plug-in module may have: writes the calling
// thread's report headed by `message` into `buffer` (cut to fit and
// terminated) and answers the report's full length.
using MadTraceProcess_t = int32_t STDCALL(const char* message, char* buffer, int32_t bufferSize);

}  // namespace qvabi
