// A server module of the host's own that holds documents, so that the
// documents of kinds no loaded plug-in serves (help pages, text files, ...)
// are found by walking the server modules as plug-ins do. Tests register one
// with Host::addServerModule to give the open-view search documents and
// views to find. Made navigable, it answers INavigableDocument and records
// each navigation as a "navigate" journal entry ("module <name>: <address>").
#pragma once

#include <string>
#include <vector>

#include "abi/Navigation.h"
#include "abi/ServerModule.h"
#include "abi/Unknown.h"
#include "host/Documents.h"

namespace quorvex {

class DocumentServer final : public abi::Implements<abi::IServerModule, abi::INavigableDocument> {
 public:
  explicit DocumentServer(std::string name) : name_(std::move(name)) {}

  // Adds a document (a new reference is kept).
  void addDocument(Document* document) { documents_.push_back(abi::ComPtr<Document>::Share(document)); }
  void setNavigable(bool navigable) { navigable_ = navigable; }

  abi::HRESULT STDCALL QueryInterface(abi::REFIID iid, void** out) override;
  abi::HRESULT STDCALL Navigate(abi::BSTR address, abi::BOOL32* success) override;

  abi::HRESULT STDCALL Idle() override { return abi::S_OK; }
  abi::HRESULT STDCALL HostNotify(int32_t) override { return abi::S_OK; }
  abi::HRESULT STDCALL CreateDocument(intptr_t, intptr_t, abi::IServerDocument** document) override;
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
  abi::HRESULT STDCALL CreateDocumentEx(intptr_t, intptr_t, abi::ByteBool,
                                        abi::IServerDocument** document) override;

 private:
  std::string name_;
  std::vector<abi::ComPtr<Document>> documents_;
  bool navigable_ = false;
};

}  // namespace quorvex
