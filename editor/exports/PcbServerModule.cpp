#include "editor/exports/PcbServerModule.h"

#include <limits>

#include "editor/Editor.h"
#include "editor/exports/Exports.h"
#include "platform/Modules.h"
#include "platform/WideString.h"

namespace brelix {

using qvabi::E_POINTER;
using qvabi::E_UNEXPECTED;
using qvabi::HRESULT;
using qvabi::S_OK;

HRESULT STDCALL EditorCommandLauncher::LaunchCommand(const char*, const char*, int32_t, qvabi::IServerView*) {
  return S_OK;
}

HRESULT STDCALL EditorCommandLauncher::GetCommandState(const char*, const char*, qvabi::IServerView*,
                                                       qvabi::BOOL32* enabled, int32_t* state2,
                                                       int32_t* state3, qvabi::ByteBool* state4,
                                                       qvabi::ByteBool* state5) {
  if (enabled) *enabled = qvabi::kFalse32;
  if (state2) *state2 = 0;
  if (state3) *state3 = qvabi::kTrue32;
  if (state4) *state4 = qvabi::ToByteBool(false);
  if (state5) *state5 = qvabi::ToByteBool(false);
  return S_OK;
}

HRESULT STDCALL EditorProcessControl::GetProcessDepth(int32_t* depth) {
  if (!depth) return E_POINTER;
  *depth = depth_;
  return S_OK;
}

HRESULT STDCALL EditorProcessControl::LeaveProcess(int32_t, int32_t) {
  if (depth_ == std::numeric_limits<int32_t>::min()) return E_UNEXPECTED;
  --depth_;
  return S_OK;
}

HRESULT STDCALL EditorProcessControl::EnterProcess(int32_t, int32_t) {
  if (depth_ == std::numeric_limits<int32_t>::max()) return E_UNEXPECTED;
  ++depth_;
  return S_OK;
}

HRESULT STDCALL EditorProcessControl::SetProcessDepth(int32_t depth) {
  depth_ = depth;
  return S_OK;
}

HRESULT STDCALL BoardAccess::BoardDisallowsCommand(qvabi::BOOL32* disallows) {
  if (!disallows) return E_POINTER;
  const Board* board = Editor::Instance().FindBoard(board_);
  if (!board) {
    *disallows = qvabi::kTrue32;  // a closed board takes no commands
    return E_UNEXPECTED;
  }
  *disallows = qvabi::ToBool32(board->refusesCommands);
  return S_OK;
}

PcbServerModule::PcbServerModule(qvabi::IClient* client)
    : client_(qvabi::ComPtr<qvabi::IClient>::Share(client)) {}

HRESULT STDCALL PcbServerModule::Idle() { return S_OK; }
HRESULT STDCALL PcbServerModule::HostNotify(int32_t) { return S_OK; }

HRESULT STDCALL PcbServerModule::CreateDocument(intptr_t, intptr_t, qvabi::IServerDocument** document) {
  // Boards are opened through the simulation API, not by the host's document factory.
  if (document) *document = nullptr;
  return E_UNEXPECTED;
}

HRESULT STDCALL PcbServerModule::DestroyDocument(qvabi::IServerDocument*) { return E_UNEXPECTED; }

HRESULT STDCALL PcbServerModule::GetClient(qvabi::IClient** client) {
  if (!client) return E_POINTER;
  *client = client_.get();
  if (*client) (*client)->AddRef();
  return S_OK;
}

HRESULT STDCALL PcbServerModule::GetCommandLauncher(qvabi::ICommandLauncher** launcher) {
  if (!launcher) return E_POINTER;
  *launcher = &launcher_;
  return S_OK;
}

HRESULT STDCALL PcbServerModule::GetDocumentCount(int32_t* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDCALL PcbServerModule::GetDocument(int32_t, qvabi::IServerDocument** document) {
  if (document) *document = nullptr;
  return E_UNEXPECTED;
}

HRESULT STDCALL PcbServerModule::GetModuleInstance(int32_t* instance) {
  if (!instance) return E_POINTER;
  *instance = platform::ModuleInstanceOf(reinterpret_cast<const void*>(&ServerFactory));
  return S_OK;
}

HRESULT STDCALL PcbServerModule::GetModuleName(qvabi::BSTR* name) {
  if (!name) return E_POINTER;
  *name = platform::SysAllocString(u"PCB");
  return *name ? S_OK : E_UNEXPECTED;
}

HRESULT STDCALL PcbServerModule::GetProcessControl(qvabi::IProcessControl** control) {
  if (!control) return E_POINTER;
  *control = &processControl_;
  return S_OK;
}

HRESULT STDCALL PcbServerModule::GetAttachedObjectCount(int32_t* count) {
  if (!count) return E_POINTER;
  *count = static_cast<int32_t>(attached_.size());
  return S_OK;
}

HRESULT STDCALL PcbServerModule::GetAttachedObject(int32_t index, qvabi::IUnknown** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= attached_.size()) return E_UNEXPECTED;
  *object = attached_[static_cast<std::size_t>(index)].get();
  (*object)->AddRef();
  return S_OK;
}

HRESULT STDCALL PcbServerModule::GetDocumentOptionsView(qvabi::BSTR, qvabi::IUnknown** view) {
  if (view) *view = nullptr;
  return S_OK;
}

HRESULT STDCALL PcbServerModule::QueryObject1(int32_t, qvabi::IUnknown** object) {
  if (object) *object = nullptr;
  return S_OK;
}

HRESULT STDCALL PcbServerModule::QueryObject2(int32_t, int32_t, qvabi::IUnknown** object) {
  if (object) *object = nullptr;
  return S_OK;
}

HRESULT STDCALL PcbServerModule::DetachObject(qvabi::IUnknown* object) {
  for (auto it = attached_.begin(); it != attached_.end(); ++it) {
    if (it->get() == object) {
      attached_.erase(it);
      return S_OK;
    }
  }
  return E_UNEXPECTED;
}

HRESULT STDCALL PcbServerModule::AttachObject(qvabi::IUnknown* object) {
  if (!object) return E_POINTER;
  return exports::Guarded<HRESULT>(E_UNEXPECTED, [&] {
    attached_.push_back(qvabi::ComPtr<qvabi::IUnknown>::Share(object));
    return S_OK;
  });
}

HRESULT STDCALL PcbServerModule::CreateDocumentEx(intptr_t a, intptr_t b, qvabi::ByteBool,
                                                  qvabi::IServerDocument** document) {
  return CreateDocument(a, b, document);
}

HRESULT STDCALL PcbServerModule::QueryBoardInterface(qvabi::PcbHandle board, qvabi::REFIID iid, void** object,
                                                     qvabi::BOOL32* found) {
  if (!object || !found) return E_POINTER;
  *object = nullptr;
  *found = qvabi::kFalse32;
  if (!Editor::Instance().FindBoard(board) || !(iid == qvabi::BoardAccessInterface::IID)) return S_OK;
  return exports::Guarded<HRESULT>("editor.QueryBoardInterface", E_UNEXPECTED, [&] {
    auto* access = new BoardAccess(board);
    access->AddRef();
    *object = static_cast<qvabi::BoardAccessInterface*>(access);
    *found = qvabi::kTrue32;
    return S_OK;
  });
}

HRESULT STDCALL PcbServerModule::NotifyHandlerCreated() {
  return exports::Guarded<HRESULT>("editor.NotifyHandlerCreated", E_UNEXPECTED, [] {
    Editor::Instance().Notifications().push_back("NotifyHandlerCreated");
    return S_OK;
  });
}

HRESULT STDCALL PcbServerModule::NotifyHandlerDestroyed() {
  return exports::Guarded<HRESULT>("editor.NotifyHandlerDestroyed", E_UNEXPECTED, [] {
    Editor::Instance().Notifications().push_back("NotifyHandlerDestroyed");
    return S_OK;
  });
}

}  // namespace brelix

extern "C" ABI_EXPORT qvabi::HRESULT STDCALL ServerFactory(qvabi::IClient* client,
                                                           qvabi::IServerModule** module) {
  if (!module) return qvabi::E_UNEXPECTED;
  *module = nullptr;
  return brelix::exports::Guarded<qvabi::HRESULT>(qvabi::E_UNEXPECTED, [&] {
    auto* created = new brelix::PcbServerModule(client);
    created->AddRef();
    *module = static_cast<qvabi::IServerModule*>(created);
    return qvabi::S_OK;
  });
}
