#include "host/DocumentServer.h"

#include <algorithm>

#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/WideString.h"

namespace quorvex {

abi::HRESULT STDCALL DocumentServer::QueryInterface(abi::REFIID iid, void** out) {
  if (iid == abi::INavigableDocument::IID && !navigable_) {
    if (out) *out = nullptr;
    return abi::E_NOINTERFACE;
  }
  return Implements::QueryInterface(iid, out);
}

abi::HRESULT STDCALL DocumentServer::Navigate(abi::BSTR address, abi::BOOL32* success) {
  return HostGuard([&] {
    if (!ClearOut(success)) return Fail("Navigate: nil out argument");
    const std::string text =
        platform::Utf16ToUtf8(std::u16string_view(address ? address : u"", platform::SysStringLen(address)));
    platform::JournalAppend("navigate", "module " + name_ + ": " + text);
    *success = abi::kTrue32;
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL DocumentServer::CreateDocument(intptr_t, intptr_t, abi::IServerDocument** document) {
  ClearOut(document);
  return Fail("CreateDocument: the host's document server creates no documents");
}

abi::HRESULT STDCALL DocumentServer::DestroyDocument(abi::IServerDocument* document) {
  std::erase_if(documents_,
                [&](const auto& held) { return static_cast<abi::IServerDocument*>(held.get()) == document; });
  return abi::S_OK;
}

abi::HRESULT STDCALL DocumentServer::GetClient(abi::IClient** client) {
  return ClearOut(client) ? abi::S_OK : Fail("GetClient: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::GetCommandLauncher(abi::ICommandLauncher** launcher) {
  return ClearOut(launcher) ? abi::S_OK : Fail("GetCommandLauncher: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::GetDocumentCount(int32_t* count) {
  if (!ClearOut(count)) return Fail("GetDocumentCount: nil out argument");
  *count = static_cast<int32_t>(documents_.size());
  return abi::S_OK;
}

abi::HRESULT STDCALL DocumentServer::GetDocument(int32_t index, abi::IServerDocument** document) {
  if (!ClearOut(document)) return Fail("GetDocument: nil out argument");
  if (index < 0 || static_cast<std::size_t>(index) >= documents_.size())
    return Fail("GetDocument: no document " + std::to_string(index));
  Document* found = documents_[static_cast<std::size_t>(index)].get();
  found->AddRef();
  *document = found;
  return abi::S_OK;
}

abi::HRESULT STDCALL DocumentServer::GetModuleInstance(int32_t* instance) {
  return ClearOut(instance) ? abi::S_OK : Fail("GetModuleInstance: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::GetModuleName(abi::BSTR* name) {
  return HostGuard([&] {
    if (!ClearOut(name)) return Fail("GetModuleName: nil out argument");
    *name = platform::BStr::FromUtf8(name_).release();
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL DocumentServer::GetProcessControl(abi::IProcessControl** control) {
  return ClearOut(control) ? abi::S_OK : Fail("GetProcessControl: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::GetAttachedObjectCount(int32_t* count) {
  return ClearOut(count) ? abi::S_OK : Fail("GetAttachedObjectCount: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::GetAttachedObject(int32_t, abi::IUnknown** object) {
  ClearOut(object);
  return Fail("GetAttachedObject: the host's document server has no attached objects");
}

abi::HRESULT STDCALL DocumentServer::GetDocumentOptionsView(abi::BSTR, abi::IUnknown** view) {
  return ClearOut(view) ? abi::S_OK : Fail("GetDocumentOptionsView: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::QueryObject1(int32_t, abi::IUnknown** object) {
  return ClearOut(object) ? abi::S_OK : Fail("QueryObject1: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::QueryObject2(int32_t, int32_t, abi::IUnknown** object) {
  return ClearOut(object) ? abi::S_OK : Fail("QueryObject2: nil out argument");
}

abi::HRESULT STDCALL DocumentServer::DetachObject(abi::IUnknown*) { return abi::S_OK; }

abi::HRESULT STDCALL DocumentServer::AttachObject(abi::IUnknown*) {
  return Fail("AttachObject: the host's document server keeps no attached objects");
}

abi::HRESULT STDCALL DocumentServer::CreateDocumentEx(intptr_t, intptr_t, abi::ByteBool,
                                                      abi::IServerDocument** document) {
  ClearOut(document);
  return Fail("CreateDocumentEx: the host's document server creates no documents");
}

}  // namespace quorvex
