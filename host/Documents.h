// The host's documents and views. A view keeps its document alive; a
// document knows its views without owning them.
//
// A document may be made addressable (it then answers IAddressableDocument
// with its address, matching addresses equal to it ignoring case) and
// navigable (INavigableDocument: each Navigate is a "navigate" journal entry
// "document <file name>: <address>"); a view may be made activatable
// (IActivatableView, counted). Otherwise they answer only their own
// interface.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "abi/IServerDocument.h"
#include "abi/Navigation.h"
#include "abi/Unknown.h"

namespace quorvex {

class View;

class Document final : public qvabi::Implements<qvabi::IServerDocument, qvabi::IAddressableDocument,
                                                qvabi::INavigableDocument> {
 public:
  Document(std::string kind, std::string fileName);

  const std::string& Kind() const { return kind_; }
  const std::string& FileName() const { return fileName_; }
  int ViewCount() const { return static_cast<int>(views_.size()); }
  View* ViewAt(int index) const;
  // How many times ReleaseDocument was called.
  int ReleaseCount() const { return releaseCount_; }
  void SetAddress(std::optional<std::string> address) { address_ = std::move(address); }
  void SetNavigable(bool navigable) { navigable_ = navigable; }

  qvabi::HRESULT STDCALL QueryInterface(qvabi::REFIID iid, void** out) override;

  qvabi::HRESULT STDCALL GetViewCount(int32_t* count) override;
  qvabi::HRESULT STDCALL GetFileName(qvabi::BSTR* fileName) override;
  qvabi::HRESULT STDCALL GetKind(qvabi::BSTR* kind) override;
  qvabi::HRESULT STDCALL GetView(int32_t index, qvabi::IServerView** view) override;
  qvabi::HRESULT STDCALL ReleaseDocument() override;
  qvabi::HRESULT STDCALL GetAddress(qvabi::BSTR* address) override;
  qvabi::HRESULT STDCALL MatchesAddress(qvabi::BSTR address, qvabi::ByteBool* matches) override;
  qvabi::HRESULT STDCALL Navigate(qvabi::BSTR address, qvabi::BOOL32* success) override;

 private:
  friend class View;
  std::optional<std::string> address_;
  bool navigable_ = false;
  std::string kind_;
  std::string fileName_;
  std::vector<View*> views_;
  int releaseCount_ = 0;
};

class View final : public qvabi::Implements<qvabi::IServerView, qvabi::IActivatableView> {
 public:
  View(Document* document, std::string name);
  ~View() override;

  Document* OwnerDocument() const { return document_.get(); }
  const std::string& Name() const { return name_; }
  void SetParameters(std::string parameters) { parameters_ = std::move(parameters); }
  // How many times RefreshAfterCommand was called.
  int RefreshCount() const { return refreshCount_; }
  void SetActivatable(bool activatable) { activatable_ = activatable; }
  int ActivateCount() const { return activateCount_; }

  qvabi::HRESULT STDCALL QueryInterface(qvabi::REFIID iid, void** out) override;

  qvabi::HRESULT STDCALL GetViewName(qvabi::BSTR* name) override;
  qvabi::HRESULT STDCALL GetParameters(qvabi::BSTR* parameters) override;
  qvabi::HRESULT STDCALL GetOwnerDocument(qvabi::IServerDocument** document) override;
  qvabi::HRESULT STDCALL RefreshAfterCommand() override;
  qvabi::HRESULT STDCALL Activate() override;

 private:
  bool activatable_ = false;
  int activateCount_ = 0;
  qvabi::ComPtr<Document> document_;
  std::string name_;
  std::string parameters_;
  int refreshCount_ = 0;
};

}  // namespace quorvex
