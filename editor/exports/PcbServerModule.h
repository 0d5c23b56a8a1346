// The editor's server module "PCB" and its server interface for plug-ins.
#pragma once

#include <vector>

#include "abi/IClient.h"
#include "abi/IServerModule.h"
#include "abi/PcbServer.h"

namespace brelix {

// The editor runs no commands of its own: every name is unknown, does
// nothing and succeeds, and reports itself disabled.
class EditorCommandLauncher final : public qvabi::ImplementsNoRef<qvabi::ICommandLauncher> {
 public:
  qvabi::HRESULT STDCALL LaunchCommand(const char* name, const char* parameters, int32_t ignored,
                                       qvabi::IServerView* view) override;
  qvabi::HRESULT STDCALL GetCommandState(const char* name, const char* parameters, qvabi::IServerView* view,
                                         qvabi::BOOL32* enabled, int32_t* state2, int32_t* state3,
                                         qvabi::ByteBool* state4, qvabi::ByteBool* state5) override;
};

class EditorProcessControl final : public qvabi::ImplementsNoRef<qvabi::IProcessControl> {
 public:
  qvabi::HRESULT STDCALL GetProcessDepth(int32_t* depth) override;
  qvabi::HRESULT STDCALL LeaveProcess(int32_t, int32_t) override;
  qvabi::HRESULT STDCALL EnterProcess(int32_t, int32_t) override;
  qvabi::HRESULT STDCALL SetProcessDepth(int32_t depth) override;

 private:
  int32_t depth_ = 0;
};

// One board's access interface; answers for the board while it is open.
class BoardAccess final : public qvabi::Implements<qvabi::BoardAccessInterface> {
 public:
  explicit BoardAccess(qvabi::PcbHandle board) : board_(board) {}
  qvabi::HRESULT STDCALL BoardDisallowsCommand(qvabi::BOOL32* disallows) override;

 private:
  qvabi::PcbHandle board_;
};

class PcbServerModule final : public qvabi::Implements<qvabi::IServerModule, qvabi::IPCB_ServerInterface> {
 public:
  explicit PcbServerModule(qvabi::IClient* client);

  // IServerModule
  qvabi::HRESULT STDCALL Idle() override;
  qvabi::HRESULT STDCALL HostNotify(int32_t value) override;
  qvabi::HRESULT STDCALL CreateDocument(intptr_t a, intptr_t b, qvabi::IServerDocument** document) override;
  qvabi::HRESULT STDCALL DestroyDocument(qvabi::IServerDocument* document) override;
  qvabi::HRESULT STDCALL GetClient(qvabi::IClient** client) override;
  qvabi::HRESULT STDCALL GetCommandLauncher(qvabi::ICommandLauncher** launcher) override;
  qvabi::HRESULT STDCALL GetDocumentCount(int32_t* count) override;
  qvabi::HRESULT STDCALL GetDocument(int32_t index, qvabi::IServerDocument** document) override;
  qvabi::HRESULT STDCALL GetModuleInstance(int32_t* instance) override;
  qvabi::HRESULT STDCALL GetModuleName(qvabi::BSTR* name) override;
  qvabi::HRESULT STDCALL GetProcessControl(qvabi::IProcessControl** control) override;
  qvabi::HRESULT STDCALL GetAttachedObjectCount(int32_t* count) override;
  qvabi::HRESULT STDCALL GetAttachedObject(int32_t index, qvabi::IUnknown** object) override;
  qvabi::HRESULT STDCALL GetDocumentOptionsView(qvabi::BSTR name, qvabi::IUnknown** view) override;
  qvabi::HRESULT STDCALL QueryObject1(int32_t value, qvabi::IUnknown** object) override;
  qvabi::HRESULT STDCALL QueryObject2(int32_t value1, int32_t value2, qvabi::IUnknown** object) override;
  qvabi::HRESULT STDCALL DetachObject(qvabi::IUnknown* object) override;
  qvabi::HRESULT STDCALL AttachObject(qvabi::IUnknown* object) override;
  qvabi::HRESULT STDCALL CreateDocumentEx(intptr_t a, intptr_t b, qvabi::ByteBool flag,
                                          qvabi::IServerDocument** document) override;

  // IPCB_ServerInterface
  qvabi::HRESULT STDCALL QueryBoardInterface(qvabi::PcbHandle board, qvabi::REFIID iid, void** object,
                                             qvabi::BOOL32* found) override;
  qvabi::HRESULT STDCALL NotifyHandlerCreated() override;
  qvabi::HRESULT STDCALL NotifyHandlerDestroyed() override;

 private:
  ~PcbServerModule() override = default;

  qvabi::ComPtr<qvabi::IClient> client_;
  EditorCommandLauncher launcher_;
  EditorProcessControl processControl_;
  std::vector<qvabi::ComPtr<qvabi::IUnknown>> attached_;
};

}  // namespace brelix
