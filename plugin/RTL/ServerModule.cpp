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

template <typename T>
T& OutArgument(T* argument) {
  if (!argument) throw Exception("Out argument is nil");
  return *argument;
}

// Out interfaces and strings are nil before any work, so that a failure
// never leaves the host a stale pointer.
template <typename T>
T*& ClearedOut(T** argument) {
  T*& out = OutArgument(argument);
  out = nullptr;
  return out;
}

std::string NarrowName(abi::BSTR name) {
  return platform::Utf16ToUtf8(std::u16string_view(name ? name : u"", platform::SysStringLen(name)));
}

}  // namespace

bool TCaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
  return platform::CompareTextIgnoreCase(a, b) < 0;
}

TServerModule::TServerModule(abi::IClient* Client, std::string ModuleName)
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

abi::HRESULT TServerModule::QueryInterface(abi::REFIID iid, void** out) {
  if (!out) return abi::E_POINTER;
  *out = nullptr;
  if (iid == abi::IUnknown::IID || iid == abi::IServerModule::IID)
    *out = AsServerModule();
  else if (iid == abi::IOptionsPageProvider::IID)
    *out = AsOptionsPageProvider();
  else
    return abi::E_NOINTERFACE;
  AddRef();
  return abi::S_OK;
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

void TServerModule::CreateDocument(intptr_t A, intptr_t B, abi::ComPtr<abi::IServerDocument>& D) {
  D.reset();
  CheckHost(AsServerModule()->CreateDocumentEx(A, B, 1, D.put()));
}

void TServerModule::CreateDocumentEx(intptr_t A, intptr_t B, bool Flag,
                                     abi::ComPtr<abi::IServerDocument>& D) {
  NewDocumentEx(A, B, Flag, D);
  if (D) FDocuments.Add(D.get());
}

void TServerModule::DestroyDocument(abi::IServerDocument* D) {
  if (!D) return;
  CheckHost(D->ReleaseDocument());
  FDocuments.Remove(D);
}

void TServerModule::GetCommandLauncher(abi::ICommandLauncher*& L) { L = FCommandLauncher.get(); }

void TServerModule::QueryObject1(int32_t, abi::ComPtr<abi::IUnknown>& Y) { Y.reset(); }

void TServerModule::DetachObject(abi::IUnknown* X) { FAttachedObjects.Remove(X); }

void TServerModule::AttachObject(abi::IUnknown* X) { FAttachedObjects.Add(X); }

void TServerModule::QueryObject2(int32_t, int32_t, abi::ComPtr<abi::IUnknown>& Z) { Z.reset(); }

abi::ComPtr<abi::IUnknown> TServerModule::FindDocumentOptionsSource(const std::string&) { return {}; }

void TServerModule::NewDocumentEx(intptr_t A, intptr_t B, bool, abi::ComPtr<abi::IServerDocument>& D) {
  NewDocument(A, B, D);
}

void TServerModule::HostNotify(int32_t) {}

void TServerModule::RegisterCommands() {}

void TServerModule::CreateCommandLauncher() { FCommandLauncher = std::make_unique<TCommandLauncher>(); }

void TServerModule::CreateOptionsPage(const std::string& Name, abi::ComPtr<abi::IUnknown>& P) {
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

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::QueryInterface(abi::REFIID iid, void** out) {
  return owner_.QueryInterface(iid, out);
}
uint32_t STDCALL TServerModule::TServerModuleFacet::AddRef() { return owner_.AddRef(); }
uint32_t STDCALL TServerModule::TServerModuleFacet::Release() { return owner_.Release(); }

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::Idle() {
  return Guard([&] { owner_.Idle(); });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::HostNotify(int32_t value) {
  return Guard([&] { owner_.HostNotify(value); });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::CreateDocument(intptr_t a, intptr_t b,
                                                                       abi::IServerDocument** document) {
  return Guard([&] {
    abi::IServerDocument*& out = ClearedOut(document);
    abi::ComPtr<abi::IServerDocument> created;
    owner_.CreateDocument(a, b, created);
    out = created.detach();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::DestroyDocument(abi::IServerDocument* document) {
  return Guard([&] { owner_.DestroyDocument(document); });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetClient(abi::IClient** client) {
  return Guard([&] {
    abi::IClient*& out = ClearedOut(client);
    out = abi::ComPtr<abi::IClient>::Share(owner_.FClient).detach();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetCommandLauncher(abi::ICommandLauncher** launcher) {
  return Guard([&] {
    abi::ICommandLauncher*& out = ClearedOut(launcher);
    owner_.GetCommandLauncher(out);
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetDocumentCount(int32_t* count) {
  return Guard([&] {
    int32_t& out = OutArgument(count);
    out = 0;
    out = owner_.FDocuments.Count();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetDocument(int32_t index,
                                                                    abi::IServerDocument** document) {
  return Guard([&] {
    abi::IServerDocument*& out = ClearedOut(document);
    out = owner_.FDocuments.Get(index).detach();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetModuleInstance(int32_t* instance) {
  return Guard([&] {
    int32_t& out = OutArgument(instance);
    out = 0;
    static const int anchor = 0;
    out = platform::ModuleInstanceOf(&anchor);
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetModuleName(abi::BSTR* name) {
  return Guard([&] {
    abi::BSTR& out = ClearedOut(name);
    out = platform::BStr::FromUtf8(owner_.FModuleName).release();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetProcessControl(abi::IProcessControl** control) {
  return Guard([&] {
    abi::IProcessControl*& out = ClearedOut(control);
    out = owner_.FProcessControl.get();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetAttachedObjectCount(int32_t* count) {
  return Guard([&] {
    int32_t& out = OutArgument(count);
    out = 0;
    out = owner_.FAttachedObjects.Count();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetAttachedObject(int32_t index,
                                                                          abi::IUnknown** object) {
  return Guard([&] {
    abi::IUnknown*& out = ClearedOut(object);
    out = owner_.FAttachedObjects.Get(index).detach();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::GetDocumentOptionsView(abi::BSTR name,
                                                                               abi::IUnknown** view) {
  return Guard([&] {
    abi::IUnknown*& out = ClearedOut(view);
    out = owner_.FindDocumentOptionsSource(NarrowName(name)).detach();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::QueryObject1(int32_t value, abi::IUnknown** object) {
  return Guard([&] {
    abi::IUnknown*& out = ClearedOut(object);
    abi::ComPtr<abi::IUnknown> result;
    owner_.QueryObject1(value, result);
    out = result.detach();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::QueryObject2(int32_t value1, int32_t value2,
                                                                     abi::IUnknown** object) {
  return Guard([&] {
    abi::IUnknown*& out = ClearedOut(object);
    abi::ComPtr<abi::IUnknown> result;
    owner_.QueryObject2(value1, value2, result);
    out = result.detach();
  });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::DetachObject(abi::IUnknown* object) {
  return Guard([&] { owner_.DetachObject(object); });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::AttachObject(abi::IUnknown* object) {
  return Guard([&] { owner_.AttachObject(object); });
}

abi::HRESULT STDCALL TServerModule::TServerModuleFacet::CreateDocumentEx(intptr_t a, intptr_t b,
                                                                         abi::ByteBool flag,
                                                                         abi::IServerDocument** document) {
  return Guard([&] {
    abi::IServerDocument*& out = ClearedOut(document);
    abi::ComPtr<abi::IServerDocument> created;
    owner_.CreateDocumentEx(a, b, flag != 0, created);
    out = created.detach();
  });
}

// IOptionsPageProvider.

abi::HRESULT STDCALL TServerModule::TOptionsPageFacet::QueryInterface(abi::REFIID iid, void** out) {
  return owner_.QueryInterface(iid, out);
}
uint32_t STDCALL TServerModule::TOptionsPageFacet::AddRef() { return owner_.AddRef(); }
uint32_t STDCALL TServerModule::TOptionsPageFacet::Release() { return owner_.Release(); }

abi::HRESULT STDCALL TServerModule::TOptionsPageFacet::CreateOptionsPage(abi::BSTR name,
                                                                         abi::IUnknown** page) {
  return Guard([&] {
    abi::IUnknown*& out = ClearedOut(page);
    abi::ComPtr<abi::IUnknown> created;
    owner_.CreateOptionsPage(NarrowName(name), created);
    out = created.detach();
  });
}

abi::HRESULT STDCALL TServerModule::TOptionsPageFacet::OptionsNotifyA() {
  return Guard([&] { owner_.OptionsNotifyA(); });
}

abi::HRESULT STDCALL TServerModule::TOptionsPageFacet::OptionsNotifyB() {
  return Guard([&] { owner_.OptionsNotifyB(); });
}

}  // namespace strativue
