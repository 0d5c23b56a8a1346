#include "plugin/RTL/ServerModule.h"

#include "platform/Locale.h"
#include "platform/MessageQueue.h"
#include "platform/Modules.h"
#include "platform/WideString.h"
#include "plugin/RTL/Exceptions.h"
#include "plugin/RTL/HostClient.h"
#include "plugin/RTL/StatusGuard.h"
#include "toolkit/Application.h"

namespace strativue {
namespace {

// Out interfaces and strings are nil before any work, so that a failure
// never leaves the host a stale pointer.
template <typename T>
T*& ClearedOut(T** argument) {
  T*& out = OutArgument(argument);
  out = nullptr;
  return out;
}

std::string NarrowName(qvabi::BSTR name) { return platform::BStrToUtf8(name); }

}  // namespace

bool TCaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
  return platform::CompareTextIgnoreCase(a, b) < 0;
}

TServerModule::TServerModule(qvabi::IClient* Client, std::string ModuleName)
    : FClient(Client), FModuleName(std::move(ModuleName)) {
  SetHostClient(Client);
}

TServerModule::~TServerModule() {
  FAttachedObjects.Clear();
  FCommandLauncher.reset();
  FDocuments.Clear();
  FProcessControl.reset();
  FOptionsPages.reset();
}

void TServerModule::Initialize() {
  CreateCommandLauncher();
  FProcessControl = std::make_unique<TProcessControl>();
  RegisterCommands();
  AfterCreate();
  if (FClient) {
    int32_t handle = 0;
    CheckHost(FClient->GetApplicationHandle(&handle));
    if (handle < 0) throw ERangeError("Range check error: application handle " + std::to_string(handle));
    toolkit::Application().SetHandle(handle);
  }
}

qvabi::HRESULT TServerModule::QueryInterface(qvabi::REFIID iid, void** out) {
  if (!out) return qvabi::E_POINTER;
  *out = nullptr;
  if (iid == qvabi::IUnknown::IID || iid == qvabi::IServerModule::IID)
    *out = AsServerModule();
  else if (iid == qvabi::IOptionsPageProvider::IID)
    *out = AsOptionsPageProvider();
  else
    return qvabi::E_NOINTERFACE;
  AddRef();
  return qvabi::S_OK;
}

uint32_t TServerModule::AddRef() { return ++FRefCount; }

uint32_t TServerModule::Release() {
  const uint32_t left = --FRefCount;
  if (left == 0) delete this;
  return left;
}

void TServerModule::Idle() {
  platform::Message message{};
  if (platform::PeekMessage(&message, false))
    platform::PostMessage(toolkit::Application().Handle(), platform::WM_USER, 0, 0);
  toolkit::Application().Idle();
}

void TServerModule::CreateDocument(intptr_t A, intptr_t B, qvabi::ComPtr<qvabi::IServerDocument>& D) {
  D.reset();
  CheckHost(AsServerModule()->CreateDocumentEx(A, B, 1, D.put()));
}

void TServerModule::CreateDocumentEx(intptr_t A, intptr_t B, bool Flag,
                                     qvabi::ComPtr<qvabi::IServerDocument>& D) {
  NewDocumentEx(A, B, Flag, D);
  if (D) FDocuments.Add(D.get());
}

void TServerModule::DestroyDocument(qvabi::IServerDocument* D) {
  if (!D) return;
  CheckHost(D->ReleaseDocument());
  FDocuments.Remove(D);
}

void TServerModule::GetCommandLauncher(qvabi::ICommandLauncher*& L) { L = FCommandLauncher.get(); }

void TServerModule::QueryObject1(int32_t, qvabi::ComPtr<qvabi::IUnknown>& Y) { Y.reset(); }

void TServerModule::DetachObject(qvabi::IUnknown* X) { FAttachedObjects.Remove(X); }

void TServerModule::AttachObject(qvabi::IUnknown* X) { FAttachedObjects.Add(X); }

void TServerModule::QueryObject2(int32_t, int32_t, qvabi::ComPtr<qvabi::IUnknown>& Z) { Z.reset(); }

qvabi::ComPtr<qvabi::IUnknown> TServerModule::FindDocumentOptionsSource(const std::string&) { return {}; }

void TServerModule::NewDocumentEx(intptr_t A, intptr_t B, bool, qvabi::ComPtr<qvabi::IServerDocument>& D) {
  NewDocument(A, B, D);
}

void TServerModule::HostNotify(int32_t) {}

void TServerModule::RegisterCommands() {}

void TServerModule::CreateCommandLauncher() { FCommandLauncher = std::make_unique<TCommandLauncher>(); }

void TServerModule::CreateOptionsPage(const std::string& Name, qvabi::ComPtr<qvabi::IUnknown>& P) {
  P.reset();
  if (!FOptionsPages) return;
  const auto found = FOptionsPages->find(Name);
  if (found != FOptionsPages->end() && found->second) P = found->second();
}

void TServerModule::OptionsNotifyA() {}

void TServerModule::OptionsNotifyB() {}

void TServerModule::AfterCreate() {}

