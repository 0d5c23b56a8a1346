// The host's documents and views. A view keeps its document alive; a
// document knows its views without owning them.
#pragma once

#include <string>
#include <vector>

#include "abi/Documents.h"
#include "abi/Unknown.h"

namespace quorvex {

class View;

class Document final : public abi::Implements<abi::IServerDocument> {
 public:
  Document(std::string kind, std::string fileName);

  const std::string& kind() const { return kind_; }
  const std::string& fileName() const { return fileName_; }
  int viewCount() const { return static_cast<int>(views_.size()); }
  View* view(int index) const;
  // How many times ReleaseDocument was called.
  int releaseCount() const { return releaseCount_; }

  abi::HRESULT STDCALL GetViewCount(int32_t* count) override;
  abi::HRESULT STDCALL GetFileName(abi::BSTR* fileName) override;
  abi::HRESULT STDCALL GetKind(abi::BSTR* kind) override;
  abi::HRESULT STDCALL GetView(int32_t index, abi::IServerView** view) override;
  abi::HRESULT STDCALL ReleaseDocument() override;

 private:
  friend class View;
  std::string kind_;
  std::string fileName_;
  std::vector<View*> views_;
  int releaseCount_ = 0;
};

class View final : public abi::Implements<abi::IServerView> {
 public:
  View(Document* document, std::string name);
  ~View() override;

  Document* document() const { return document_.get(); }
  const std::string& name() const { return name_; }
  void setParameters(std::string parameters) { parameters_ = std::move(parameters); }
  // How many times RefreshAfterCommand was called.
  int refreshCount() const { return refreshCount_; }

  abi::HRESULT STDCALL GetViewName(abi::BSTR* name) override;
  abi::HRESULT STDCALL GetParameters(abi::BSTR* parameters) override;
  abi::HRESULT STDCALL GetOwnerDocument(abi::IServerDocument** document) override;
  abi::HRESULT STDCALL RefreshAfterCommand() override;

 private:
  abi::ComPtr<Document> document_;
  std::string name_;
  std::string parameters_;
  int refreshCount_ = 0;
};

}  // namespace quorvex
