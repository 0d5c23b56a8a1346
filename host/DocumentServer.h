// A server module of the host's own that holds documents, so that the
// documents of kinds no loaded plug-in serves (help pages, text files, ...)
// are found by walking the server modules as plug-ins do. Tests register one
// with Host::AddServerModule to give the open-view search documents and
// views to find. Made navigable, it answers INavigableDocument and records
// each navigation as a "navigate" journal entry ("module <name>: <address>").
#pragma once

#include <string>
#include <vector>

#include "abi/IServerModule.h"
#include "abi/Navigation.h"
#include "abi/Unknown.h"
#include "host/Documents.h"

namespace quorvex {

class DocumentServer final : public qvabi::Implements<qvabi::IServerModule, qvabi::INavigableDocument> {
 public:
  explicit DocumentServer(std::string name) : name_(std::move(name)) {}

  // Adds a document (a new reference is kept).
  void AddDocument(Document* document) { documents_.push_back(qvabi::ComPtr<Document>::Share(document)); }
  void SetNavigable(bool navigable) { navigable_ = navigable; }

  qvabi::HRESULT STDCALL QueryInterface(qvabi::REFIID iid, void** out) override;
  qvabi::HRESULT STDCALL Navigate(qvabi::BSTR address, qvabi::BOOL32* success) override;

  qvabi::HRESULT STDCALL Idle() override { return qvabi::S_OK; }
  qvabi::HRESULT STDCALL HostNotify(int32_t) override { return qvabi::S_OK; }
  qvabi::HRESULT STDCALL CreateDocument(intptr_t, intptr_t, qvabi::IServerDocument** document) override;
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
  qvabi::HRESULT STDCALL CreateDocumentEx(intptr_t, intptr_t, qvabi::ByteBool,
                                          qvabi::IServerDocument** document) override;

 private:
  std::string name_;
  std::vector<qvabi::ComPtr<Document>> documents_;
  bool navigable_ = false;
};

}  // namespace quorvex
