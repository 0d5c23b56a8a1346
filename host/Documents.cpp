#include "host/Documents.h"

#include <algorithm>

#include "host/HostStatus.h"
#include "platform/Journal.h"
#include "platform/Locale.h"
#include "platform/WideString.h"

namespace quorvex {
namespace {

abi::BSTR Wide(const std::string& text) { return platform::BStr::FromUtf8(text).release(); }

std::string Narrow(abi::BSTR text) {
  return platform::Utf16ToUtf8(std::u16string_view(text ? text : u"", platform::SysStringLen(text)));
}

}  // namespace

Document::Document(std::string kind, std::string fileName)
    : kind_(std::move(kind)), fileName_(std::move(fileName)) {}

View* Document::view(int index) const {
  if (index < 0 || index >= viewCount()) return nullptr;
  return views_[static_cast<std::size_t>(index)];
}

abi::HRESULT STDCALL Document::GetViewCount(int32_t* count) {
  if (!ClearOut(count)) return Fail("GetViewCount: nil out argument");
  *count = viewCount();
  return abi::S_OK;
}

abi::HRESULT STDCALL Document::GetFileName(abi::BSTR* fileName) {
  return HostGuard([&] {
    if (!ClearOut(fileName)) return Fail("GetFileName: nil out argument");
    if (const auto failure = HostFault("host.GetFileName")) return Fail(*failure);
    *fileName = Wide(fileName_);
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL Document::GetKind(abi::BSTR* kind) {
  return HostGuard([&] {
    if (!ClearOut(kind)) return Fail("GetKind: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetKind)) return Fail(*failure);
    *kind = Wide(kind_);
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL Document::GetView(int32_t index, abi::IServerView** view) {
  if (!ClearOut(view)) return Fail("GetView: nil out argument");
  View* found = this->view(index);
  if (!found) return Fail("GetView: no view " + std::to_string(index));
  found->AddRef();
  *view = found;
  return abi::S_OK;
}

abi::HRESULT STDCALL Document::ReleaseDocument() {
  ++releaseCount_;
  return abi::S_OK;
}

View::View(Document* document, std::string name)
    : document_(abi::ComPtr<Document>::Share(document)), name_(std::move(name)) {
  document_->views_.push_back(this);
}

View::~View() {
  auto& views = document_->views_;
  views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

abi::HRESULT STDCALL View::GetViewName(abi::BSTR* name) {
  return HostGuard([&] {
    if (!ClearOut(name)) return Fail("GetViewName: nil out argument");
    *name = Wide(name_);
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL View::GetParameters(abi::BSTR* parameters) {
  return HostGuard([&] {
    if (!ClearOut(parameters)) return Fail("GetParameters: nil out argument");
    *parameters = Wide(parameters_);
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL View::GetOwnerDocument(abi::IServerDocument** document) {
  return HostGuard([&] {
    if (!ClearOut(document)) return Fail("GetOwnerDocument: nil out argument");
    if (const auto failure = InjectedFailure(HostCall::GetOwnerDocument)) return Fail(*failure);
    document_->AddRef();
    *document = document_.get();
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL View::RefreshAfterCommand() {
  return HostGuard([&] {
    if (const auto failure = InjectedFailure(HostCall::RefreshAfterCommand)) return Fail(*failure);
    ++refreshCount_;
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL Document::QueryInterface(abi::REFIID iid, void** out) {
  if ((iid == abi::IAddressableDocument::IID && !address_) ||
      (iid == abi::INavigableDocument::IID && !navigable_)) {
    if (out) *out = nullptr;
    return abi::E_NOINTERFACE;
  }
  return Implements::QueryInterface(iid, out);
}

abi::HRESULT STDCALL Document::GetAddress(abi::BSTR* address) {
  return HostGuard([&] {
    if (!ClearOut(address)) return Fail("GetAddress: nil out argument");
    *address = Wide(address_.value_or(""));
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL Document::MatchesAddress(abi::BSTR address, abi::ByteBool* matches) {
  return HostGuard([&] {
    if (!ClearOut(matches)) return Fail("MatchesAddress: nil out argument");
    *matches = abi::ToByteBool(address_ && platform::CompareTextIgnoreCase(*address_, Narrow(address)) == 0);
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL Document::Navigate(abi::BSTR address, abi::BOOL32* success) {
  return HostGuard([&] {
    if (!ClearOut(success)) return Fail("Navigate: nil out argument");
    platform::JournalAppend("navigate", "document " + fileName_ + ": " + Narrow(address));
    if (address_) address_ = Narrow(address);
    *success = abi::kTrue32;
    return abi::S_OK;
  });
}

abi::HRESULT STDCALL View::QueryInterface(abi::REFIID iid, void** out) {
  if (iid == abi::IActivatableView::IID && !activatable_) {
    if (out) *out = nullptr;
    return abi::E_NOINTERFACE;
  }
  return Implements::QueryInterface(iid, out);
}

abi::HRESULT STDCALL View::Activate() {
  ++activateCount_;
  return abi::S_OK;
}

}  // namespace quorvex
