// The editor's server module "PCB" and its server interface for plug-ins.
#pragma once

#include <vector>

#include "abi/Client.h"
#include "abi/PcbServer.h"
#include "abi/ServerModule.h"

namespace brelix {

// The editor runs no commands of its own: every name is unknown, does
// nothing and succeeds, and reports itself disabled.
class EditorCommandLauncher final : public abi::ImplementsNoRef<abi::ICommandLauncher> {
 public:
  abi::HRESULT STDCALL LaunchCommand(const char* name, const char* parameters, int32_t ignored,
                                     abi::IServerView* view) override;
  abi::HRESULT STDCALL GetCommandState(const char* name, const char* parameters, abi::IServerView* view,
                                       abi::BOOL32* enabled, int32_t* state2, int32_t* state3,
                                       abi::ByteBool* state4, abi::ByteBool* state5) override;
};

class EditorProcessControl final : public abi::ImplementsNoRef<abi::IProcessControl> {
 public:
  abi::HRESULT STDCALL GetProcessDepth(int32_t* depth) override;
  abi::HRESULT STDCALL LeaveProcess(int32_t, int32_t) override;
  abi::HRESULT STDCALL EnterProcess(int32_t, int32_t) override;
  abi::HRESULT STDCALL SetProcessDepth(int32_t depth) override;

 private:
  int32_t depth_ = 0;
};

// One board's access interface; answers for the board while it is open.
class BoardAccess final : public abi::Implements<abi::BoardAccessInterface> {
 public:
  explicit BoardAccess(abi::PcbHandle board) : board_(board) {}
  abi::HRESULT STDCALL BoardDisallowsCommand(abi::BOOL32* disallows) override;

 private:
  abi::PcbHandle board_;
};

class PcbServerModule final : public abi::Implements<abi::IServerModule, abi::IPCB_ServerInterface> {
 public:
  explicit PcbServerModule(abi::IClient* client);

  // IServerModule
  abi::HRESULT STDCALL Idle() override;
  abi::HRESULT STDCALL HostNotify(int32_t value) override;
  abi::HRESULT STDCALL CreateDocument(intptr_t a, intptr_t b, abi::IServerDocument** document) override;
  abi::HRESULT STDCALL DestroyDocument(abi::IServerDocument* document) override;
  abi::HRESULT STDCALL GetClient(abi::IClient** client) override;
  abi::HRESULT STDCALL GetCommandLauncher(abi::ICommandLauncher** launcher) override;
  abi::HRESULT STDCALL GetDocumentCount(int32_t* count) override;
  abi::HRESULT STDCALL GetDocument(int32_t index, abi::IServerDocument** document) override;
  abi::HRESULT STDCALL GetModuleInstance(int32_t* instance) override;
  abi::HRESULT STDCALL GetModuleName(abi::BSTR* name) override;
  abi::HRESULT STDCALL GetProcessControl(abi::IProcessControl** control) override;
  abi::HRESULT STDCALL GetAttachedObjectCount(int32_t* count) override;
  abi::HRESULT STDCALL GetAttachedObject(int32_t index, abi::IUnknown** object) override;
  abi::HRESULT STDCALL GetDocumentOptionsView(abi::BSTR name, abi::IUnknown** view) override;
  abi::HRESULT STDCALL QueryObject1(int32_t value, abi::IUnknown** object) override;
  abi::HRESULT STDCALL QueryObject2(int32_t value1, int32_t value2, abi::IUnknown** object) override;
  abi::HRESULT STDCALL DetachObject(abi::IUnknown* object) override;
  abi::HRESULT STDCALL AttachObject(abi::IUnknown* object) override;
  abi::HRESULT STDCALL CreateDocumentEx(intptr_t a, intptr_t b, abi::ByteBool flag,
                                        abi::IServerDocument** document) override;

  // IPCB_ServerInterface
  abi::HRESULT STDCALL QueryBoardInterface(abi::PcbHandle board, abi::REFIID iid, void** object,
                                           abi::BOOL32* found) override;
  abi::HRESULT STDCALL NotifyHandlerCreated() override;
  abi::HRESULT STDCALL NotifyHandlerDestroyed() override;

 private:
  ~PcbServerModule() override = default;

  abi::ComPtr<abi::IClient> client_;
  EditorCommandLauncher launcher_;
  EditorProcessControl processControl_;
  std::vector<abi::ComPtr<abi::IUnknown>> attached_;
};

}  // namespace brelix