// IServerModule: each method guards the boundary and forwards to its
// virtual operation.

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::QueryInterface(qvabi::REFIID iid, void** out) {
  return owner_.QueryInterface(iid, out);
}
uint32_t STDCALL TServerModule::TServerModuleFacet::AddRef() { return owner_.AddRef(); }
uint32_t STDCALL TServerModule::TServerModuleFacet::Release() { return owner_.Release(); }

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::Idle() {
  return Guard([&] { owner_.Idle(); });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::HostNotify(int32_t value) {
  return Guard([&] { owner_.HostNotify(value); });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::CreateDocument(intptr_t a, intptr_t b,
                                                                         qvabi::IServerDocument** document) {
  return Guard([&] {
    qvabi::IServerDocument*& out = ClearedOut(document);
    qvabi::ComPtr<qvabi::IServerDocument> created;
    owner_.CreateDocument(a, b, created);
    out = created.detach();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::DestroyDocument(qvabi::IServerDocument* document) {
  return Guard([&] { owner_.DestroyDocument(document); });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetClient(qvabi::IClient** client) {
  return Guard([&] {
    qvabi::IClient*& out = ClearedOut(client);
    out = qvabi::ComPtr<qvabi::IClient>::Share(owner_.FClient).detach();
  });
}

qvabi::HRESULT STDCALL
TServerModule::TServerModuleFacet::GetCommandLauncher(qvabi::ICommandLauncher** launcher) {
  return Guard([&] {
    qvabi::ICommandLauncher*& out = ClearedOut(launcher);
    owner_.GetCommandLauncher(out);
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetDocumentCount(int32_t* count) {
  return Guard([&] {
    int32_t& out = OutArgument(count);
    out = 0;
    out = owner_.FDocuments.Count();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetDocument(int32_t index,
                                                                      qvabi::IServerDocument** document) {
  return Guard([&] {
    qvabi::IServerDocument*& out = ClearedOut(document);
    out = owner_.FDocuments.Get(index).detach();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetModuleInstance(int32_t* instance) {
  return Guard([&] {
    int32_t& out = OutArgument(instance);
    out = 0;
    static const int anchor = 0;
    out = platform::ModuleInstanceOf(&anchor);
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetModuleName(qvabi::BSTR* name) {
  return Guard([&] {
    qvabi::BSTR& out = ClearedOut(name);
    out = platform::BStr::FromUtf8(owner_.FModuleName).release();
  });
}

qvabi::HRESULT STDCALL
TServerModule::TServerModuleFacet::GetProcessControl(qvabi::IProcessControl** control) {
  return Guard([&] {
    qvabi::IProcessControl*& out = ClearedOut(control);
    out = owner_.FProcessControl.get();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetAttachedObjectCount(int32_t* count) {
  return Guard([&] {
    int32_t& out = OutArgument(count);
    out = 0;
    out = owner_.FAttachedObjects.Count();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetAttachedObject(int32_t index,
                                                                            qvabi::IUnknown** object) {
  return Guard([&] {
    qvabi::IUnknown*& out = ClearedOut(object);
    out = owner_.FAttachedObjects.Get(index).detach();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetDocumentOptionsView(qvabi::BSTR name,
                                                                                 qvabi::IUnknown** view) {
  return Guard([&] {
    qvabi::IUnknown*& out = ClearedOut(view);
    out = owner_.FindDocumentOptionsSource(NarrowName(name)).detach();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::QueryObject1(int32_t value,
                                                                       qvabi::IUnknown** object) {
  return Guard([&] {
    qvabi::IUnknown*& out = ClearedOut(object);
    qvabi::ComPtr<qvabi::IUnknown> result;
    owner_.QueryObject1(value, result);
    out = result.detach();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::QueryObject2(int32_t value1, int32_t value2,
                                                                       qvabi::IUnknown** object) {
  return Guard([&] {
    qvabi::IUnknown*& out = ClearedOut(object);
    qvabi::ComPtr<qvabi::IUnknown> result;
    owner_.QueryObject2(value1, value2, result);
    out = result.detach();
  });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::DetachObject(qvabi::IUnknown* object) {
  return Guard([&] { owner_.DetachObject(object); });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::AttachObject(qvabi::IUnknown* object) {
  return Guard([&] { owner_.AttachObject(object); });
}

qvabi::HRESULT STDCALL TServerModule::TServerModuleFacet::CreateDocumentEx(
    intptr_t a, intptr_t b, qvabi::ByteBool flag, qvabi::IServerDocument** document) {
  return Guard([&] {
    qvabi::IServerDocument*& out = ClearedOut(document);
    qvabi::ComPtr<qvabi::IServerDocument> created;
    owner_.CreateDocumentEx(a, b, flag != 0, created);
    out = created.detach();
  });
}

// IOptionsPageProvider.

qvabi::HRESULT STDCALL TServerModule::TOptionsPageFacet::QueryInterface(qvabi::REFIID iid, void** out) {
  return owner_.QueryInterface(iid, out);
}
uint32_t STDCALL TServerModule::TOptionsPageFacet::AddRef() { return owner_.AddRef(); }
uint32_t STDCALL TServerModule::TOptionsPageFacet::Release() { return owner_.Release(); }

qvabi::HRESULT STDCALL TServerModule::TOptionsPageFacet::CreateOptionsPage(qvabi::BSTR name,
                                                                           qvabi::IUnknown** page) {
  return Guard([&] {
    qvabi::IUnknown*& out = ClearedOut(page);
    qvabi::ComPtr<qvabi::IUnknown> created;
    owner_.CreateOptionsPage(NarrowName(name), created);
    out = created.detach();
  });
}

qvabi::HRESULT STDCALL TServerModule::TOptionsPageFacet::OptionsNotifyA() {
  return Guard([&] { owner_.OptionsNotifyA(); });
}

qvabi::HRESULT STDCALL TServerModule::TOptionsPageFacet::OptionsNotifyB() {
  return Guard([&] { owner_.OptionsNotifyB(); });
}

}  // namespace strativue
