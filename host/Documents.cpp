#include "host/Documents.h"

#include <algorithm>

#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/Locale.h"
#include "platform/WideString.h"

namespace quorvex {

Document::Document(std::string kind, std::string fileName)
    : kind_(std::move(kind)), fileName_(std::move(fileName)) {}

View* Document::ViewAt(int index) const {
  if (index < 0 || index >= ViewCount()) return nullptr;
  return views_[static_cast<std::size_t>(index)];
}

qvabi::HRESULT STDCALL Document::GetViewCount(int32_t* count) {
  if (!ClearOut(count)) return Fail("GetViewCount: nil out argument");
  *count = ViewCount();
  return qvabi::S_OK;
}

qvabi::HRESULT STDCALL Document::GetFileName(qvabi::BSTR* fileName) {
  return HostGuard([&] {
    if (!ClearOut(fileName)) return Fail("GetFileName: nil out argument");
    if (const auto failure = HostFault("host.GetFileName")) return Fail(*failure);
    *fileName = platform::SysAllocUtf8(fileName_);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Document::GetKind(qvabi::BSTR* kind) {
  return HostGuard([&] {
    if (!ClearOut(kind)) return Fail("GetKind: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetKind)) return Fail(*failure);
    *kind = platform::SysAllocUtf8(kind_);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Document::GetView(int32_t index, qvabi::IServerView** view) {
  if (!ClearOut(view)) return Fail("GetView: nil out argument");
  View* found = this->ViewAt(index);
  if (!found) return Fail("GetView: no view " + std::to_string(index));
  found->AddRef();
  *view = found;
  return qvabi::S_OK;
}

qvabi::HRESULT STDCALL Document::ReleaseDocument() {
  ++releaseCount_;
  return qvabi::S_OK;
}

View::View(Document* document, std::string name)
    : document_(qvabi::ComPtr<Document>::Share(document)), name_(std::move(name)) {
  document_->views_.push_back(this);
}

View::~View() {
  auto& views = document_->views_;
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

qvabi::HRESULT STDCALL View::GetViewName(qvabi::BSTR* name) {
  return HostGuard([&] {
    if (!ClearOut(name)) return Fail("GetViewName: nil out argument");
    *name = platform::SysAllocUtf8(name_);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL View::GetParameters(qvabi::BSTR* parameters) {
  return HostGuard([&] {
    if (!ClearOut(parameters)) return Fail("GetParameters: nil out argument");
    *parameters = platform::SysAllocUtf8(parameters_);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL View::GetOwnerDocument(qvabi::IServerDocument** document) {
  return HostGuard([&] {
    if (!ClearOut(document)) return Fail("GetOwnerDocument: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetOwnerDocument)) return Fail(*failure);
    document_->AddRef();
    *document = document_.get();
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL View::RefreshAfterCommand() {
  return HostGuard([&] {
    if (const auto failure = InjectedFailure(HostCall::RefreshAfterCommand)) return Fail(*failure);
    ++refreshCount_;
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Document::QueryInterface(qvabi::REFIID iid, void** out) {
  if ((iid == qvabi::IAddressableDocument::IID && !address_) ||
      (iid == qvabi::INavigableDocument::IID && !navigable_)) {
    if (out) *out = nullptr;
    return qvabi::E_NOINTERFACE;
  }
  return Implements::QueryInterface(iid, out);
}

qvabi::HRESULT STDCALL Document::GetAddress(qvabi::BSTR* address) {
  return HostGuard([&] {
    if (!ClearOut(address)) return Fail("GetAddress: nil out argument");
    *address = platform::SysAllocUtf8(address_.value_or(""));
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Document::MatchesAddress(qvabi::BSTR address, qvabi::ByteBool* matches) {
  return HostGuard([&] {
    if (!ClearOut(matches)) return Fail("MatchesAddress: nil out argument");
    *matches = qvabi::ToByteBool(
        address_ && platform::CompareTextIgnoreCase(*address_, platform::BStrToUtf8(address)) == 0);
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL Document::Navigate(qvabi::BSTR address, qvabi::BOOL32* success) {
  return HostGuard([&] {
    if (!ClearOut(success)) return Fail("Navigate: nil out argument");
    platform::JournalAppend("navigate", "document " + fileName_ + ": " + platform::BStrToUtf8(address));
    if (address_) address_ = platform::BStrToUtf8(address);
    *success = qvabi::kTrue32;
    return qvabi::S_OK;
  });
}

qvabi::HRESULT STDCALL View::QueryInterface(qvabi::REFIID iid, void** out) {
  if (iid == qvabi::IActivatableView::IID && !activatable_) {
    if (out) *out = nullptr;
    return qvabi::E_NOINTERFACE;
  }
  return Implements::QueryInterface(iid, out);
}

qvabi::HRESULT STDCALL View::Activate() {
  ++activateCount_;
  return qvabi::S_OK;
}

}  // namespace quorvex
