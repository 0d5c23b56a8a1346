#include "host/DocumentServer.h"

#include <algorithm>

#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/WideString.h"

namespace quorvex {

qvabi::HRESULT STDCALL DocumentServer::QueryInterface(qvabi::REFIID iid, void** out) {
  if (iid == qvabi::INavigableDocument::IID && !navigable_) {
    if (out) *out = nullptr;
    return qvabi::E_NOINTERFACE;
  }
  return Implements::QueryInterface(iid, out);
}

qvabi::HRESULT STDCALL DocumentServer::Navigate(qvabi::BSTR address, qvabi::BOOL32* success) {
  return HostGuard([&] {
    if (!ClearOut(success)) return Fail("Navigate: nil out argument");
    const std::string text = platform::BStrToUtf8(address);
    platform::JournalAppend("navigate", "module " + name_ + ": " + text);
    *success = qvabi::kTrue32;
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL DocumentServer::CreateDocument(intptr_t, intptr_t, qvabi::IServerDocument** document) {
  ClearOut(document);
  return Fail("CreateDocument: the host's document server creates no documents");
}

qvabi::HRESULT STDCALL DocumentServer::DestroyDocument(qvabi::IServerDocument* document) {
  std::erase_if(documents_, [&](const auto& held) {
    return static_cast<qvabi::IServerDocument*>(held.get()) == document;
  });
  return qvabi::S_OK;
}

qvabi::HRESULT STDCALL DocumentServer::GetClient(qvabi::IClient** client) {
  return ClearOut(client) ? qvabi::S_OK : Fail("GetClient: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::GetCommandLauncher(qvabi::ICommandLauncher** launcher) {
  return ClearOut(launcher) ? qvabi::S_OK : Fail("GetCommandLauncher: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::GetDocumentCount(int32_t* count) {
  if (!ClearOut(count)) return Fail("GetDocumentCount: nil out argument");
  *count = static_cast<int32_t>(documents_.size());
  return qvabi::S_OK;
}

qvabi::HRESULT STDCALL DocumentServer::GetDocument(int32_t index, qvabi::IServerDocument** document) {
  if (!ClearOut(document)) return Fail("GetDocument: nil out argument");
  if (index < 0 || static_cast<std::size_t>(index) >= documents_.size())
    return Fail("GetDocument: no document " + std::to_string(index));
  Document* found = documents_[static_cast<std::size_t>(index)].get();
  found->AddRef();
  *document = found;
  return qvabi::S_OK;
}

qvabi::HRESULT STDCALL DocumentServer::GetModuleInstance(int32_t* instance) {
  return ClearOut(instance) ? qvabi::S_OK : Fail("GetModuleInstance: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::GetModuleName(qvabi::BSTR* name) {
  return HostGuard([&] {
    if (!ClearOut(name)) return Fail("GetModuleName: nil out argument");
    *name = platform::BStr::FromUtf8(name_).release();
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL DocumentServer::GetProcessControl(qvabi::IProcessControl** control) {
  return ClearOut(control) ? qvabi::S_OK : Fail("GetProcessControl: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::GetAttachedObjectCount(int32_t* count) {
  return ClearOut(count) ? qvabi::S_OK : Fail("GetAttachedObjectCount: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::GetAttachedObject(int32_t, qvabi::IUnknown** object) {
  ClearOut(object);
  return Fail("GetAttachedObject: the host's document server has no attached objects");
}

qvabi::HRESULT STDCALL DocumentServer::GetDocumentOptionsView(qvabi::BSTR, qvabi::IUnknown** view) {
  return ClearOut(view) ? qvabi::S_OK : Fail("GetDocumentOptionsView: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::QueryObject1(int32_t, qvabi::IUnknown** object) {
  return ClearOut(object) ? qvabi::S_OK : Fail("QueryObject1: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::QueryObject2(int32_t, int32_t, qvabi::IUnknown** object) {
  return ClearOut(object) ? qvabi::S_OK : Fail("QueryObject2: nil out argument");
}

qvabi::HRESULT STDCALL DocumentServer::DetachObject(qvabi::IUnknown*) { return qvabi::S_OK; }

qvabi::HRESULT STDCALL DocumentServer::AttachObject(qvabi::IUnknown*) {
  return Fail("AttachObject: the host's document server keeps no attached objects");
}

qvabi::HRESULT STDCALL DocumentServer::CreateDocumentEx(intptr_t, intptr_t, qvabi::ByteBool,
                                                        qvabi::IServerDocument** document) {
  ClearOut(document);
  return Fail("CreateDocumentEx: the host's document server creates no documents");
}

}  // namespace quorvex
