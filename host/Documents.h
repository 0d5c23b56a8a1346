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

#include "abi/Documents.h"
#include "abi/Navigation.h"
#include "abi/Unknown.h"

namespace quorvex {

class View;

class Document final
    : public abi::Implements<abi::IServerDocument, abi::IAddressableDocument, abi::INavigableDocument> {
 public:
  Document(std::string kind, std::string fileName);

  const std::string& kind() const { return kind_; }
  const std::string& fileName() const { return fileName_; }
  int viewCount() const { return static_cast<int>(views_.size()); }
  View* view(int index) const;
  // How many times ReleaseDocument was called.
  int releaseCount() const { return releaseCount_; }
  void setAddress(std::optional<std::string> address) { address_ = std::move(address); }
  void setNavigable(bool navigable) { navigable_ = navigable; }

  abi::HRESULT STDCALL QueryInterface(abi::REFIID iid, void** out) override;

  abi::HRESULT STDCALL GetViewCount(int32_t* count) override;
  abi::HRESULT STDCALL GetFileName(abi::BSTR* fileName) override;
  abi::HRESULT STDCALL GetKind(abi::BSTR* kind) override;
  abi::HRESULT STDCALL GetView(int32_t index, abi::IServerView** view) override;
  abi::HRESULT STDCALL ReleaseDocument() override;
  abi::HRESULT STDCALL GetAddress(abi::BSTR* address) override;
  abi::HRESULT STDCALL MatchesAddress(abi::BSTR address, abi::ByteBool* matches) override;
  abi::HRESULT STDCALL Navigate(abi::BSTR address, abi::BOOL32* success) override;

 private:
  friend class View;
  std::optional<std::string> address_;
  bool navigable_ = false;
  std::string kind_;
  std::string fileName_;
  std::vector<View*> views_;
  int releaseCount_ = 0;
};

class View final : public abi::Implements<abi::IServerView, abi::IActivatableView> {
 public:
  View(Document* document, std::string name);
  ~View() override;

  Document* document() const { return document_.get(); }
  const std::string& name() const { return name_; }
  void setParameters(std::string parameters) { parameters_ = std::move(parameters); }
  // How many times RefreshAfterCommand was called.
  int refreshCount() const { return refreshCount_; }
  void setActivatable(bool activatable) { activatable_ = activatable; }
  int activateCount() const { return activateCount_; }

  abi::HRESULT STDCALL QueryInterface(abi::REFIID iid, void** out) override;

  abi::HRESULT STDCALL GetViewName(abi::BSTR* name) override;
  abi::HRESULT STDCALL GetParameters(abi::BSTR* parameters) override;
  abi::HRESULT STDCALL GetOwnerDocument(abi::IServerDocument** document) override;
  abi::HRESULT STDCALL RefreshAfterCommand() override;
  abi::HRESULT STDCALL Activate() override;

 private:
  bool activatable_ = false;
  int activateCount_ = 0;
  abi::ComPtr<Document> document_;
  std::string name_;
  std::string parameters_;
  int refreshCount_ = 0;
};

}  // namespace quorvex
